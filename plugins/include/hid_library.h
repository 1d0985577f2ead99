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
 *  - Get_HIDDeviceStatus is optional: a library may lack it, and the program then tells only
 *    "present" (the report channel opened) from "absent". A library that has it says why an
 *    open failed (a keyboard found whose node the user may not open is not an absent one) and
 *    which node and interface were opened.
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

/* Optional. KB_HID_STATUS_ABSENT when no interface with the selected ids is there now (so a
 * keyboard pulled after it was opened reads as absent); otherwise the outcome of the last
 * Open_HIDFeatureDevice / Open_HIDReportDevice call. */
enum {
  KB_HID_STATUS_ABSENT = 0,        /* no interface with the selected ids */
  KB_HID_STATUS_OPENED = 1,        /* node (interface interface_number) is open */
  KB_HID_STATUS_NOT_PERMITTED = 2, /* node is there, and opening it was refused (EACCES, EPERM) */
  KB_HID_STATUS_OPEN_FAILED = 3    /* node is there, and opening it failed with errno `error` */
};
enum { KB_HID_NODE_BYTES = 256 };
typedef struct kb_hid_device_status {
  int state;                    /* one of KB_HID_STATUS_* */
  int error;                    /* errno of a failed open, else 0 */
  int interface_number;         /* -1 when unknown or absent */
  char node[KB_HID_NODE_BYTES]; /* the device node, NUL-terminated; "" when absent or none */
} kb_hid_device_status;
/* Fills *status; 0 for a null pointer. */
int Get_HIDDeviceStatus(kb_hid_device_status* status);

/* Function-pointer types, for the program's dlsym binding. */
typedef int (*Set_HIDVIDPID_fn)(int, int);
typedef int (*Open_HIDMonitor_fn)(const kb_message_target*, unsigned int, unsigned int);
typedef int (*HID_void_fn)(void);
typedef int (*HID_write_fn)(const unsigned char*, int);
typedef int (*HID_read_fn)(unsigned char*, int);
typedef int (*Get_HIDDeviceStatus_fn)(kb_hid_device_status*);

#ifdef __cplusplus
}
#endif

#endif
