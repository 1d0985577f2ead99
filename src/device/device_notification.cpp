// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/device_notification.h"

#include <cstdio>

#include "device/device_protocol.h"
#include "profile/profile_record.h"

namespace kb {
namespace {

constexpr std::uint32_t kChangeArrivalParam = 1;
constexpr std::uint32_t kChangeRemovalParam = 0;

std::uint32_t Presence(std::uint16_t low) {
  return (static_cast<std::uint32_t>(kPresenceCode) << 16) | low;
}

}  // namespace

std::uint32_t DeviceNotificationValue(std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam) {
  if (message == kDeviceChangeMessage) {
    if (wparam == kChangeArrivalParam) return Presence(kPresenceArrival);
    if (wparam == kChangeRemovalParam) return Presence(kPresenceRemoval);
    return Presence(0);
  }
  if (message == kDeviceDataMessage) {
    return (static_cast<std::uint32_t>(wparam) << 16) |
           (static_cast<std::uint32_t>(lparam) & 0xFFFF);
  }
  return Presence(0);
}

DeviceNotification DecodeDeviceNotification(std::uint32_t value) {
  using Kind = DeviceNotification::Kind;
  DeviceNotification n;
  const auto code = static_cast<std::uint16_t>(value >> 16);
  const auto low = static_cast<std::uint16_t>(value & 0xFFFF);
  const int high_byte = (low >> 8) & 0xFF;
  const int low_byte = low & 0xFF;
  switch (code) {
    case kPresenceCode:
      if (low == kPresenceArrival) n.kind = Kind::Arrival;
      if (low == kPresenceRemoval) n.kind = Kind::Removal;
      break;
    case kFirmwareVersionCode:
      n.kind = Kind::FirmwareVersion;
      n.version = low;
      break;
    case kBankSwitchCode:
      if (high_byte != 0 && (low_byte == 0 || low_byte == 1)) {
        n.kind = Kind::BankSwitch;
        n.bank = low_byte;
      }
      break;
    case kLightModeSwitchCode:
      if (high_byte - 1 >= 0 && high_byte - 1 < kLightModeCount) {
        n.kind = Kind::LightModeSwitch;
        n.light_mode = high_byte - 1;
      }
      break;
    default:
      break;
  }
  return n;
}

std::string FormatFirmwareVersion(std::uint16_t version) {
  char text[16];
  std::snprintf(text, sizeof text, "%x.%02x", (version >> 8) & 0xFF, version & 0xFF);
  return text;
}

}  // namespace kb
