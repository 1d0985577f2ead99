// SPDX-License-Identifier: GPL-3.0-or-later
// Where a keyboard input report carries its notification: a 16-bit code and a 16-bit value,
// both big-endian, after a leading byte that the keyboard uses as its report id. The library
// posts the data message with wparam = code and lparam = value. Reports shorter than
// kInputReportMinBytes carry no notification and are ignored.
#ifndef KB_HID_INPUT_REPORT_LAYOUT_H
#define KB_HID_INPUT_REPORT_LAYOUT_H

#include <cstddef>

namespace kb::hid {

inline constexpr size_t kInputReportCodeHigh = 1;
inline constexpr size_t kInputReportCodeLow = 2;
inline constexpr size_t kInputReportValueHigh = 3;
inline constexpr size_t kInputReportValueLow = 4;
inline constexpr size_t kInputReportMinBytes = 5;

}  // namespace kb::hid

#endif
