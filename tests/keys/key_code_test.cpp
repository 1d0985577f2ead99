// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_code.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kb {
namespace {

struct TypeCase {
  KeyCode code;
  KeyCodeType type;
};

class KeyCodeTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(KeyCodeTypeTest, TopByteIsTheType) { EXPECT_EQ(TypeOf(GetParam().code), GetParam().type); }

INSTANTIATE_TEST_SUITE_P(Examples, KeyCodeTypeTest,
                         ::testing::Values(TypeCase{0x0000'0029, KeyCodeType::Keyboard},
                                           TypeCase{0x0000'0504, KeyCodeType::Keyboard},
                                           TypeCase{0x0200'000A, KeyCodeType::FnSlot},
                                           TypeCase{0x0400'00E9, KeyCodeType::Consumer},
                                           TypeCase{0x0600'00E0, KeyCodeType::Modifier},
                                           TypeCase{0x0B00'0300, KeyCodeType::DeviceFunction0B},
                                           TypeCase{0x0C00'0100, KeyCodeType::DeviceFunction0C},
                                           TypeCase{0x0D00'0200, KeyCodeType::DeviceFunction0D},
                                           TypeCase{0x0E00'0037, KeyCodeType::DeviceFunction0E},
                                           TypeCase{0x1000'0000, KeyCodeType::MacroCode},
                                           TypeCase{0x2000'0000, KeyCodeType::FnKey}));

TEST(KeyCodeTest, TypeValuesAreTheTopBytes) {
  EXPECT_EQ(static_cast<int>(KeyCodeType::Keyboard), 0x00);
  EXPECT_EQ(static_cast<int>(KeyCodeType::FnSlot), 0x02);
  EXPECT_EQ(static_cast<int>(KeyCodeType::Consumer), 0x04);
  EXPECT_EQ(static_cast<int>(KeyCodeType::Modifier), 0x06);
  EXPECT_EQ(static_cast<int>(KeyCodeType::DeviceFunction0B), 0x0B);
  EXPECT_EQ(static_cast<int>(KeyCodeType::DeviceFunction0E), 0x0E);
  EXPECT_EQ(static_cast<int>(KeyCodeType::MacroCode), 0x10);
  EXPECT_EQ(static_cast<int>(KeyCodeType::FnKey), 0x20);
}

TEST(KeyCodeTest, DeviceFunctionTypesAreExactlyTheFourBytes) {
  for (int byte = 0; byte < 256; ++byte) {
    const bool expected = byte >= 0x0B && byte <= 0x0E;
    EXPECT_EQ(IsDeviceFunction(static_cast<KeyCodeType>(byte)), expected) << byte;
  }
}

TEST(KeyCodeTest, NoFunctionIsAllOnes) {
  EXPECT_EQ(kNoFunction, 0xFFFF'FFFFu);
  EXPECT_EQ(static_cast<int>(TypeOf(kNoFunction)), 0xFF);
}

TEST(KeyCodeTest, WritesMostSignificantByteFirst) {
  std::uint8_t bytes[4] = {};
  WriteKeyCode(bytes, 0x0400'00E9);
  EXPECT_EQ(bytes[0], 0x04);
  EXPECT_EQ(bytes[1], 0x00);
  EXPECT_EQ(bytes[2], 0x00);
  EXPECT_EQ(bytes[3], 0xE9);
  WriteKeyCode(bytes, 0x1234'5678);
  EXPECT_EQ(bytes[0], 0x12);
  EXPECT_EQ(bytes[1], 0x34);
  EXPECT_EQ(bytes[2], 0x56);
  EXPECT_EQ(bytes[3], 0x78);
}

TEST(KeyCodeTest, ReadsMostSignificantByteFirst) {
  const std::uint8_t bytes[4] = {0x06, 0x00, 0x00, 0xE0};
  EXPECT_EQ(ReadKeyCode(bytes), 0x0600'00E0u);
  const std::uint8_t all[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ReadKeyCode(all), kNoFunction);
  const std::uint8_t mixed[4] = {0x80, 0x01, 0x7F, 0xFE};
  EXPECT_EQ(ReadKeyCode(mixed), 0x8001'7FFEu);
}

TEST(KeyCodeTest, RoundTripsEveryByteValueInEveryPosition) {
  for (int position = 0; position < 4; ++position) {
    for (std::uint32_t value = 0; value < 256; ++value) {
      const KeyCode code = value << (8 * position);
      std::uint8_t bytes[4] = {0xAA, 0xAA, 0xAA, 0xAA};
      WriteKeyCode(bytes, code);
      ASSERT_EQ(ReadKeyCode(bytes), code);
    }
  }
}

TEST(KeyCodeTest, BuildsKeyboardAndFnSlotCodes) {
  EXPECT_EQ(KeyboardCode(0x04), 0x0000'0004u);
  EXPECT_EQ(KeyboardCode(0x04, 0x05), 0x0000'0504u);
  EXPECT_EQ(KeyboardCode(0x72, 0x0A), 0x0000'0A72u);
  EXPECT_EQ(FnSlotCode(10), 0x0200'000Au);
  EXPECT_EQ(LowByteOf(0x0200'000A), 0x0A);
  EXPECT_EQ(LowByteOf(0x0600'00E0), 0xE0);
  EXPECT_EQ(kMacroCode, 0x1000'0000u);
  EXPECT_EQ(kFnKeyCode, 0x2000'0000u);
}

}  // namespace
}  // namespace kb
