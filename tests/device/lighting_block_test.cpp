// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/lighting_block.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "device/device_test_profiles.h"

namespace kb {
namespace {

using test::DefaultProfile;

std::vector<std::uint8_t> Bytes(const LightingBlock& block, std::size_t from, std::size_t count) {
  return {block.begin() + static_cast<std::ptrdiff_t>(from),
          block.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

std::vector<std::uint8_t> Slot(const LightingBlock& block, int mode) {
  return Bytes(block, kLightingModeSlots + kLightingSlotSize * static_cast<std::size_t>(mode),
               kLightingSlotSize);
}

// The template as the keyboard's documentation lists it.
const std::vector<std::uint8_t> kTemplate = {
    0x02, 0x00, 0x00, 0x01, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x09, 0x05, 0x09, 0x05, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// The whole block of a new profile, byte for byte.
std::array<std::uint8_t, 512> GoldenDefaultBlock() {
  std::array<std::uint8_t, 512> g{};
  g[3] = 3;
  g[14] = 0x5A;
  g[15] = 0xA5;
  for (std::size_t half : {std::size_t{16}, std::size_t{256}}) {
    std::copy(kTemplate.begin(), kTemplate.end(), g.begin() + static_cast<std::ptrdiff_t>(half));
    // Modes 0..17: colour scheme 8, brightness 4 (+1), speed 2, red 255 (blue 0 scaled stays
    // 0), aux1 15.
    for (std::size_t k = 0; k < 18; ++k) {
      const std::array<std::uint8_t, 9> slot{0x08, 0x05, 0x02, 0x00, 0xFF, 0x00, 0x0F, 0x00, 0x00};
      std::copy(slot.begin(), slot.end(),
                g.begin() + static_cast<std::ptrdiff_t>(half + 60 + 9 * k));
    }
    g[half + 231] = 5;  // byte 247: mode 18's brightness 4, plus 1
    g[half + 232] = 4;
    g[half + 233] = 4;
  }
  // Mode 0 selected: flag 0, mode number 1 (what the template already holds at 18..20).
  g[18] = 0;
  g[19] = 1;
  g[20] = 0;
  g[509] = 0x02;
  g[510] = 0x5A;
  g[511] = 0xA5;
  return g;
}

TEST(LightingBlock, DefaultProfileGivesTheGoldenBlock) {
  const auto record = DefaultProfile();
  const LightingBlock block = BuildLightingBlock(*record);
  const auto golden = GoldenDefaultBlock();
  for (std::size_t i = 0; i < block.size(); ++i) EXPECT_EQ(block[i], golden[i]) << "byte " << i;
}

TEST(LightingBlock, FixedBytesAndTrailer) {
  const auto record = DefaultProfile();
  const LightingBlock block = BuildLightingBlock(*record);
  EXPECT_EQ(block[kLightingFixed3], 3);
  EXPECT_EQ(Bytes(block, kLightingSignature, 2), (std::vector<std::uint8_t>{0x5A, 0xA5}));
  EXPECT_EQ(Bytes(block, kLightingFixed4, 2), (std::vector<std::uint8_t>{4, 4}));
  EXPECT_EQ(Bytes(block, kLightingTrailer, 3), (std::vector<std::uint8_t>{0x02, 0x5A, 0xA5}));
  EXPECT_EQ(Bytes(block, 238, 9), std::vector<std::uint8_t>(9, 0));
  EXPECT_EQ(Bytes(block, 496, 13), std::vector<std::uint8_t>(13, 0));
}

struct ModeBytesCase {
  int light_mode;
  std::uint8_t flag;    // byte 18
  std::uint8_t number;  // byte 19
};

class LightingModeBytes : public ::testing::TestWithParam<ModeBytesCase> {};

TEST_P(LightingModeBytes, FirstHalfOnly) {
  auto record = DefaultProfile();
  record->banks[0].light_mode = GetParam().light_mode;
  const LightingBlock block = BuildLightingBlock(*record);
  EXPECT_EQ(block[kLightingModeFlag], GetParam().flag);
  EXPECT_EQ(block[kLightingModeNumber], GetParam().number);
  EXPECT_EQ(block[kLightingModeZero], 0);
  // The second half keeps the template's 00 01 00.
  EXPECT_EQ(Bytes(block, 258, 3), (std::vector<std::uint8_t>{0x00, 0x01, 0x00}));
}

INSTANTIATE_TEST_SUITE_P(Modes, LightingModeBytes,
                         ::testing::Values(ModeBytesCase{0, 0, 1}, ModeBytesCase{4, 0, 5},
                                           ModeBytesCase{17, 0, 18}, ModeBytesCase{18, 1, 0},
                                           ModeBytesCase{19, 0, 0}, ModeBytesCase{20, 1, 0},
                                           ModeBytesCase{-1, 1, 0}));

struct SlotColorCase {
  int red, green, blue;
  std::uint8_t sent_blue;
};

class LightingSlotBlue : public ::testing::TestWithParam<SlotColorCase> {};

TEST_P(LightingSlotBlue, ScaledWhenRedOrGreenAbove100) {
  const SlotColorCase c = GetParam();
  auto record = DefaultProfile();
  record->banks[0].light_color[3] = (c.blue << 16) | (c.green << 8) | c.red;
  const LightingBlock block = BuildLightingBlock(*record);
  const auto slot = Slot(block, 3);
  EXPECT_EQ(slot[kSlotBlue], c.sent_blue);
  EXPECT_EQ(slot[kSlotRed], c.red);
  EXPECT_EQ(slot[kSlotGreen], c.green);
}

INSTANTIATE_TEST_SUITE_P(
    Colors, LightingSlotBlue,
    ::testing::Values(SlotColorCase{200, 0, 100, 60},   // the documented case
                      SlotColorCase{0, 101, 255, 153},  // 255 * 6 / 10 truncated
                      SlotColorCase{100, 100, 255, 255}, SlotColorCase{0, 0, 99, 99},
                      SlotColorCase{101, 0, 1, 0}));

TEST(LightingBlock, SlotFieldsComeFromTheirEntries) {
  auto record = DefaultProfile();
  ProfileBank& bank = record->banks[0];
  bank.light_color_mode[7] = 9;
  bank.light_brightness[7] = 2;
  bank.light_speed[7] = 3;
  bank.light_color[7] = (0x30 << 16) | (0x20 << 8) | 0x10;
  bank.light_aux1[7] = 0xA1;
  bank.light_aux2[7] = 0xA2;
  bank.light_aux3[7] = 0xA3;
  const LightingBlock block = BuildLightingBlock(*record);
  const std::vector<std::uint8_t> expected{9, 3, 3, 0x30, 0x10, 0x20, 0xA1, 0xA2, 0xA3};
  EXPECT_EQ(Slot(block, 7), expected);
  EXPECT_EQ(
      Bytes(block, kLightingSecondHalf + (kLightingModeSlots - kLightingHalfStart) + 9 * 7, 9),
      expected);
}

TEST(LightingBlock, SecondBankFillsBothHalvesAndByteZero) {
  auto record = DefaultProfile();
  record->active_bank = 1;
  record->banks[1].light_mode = 18;
  record->banks[1].light_speed[2] = 7;
  record->banks[1].light_brightness[18] = 0;
  record->banks[0].light_speed[2] = 1;
  const LightingBlock block = BuildLightingBlock(*record);
  EXPECT_EQ(block[kLightingActiveBank], 1);
  EXPECT_EQ(block[kLightingModeFlag], 1);
  EXPECT_EQ(block[kLightingModeNumber], 0);
  EXPECT_EQ(Slot(block, 2)[kSlotSpeed], 7);
  EXPECT_EQ(
      block[kLightingSecondHalf + (kLightingModeSlots - kLightingHalfStart) + 9 * 2 + kSlotSpeed],
      7);
  EXPECT_EQ(block[kLightingCustomBrightness], 1);
  EXPECT_EQ(block[kLightingSecondHalf + (kLightingCustomBrightness - kLightingHalfStart)], 1);
}

TEST(LightingBlock, StrayBankValueSendsTheBankWhoseSettingsItCarries) {
  auto record = DefaultProfile();
  record->active_bank = 257;  // from a damaged file; its low byte would claim bank 1
  record->banks[0].light_speed[3] = 6;
  record->banks[1].light_speed[3] = 9;
  const LightingBlock block = BuildLightingBlock(*record);
  EXPECT_EQ(block[kLightingActiveBank], 0);
  EXPECT_EQ(Slot(block, 3)[kSlotSpeed], 6);
}

TEST(LightingBlock, ValuesAreTheirLowEightBits) {
  auto record = DefaultProfile();
  record->banks[0].light_speed[0] = 0x1234;
  record->banks[0].light_brightness[0] = 0xFF;  // plus 1 wraps to 0
  const LightingBlock block = BuildLightingBlock(*record);
  EXPECT_EQ(Slot(block, 0)[kSlotSpeed], 0x34);
  EXPECT_EQ(Slot(block, 0)[kSlotBrightness], 0x00);
}

}  // namespace
}  // namespace kb
