// SPDX-License-Identifier: GPL-3.0-or-later
// A HID library that lacks one export (named by KB_OMIT_EXPORT at build time) and counts every
// call made into it, so a test can see that a binding that refused it called nothing.

#include <atomic>

#include "hid_library.h"

namespace {
std::atomic<int> calls{0};
int Count() { return ++calls, 1; }
}  // namespace

extern "C" {

int partial_hid_calls(void) { return calls.load(); }

#if KB_OMIT_EXPORT != 1
int Set_HIDVIDPID(int, int) { return Count(); }
#endif
int Open_HIDMonitor(const kb_message_target*, unsigned int, unsigned int) { return Count(); }
int Close_HIDMonitor(void) { return Count(); }
int Open_HIDFeatureDevice(void) { return Count(); }
int Close_HIDFeatureDevice(void) { return Count(); }
int Open_HIDReportDevice(void) { return Count(); }
int Close_HIDReportDevice(void) { return Count(); }
int SetHIDFeature(const unsigned char*, int) { return Count(); }
int GetHIDFeature(unsigned char*, int) { return Count(); }
#if KB_OMIT_EXPORT != 2
int WriteHIDUSB(const unsigned char*, int) { return Count(); }
#endif
#if KB_OMIT_EXPORT != 3
int ReadHIDUSB(unsigned char*, int) { return Count(); }
#endif
}
