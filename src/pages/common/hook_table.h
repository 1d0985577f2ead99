// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The input-hook library's seven entry points, in the order the main window binds them, and the
// capture flags the pages share with it. Byte 12 or 13 set: the KB_3 macro page wants hook
// events; 14 or 15: the KB_4 one; bytes 8..15 are the capture bytes.

#include <array>
#include <cstdint>
#include <functional>
#include <utility>

#include "hook_library.h"

namespace kb {

// Empty (every entry null) until the main window binds the library. The window may leave a
// binder instead, which the first question of bound() runs once: most runs never record, and the
// library brings its own display libraries with it.
struct HookFunctionTable : kb_hook_functions {
  HookFunctionTable() : kb_hook_functions{} {}
  bool bound() const {
    if (installhook == nullptr && bind_on_first_use) std::exchange(bind_on_first_use, {})();
    return installhook != nullptr;
  }
  mutable std::function<void()> bind_on_first_use;
};

using CaptureFlags = std::array<std::uint8_t, 100>;
inline constexpr int kFirstCaptureByte = 8;
inline constexpr int kLastCaptureByte = 15;

}  // namespace kb
