// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one code space in which a key's function is expressed. The top byte is the code's type;
// what the lower 24 bits mean depends on it. Inside a KeyEntry a code is stored most
// significant byte first; the keyboard receives it little-endian.

#include <cstdint>

namespace kb {

using KeyCode = std::uint32_t;

enum class KeyCodeType : std::uint8_t {
  Keyboard = 0x00,  // bits 7..0 HID keyboard usage, bits 15..8 modifier mask of a shortcut
  FnSlot = 0x02,    // bits 7..0 the Fn slot whose functions the key takes
  Consumer = 0x04,  // bits 15..0 HID consumer-page usage
  Modifier = 0x06,  // bits 7..0 HID modifier usage 0xE0..0xE7
  // Keyboard-internal functions: opaque, only ever copied from the factory tables.
  DeviceFunction0B = 0x0B,
  DeviceFunction0C = 0x0C,
  DeviceFunction0D = 0x0D,
  DeviceFunction0E = 0x0E,
  MacroCode = 0x10,  // lower bits 0 while stored; the upload fills them in
  FnKey = 0x20,      // the Fn key itself
};

// A grid position without a key, or a key the user disabled.
inline constexpr KeyCode kNoFunction = 0xFFFF'FFFF;
// What a key bound to a macro stores.
inline constexpr KeyCode kMacroCode = 0x1000'0000;
// The Fn key's own code.
inline constexpr KeyCode kFnKeyCode = 0x2000'0000;

constexpr KeyCodeType TypeOf(KeyCode code) { return static_cast<KeyCodeType>(code >> 24); }

constexpr bool IsDeviceFunction(KeyCodeType type) {
  return type >= KeyCodeType::DeviceFunction0B && type <= KeyCodeType::DeviceFunction0E;
}

// Bits 7..0: the usage of a Keyboard or Modifier code, the slot of an FnSlot code.
constexpr std::uint8_t LowByteOf(KeyCode code) { return static_cast<std::uint8_t>(code & 0xFF); }

// A usage ID as a Keyboard code, optionally with a shortcut's modifier mask.
constexpr KeyCode KeyboardCode(std::uint8_t usage, std::uint8_t modifier_mask = 0) {
  return (static_cast<KeyCode>(modifier_mask) << 8) | usage;
}

constexpr KeyCode FnSlotCode(std::uint8_t slot) {
  return (static_cast<KeyCode>(KeyCodeType::FnSlot) << 24) | slot;
}

// The code held in four bytes most significant byte first, as a KeyEntry stores it.
inline KeyCode ReadKeyCode(const std::uint8_t (&bytes)[4]) {
  return (static_cast<KeyCode>(bytes[0]) << 24) | (static_cast<KeyCode>(bytes[1]) << 16) |
         (static_cast<KeyCode>(bytes[2]) << 8) | static_cast<KeyCode>(bytes[3]);
}

inline void WriteKeyCode(std::uint8_t (&bytes)[4], KeyCode code) {
  bytes[0] = static_cast<std::uint8_t>(code >> 24);
  bytes[1] = static_cast<std::uint8_t>(code >> 16);
  bytes[2] = static_cast<std::uint8_t>(code >> 8);
  bytes[3] = static_cast<std::uint8_t>(code);
}

}  // namespace kb
