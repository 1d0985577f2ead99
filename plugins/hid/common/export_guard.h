// SPDX-License-Identifier: GPL-3.0-or-later
// The exports are called across a C ABI: nothing may escape them, so every body runs inside
// this guard and an exception (in practice only an allocation failure) becomes a failure.
#ifndef KB_HID_EXPORT_GUARD_H
#define KB_HID_EXPORT_GUARD_H

namespace kb::hid {

template <typename Result, typename Body>
Result Guarded(Result on_failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return on_failure;
  }
}

}  // namespace kb::hid

#endif
