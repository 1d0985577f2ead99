// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keyboard's notifications as the main window hands them on: one 32-bit value per message
// of the HID library's monitor.

#include <cstdint>
#include <string>

namespace kb {

inline constexpr std::uint16_t kPresenceCode = 0x7F00;
inline constexpr std::uint16_t kPresenceArrival = 1;
inline constexpr std::uint16_t kPresenceRemoval = 2;
inline constexpr std::uint16_t kFirmwareVersionCode = 0x0000;
inline constexpr std::uint16_t kBankSwitchCode = 0x0508;
inline constexpr std::uint16_t kLightModeSwitchCode = 0x030B;

struct DeviceNotification {
  enum class Kind { Ignored, Arrival, Removal, FirmwareVersion, BankSwitch, LightModeSwitch };
  Kind kind = Kind::Ignored;
  std::uint16_t version = 0;  // FirmwareVersion
  int bank = 0;               // BankSwitch: 0 or 1
  int light_mode = 0;         // LightModeSwitch: 0..19
};

// The value for a message of the monitor: for the change message 0x7F00'0001 on arrival
// (wparam 1), 0x7F00'0002 on removal (wparam 0), 0x7F00'0000 otherwise; for the data message
// (wparam << 16) | (lparam & 0xFFFF). Any other message gives 0x7F00'0000, which means nothing.
std::uint32_t DeviceNotificationValue(std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam);

// What a value means. A bank switch whose bits 15..8 are zero, a bank other than 0 or 1 and a
// light mode outside 0..19 come out as Ignored: the keyboard never sends them, and taking them
// would write a bank or mode that no page can show.
DeviceNotification DecodeDeviceNotification(std::uint32_t value);

// "%x.%02x" of bits 15..8 and 7..0: 0x0105 gives "1.05", 0x1A0F gives "1a.0f".
std::string FormatFirmwareVersion(std::uint16_t version);

}  // namespace kb
