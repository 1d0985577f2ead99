// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The input-hook library's seven entry points, in the order the main window binds them, and the
// capture flags the pages share with it. Byte 12 or 13 set: the KB_3 macro page wants hook
// events; 14 or 15: the KB_4 one; bytes 8..15 are the capture bytes.

#include <array>
#include <cstdint>

#include "hook_library.h"

namespace kb {

// Empty (every entry null) until the main window binds the library.
struct HookFunctionTable : kb_hook_functions {
  HookFunctionTable() : kb_hook_functions{} {}
  bool bound() const { return installhook != nullptr; }
};

using CaptureFlags = std::array<std::uint8_t, 100>;
inline constexpr int kFirstCaptureByte = 8;
inline constexpr int kLastCaptureByte = 15;

}  // namespace kb
