// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/device_notification.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

using Kind = DeviceNotification::Kind;

TEST(DeviceNotificationValue, ChangeAndDataMessages) {
  EXPECT_EQ(DeviceNotificationValue(1432, 1, 0), 0x7F000001u);
  EXPECT_EQ(DeviceNotificationValue(1432, 0, 0), 0x7F000002u);
  EXPECT_EQ(DeviceNotificationValue(1432, 5, 0), 0x7F000000u);
  EXPECT_EQ(DeviceNotificationValue(1431, 0x030B, 0x12340500), 0x030B0500u)
      << "low 16 bits of lParam";
  EXPECT_EQ(DeviceNotificationValue(1431, 0, 0x0105), 0x00000105u);
}

struct DecodeCase {
  const char* name;
  std::uint32_t value;
  Kind kind;
  int bank;
  int light_mode;
};

class DecodeNotification : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeNotification, Decodes) {
  const DeviceNotification n = DecodeDeviceNotification(GetParam().value);
  EXPECT_EQ(n.kind, GetParam().kind);
  if (n.kind == Kind::BankSwitch) {
    EXPECT_EQ(n.bank, GetParam().bank);
  }
  if (n.kind == Kind::LightModeSwitch) {
    EXPECT_EQ(n.light_mode, GetParam().light_mode);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecodeNotification,
    ::testing::Values(
        DecodeCase{"Arrival", 0x7F000001, Kind::Arrival, 0, 0},
        DecodeCase{"Removal", 0x7F000002, Kind::Removal, 0, 0},
        DecodeCase{"OtherPresenceWord", 0x7F000003, Kind::Ignored, 0, 0},
        DecodeCase{"PresenceZero", 0x7F000000, Kind::Ignored, 0, 0},
        DecodeCase{"Version", 0x00000105, Kind::FirmwareVersion, 0, 0},
        DecodeCase{"BankOne", 0x05080101, Kind::BankSwitch, 1, 0},
        DecodeCase{"BankZero", 0x05080100, Kind::BankSwitch, 0, 0},
        DecodeCase{"BankWithoutFlag", 0x05080001, Kind::Ignored, 0, 0},
        DecodeCase{"BankTwoIgnored", 0x05080102, Kind::Ignored, 0, 0},
        DecodeCase{"LightModeFiveSelectsFour", 0x030B0500, Kind::LightModeSwitch, 0, 4},
        DecodeCase{"LightModeOneSelectsZero", 0x030B0100, Kind::LightModeSwitch, 0, 0},
        DecodeCase{"LightModeTwentySelectsNineteen", 0x030B1400, Kind::LightModeSwitch, 0, 19},
        DecodeCase{"LightModeZeroIgnored", 0x030B0000, Kind::Ignored, 0, 0},
        DecodeCase{"LightModeTwentyOneIgnored", 0x030B1500, Kind::Ignored, 0, 0},
        DecodeCase{"LightModeFFIgnored", 0x030BFF00, Kind::Ignored, 0, 0},
        DecodeCase{"UnknownCode", 0x12340001, Kind::Ignored, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatFirmwareVersion, HexMajorTwoDigitMinor) {
  EXPECT_EQ(FormatFirmwareVersion(0x0105), "1.05");
  EXPECT_EQ(FormatFirmwareVersion(0x1A0F), "1a.0f");
  EXPECT_EQ(FormatFirmwareVersion(0x0000), "0.00");
  EXPECT_EQ(FormatFirmwareVersion(0xFFFF), "ff.ff");
}

}  // namespace
}  // namespace kb
