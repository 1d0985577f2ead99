// SPDX-License-Identifier: GPL-3.0-or-later
/* The HID library "KB/Torvane_3.so": the program's only road to the keyboard.
 *
 * Contract:
 *  - Set_HIDVIDPID first, then Open_HIDMonitor, then the Open_* calls. Every call returns
 *    nonzero on success and 0 on failure; none may crash or block for long without a device.
 *  - The monitor posts, through the target given to Open_HIDMonitor and from the library's own
 *    thread: change_message with wparam 1 on arrival and 0 on removal of the selected keyboard;
 *    data_message with wparam = report code and the low 16 bits of lparam = value for each input
 *    report the keyboard sends. The target must stay valid until the process ends.
 *  - SetHIDFeature takes exactly 8 bytes, WriteHIDUSB exactly 64; the library adds the report
 *    id. A length other than those is refused (returns 0).
 *  - Trap: the library is never unloaded and the monitor never closed by the program; a library
 *    must not rely on Close_HIDMonitor being called before exit. */
#ifndef KB_HID_LIBRARY_H
#define KB_HID_LIBRARY_H

#include "kb_message_target.h"

#ifdef __cplusplus
extern "C" {
#endif

int Set_HIDVIDPID(int vendor_id, int product_id);
int Open_HIDMonitor(const kb_message_target* target, unsigned int data_message,
                    unsigned int change_message);
int Close_HIDMonitor(void);
int Open_HIDFeatureDevice(void);
int Close_HIDFeatureDevice(void);
int Open_HIDReportDevice(void);
int Close_HIDReportDevice(void);
int SetHIDFeature(const unsigned char* report, int length);
int GetHIDFeature(unsigned char* report, int length);
int WriteHIDUSB(const unsigned char* report, int length);
int ReadHIDUSB(unsigned char* report, int length);

/* Function-pointer types, for the program's dlsym binding. */
typedef int (*Set_HIDVIDPID_fn)(int, int);
typedef int (*Open_HIDMonitor_fn)(const kb_message_target*, unsigned int, unsigned int);
typedef int (*HID_void_fn)(void);
typedef int (*HID_write_fn)(const unsigned char*, int);
typedef int (*HID_read_fn)(unsigned char*, int);

#ifdef __cplusplus
}
#endif

#endif
