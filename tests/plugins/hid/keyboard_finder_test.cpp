// SPDX-License-Identifier: GPL-3.0-or-later
// Which of a keyboard's HID interfaces the hardware library talks to.
#include "hardware/keyboard_finder.h"

#include <gtest/gtest.h>

namespace kb::hid {
namespace {

struct ChooseCase {
  const char* name;
  std::vector<InterfaceInfo> interfaces;
  const char* chosen;  // nullptr: none
};

const ChooseCase kCases[] = {
    {"None", {}, nullptr},
    {"OnlyOne", {{"/dev/hidraw3", 0x01, 0x06, 0}}, "/dev/hidraw3"},
    {"VendorPageWins",
     {{"/dev/hidraw1", 0x01, 0x06, 0},
      {"/dev/hidraw2", 0x0C, 0x01, 1},
      {"/dev/hidraw3", 0xFF1C, 0x92, 2}},
     "/dev/hidraw3"},
    {"NotTheBootKeyboard",
     {{"/dev/hidraw1", 0x01, 0x06, 0}, {"/dev/hidraw2", 0x0C, 0x01, 1}},
     "/dev/hidraw2"},
    {"NotTheBootMouse",
     {{"/dev/hidraw1", 0x01, 0x02, 0}, {"/dev/hidraw2", 0x01, 0x80, 1}},
     "/dev/hidraw2"},
    {"LowestInterfaceAmongVendorPages",
     {{"/dev/hidraw9", 0xFF00, 0x01, 3}, {"/dev/hidraw8", 0xFF01, 0x01, 2}},
     "/dev/hidraw8"},
    {"BootDevicesOnly",
     {{"/dev/hidraw5", 0x01, 0x06, 1}, {"/dev/hidraw4", 0x01, 0x02, 0}},
     "/dev/hidraw4"},
};

class ChooseInterfaceTest : public ::testing::TestWithParam<ChooseCase> {};

TEST_P(ChooseInterfaceTest, PicksTheTransferInterface) {
  std::optional<InterfaceInfo> chosen = ChooseInterface(GetParam().interfaces);
  if (GetParam().chosen == nullptr) {
    EXPECT_FALSE(chosen.has_value());
  } else {
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->path, GetParam().chosen);
  }
}

INSTANTIATE_TEST_SUITE_P(Interfaces, ChooseInterfaceTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kb::hid
