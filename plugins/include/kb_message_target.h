// SPDX-License-Identifier: GPL-3.0-or-later
/* The stand-in for a window handle across the plugins' C ABI: the program hands a target to a
 * library, which posts window messages through it from any of its threads. post() must be safe
 * to call from any thread and must not block; the program delivers the message on its UI thread
 * in the order of the posts. */
#ifndef KB_MESSAGE_TARGET_H
#define KB_MESSAGE_TARGET_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct kb_message_target {
  void (*post)(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);
  void* context;
} kb_message_target;

#ifdef __cplusplus
}
#endif

#endif
