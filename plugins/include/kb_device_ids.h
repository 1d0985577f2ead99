// SPDX-License-Identifier: GPL-3.0-or-later
/* USB ids of the two keyboard models and the unlock code that opens a transfer.
 *
 * These are the values to set for a real keyboard: replace them with the ids your keyboard
 * reports (`lsusb`) and the unlock code its firmware expects, then rebuild. The udev rule in
 * dist/ must name the same ids. The program, the HID libraries and the udev rule take them
 * from here only. Both models share the vendor id. */
#ifndef KB_DEVICE_IDS_H
#define KB_DEVICE_IDS_H

#define KB_VENDOR_ID 0x4B42
#define KB_3_PRODUCT_ID 0x0003
#define KB_4_PRODUCT_ID 0x0004
/* The KB_4 page keeps a second product id of its own; it reaches no device. */
#define KB_4_ALT_PRODUCT_ID 0x0014

/* Eight ASCII digits, sent after every begin command. The program builds them from these two
 * four-byte halves so the whole code never sits in one constant. */
#define KB_UNLOCK_CODE_HIGH "5812"
#define KB_UNLOCK_CODE_LOW "3470"

#endif
