// SPDX-License-Identifier: GPL-3.0-or-later
/* A stand-in for hidapi and libudev, for tests: a KB_3 on the USB bus that a test plugs in,
 * pulls out and makes misbehave, so that the shipped hardware "KB/Torvane_3.so" runs unchanged
 * against it. The library is linked into a test (its hid_ and udev_ calls then win over the
 * real ones that the hardware library loads) or preloaded into the program with LD_PRELOAD.
 *
 * The keyboard has three interfaces, listed in this order: the boot keyboard (usage page 1,
 * usage 6, interface 0), the mouse (page 1, usage 2, interface 1) and the vendor interface
 * (page 0xFF00, interface 2). Each plug-in gives them new nodes (/dev/hidrawN), as the kernel
 * does. Reports must carry report id 0 in front (9-byte feature, 65-byte output reports) and
 * go to the vendor interface; anything else is a violation line. What reaches the keyboard is
 * logged, checked and decoded by the project's keyboard emulator, and with KB_VIRTUAL_LOG set
 * also appended to that file.
 *
 * Commands, one per call, per line of the control FIFO named by KB_HID_STANDIN_CONTROL, or
 * separated by ";" in KB_HID_STANDIN_SETUP (run when the library loads):
 *   plug | unplug             the cable; posts udev add/remove events while udev runs
 *   replug                    out and in again at once, on new nodes
 *   unplug-after N            pull the cable after N more reports reach the keyboard
 *   udev on | udev off        whether a udev daemon runs (off: the monitor never speaks)
 *   deny | allow              opens fail with EACCES, or succeed
 *   fail-write | fail-read    the next write (feature or output) / read fails once
 *   bank B | light M | version   the keyboard sends that input report
 *   reset                     unplugged, udev off, allowed, memory and logs cleared
 * An open of the vendor interface is answered with the firmware version (1.05), as a keyboard
 * greets a new listener. */
#ifndef KB_TESTS_HID_STANDIN_H
#define KB_TESTS_HID_STANDIN_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 1 when the command was understood, 0 otherwise. */
int hidstandin_command(const char* command);
/* As vkb_take_log / vkb_take_violations: whole lines, "F <hex>" / "O <hex>" per report. */
long hidstandin_take_log(char* buffer, size_t capacity);
long hidstandin_take_violations(char* buffer, size_t capacity);
/* How many times hid_enumerate was called: a monitor fed by udev does not search on its own. */
long hidstandin_enumerations(void);
/* The node the vendor interface has now ("" while unplugged), into buffer. */
void hidstandin_vendor_node(char* buffer, size_t capacity);

#ifdef __cplusplus
}
#endif

#endif
