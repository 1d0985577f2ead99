#pragma once
// The input-hook library's seven entry points, in the order the main window binds them, and the
// capture flags the pages share with it. Byte 12 or 13 set: the KB_3 macro page wants hook
// events; 14 or 15: the KB_4 one; bytes 8..15 are the capture bytes.

#include <array>
#include <cstdint>

#include "hook_library.h"

namespace kb {

struct HookFunctionTable {
  hook_install_fn installmousehook = nullptr;
  hook_void_fn removemousehook = nullptr;
  hook_enable_fn enablemousehook = nullptr;
  hook_install_fn installhook = nullptr;
  hook_void_fn removehook = nullptr;
  hook_enable_fn enablehook = nullptr;
  hook_enable_fn mousewheelenable = nullptr;
  bool bound() const { return installhook != nullptr; }
};

using CaptureFlags = std::array<std::uint8_t, 100>;
inline constexpr int kFirstCaptureByte = 8;
inline constexpr int kLastCaptureByte = 15;

}  // namespace kb
