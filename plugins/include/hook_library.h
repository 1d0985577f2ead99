// SPDX-License-Identifier: GPL-3.0-or-later
/* The input-hook library "Quillet.so": global keyboard and mouse-button events.
 *
 * After installhook(t) and enablehook(1), every key press and release of the desktop reaches t
 * as message 1280 with wparam = the Windows virtual-key code of the physical key and lparam 0
 * for a press, 1 for a release. After installmousehook(t), every mouse-button event reaches t as
 * message 1281 with wparam = the mouse message number (0x201/0x202 left down/up, 0x204/0x205
 * right, 0x207/0x208 middle, 0x20A wheel, 0x20B/0x20C extra button down/up) and, for 0x20B and
 * 0x20C, lparam 1 (back) or 2 (forward). enable*(0) holds events back until enable*(1); an
 * install call starts delivery afresh; remove* ends it. Mouse movement is never reported.
 * mousewheelenable(0/1) switches wheel reports off and on. Without a display every call
 * succeeds and nothing is delivered. All calls return nonzero on success.
 *
 * hookwindowinput() is the second source of events: the program's own windows. A desktop need
 * not let one program hear another's input (Wayland never does), but every program hears its
 * own, so while a hook is installed the program hands each key and mouse-button event of its
 * windows to the library, which applies the same install and enable rules and posts the same
 * messages. The library listens to the X display named by $DISPLAY; events of windows on that
 * display reach it there too, so it drops them while it listens (an event is never delivered
 * twice) and takes them when it cannot. The entry point is optional: a library without it keeps
 * the seven above, and a program that does not find it goes without. */
#ifndef KB_HOOK_LIBRARY_H
#define KB_HOOK_LIBRARY_H

#include "kb_message_target.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KB_HOOK_KEY_MESSAGE = 1280, KB_HOOK_MOUSE_MESSAGE = 1281 };

int installmousehook(const kb_message_target* target);
int removemousehook(void);
int enablemousehook(int enable);
int installhook(const kb_message_target* target);
int removehook(void);
int enablehook(int enable);
int mousewheelenable(int enable);

enum { KB_HOOK_WINDOW_KEY = 0, KB_HOOK_WINDOW_BUTTON = 1 };

/* One event of the caller's own windows, on any thread. kind KB_HOOK_WINDOW_KEY: code is the
 * key's X keycode (the evdev code + 8, which is what X11 and Wayland clients get as the key's
 * native scan code, so the key is named by its position, not by the layout's symbol).
 * KB_HOOK_WINDOW_BUTTON: code is the X button number (1 left, 2 middle, 3 right, 4 and 5 one
 * wheel notch away and towards, 8 back, 9 forward). press is 1 for down, 0 for up; a wheel notch
 * is one press. on_x_display is nonzero when the window is a window of the X display named by
 * $DISPLAY. Returns 1 when the event was posted, 0 when it was not (no hook installed or
 * enabled for it, no code for it, or heard from the display already). */
int hookwindowinput(int kind, unsigned code, int press, int on_x_display);

typedef int (*hook_install_fn)(const kb_message_target*);
typedef int (*hook_void_fn)(void);
typedef int (*hook_enable_fn)(int);
typedef int (*hook_window_input_fn)(int, unsigned, int, int);

/* The seven entry points as a loader binds them by name, in this order. */
typedef struct kb_hook_functions {
  hook_install_fn installmousehook;
  hook_void_fn removemousehook;
  hook_enable_fn enablemousehook;
  hook_install_fn installhook;
  hook_void_fn removehook;
  hook_enable_fn enablehook;
  hook_enable_fn mousewheelenable;
} kb_hook_functions;

#ifdef __cplusplus
}
#endif

#endif
