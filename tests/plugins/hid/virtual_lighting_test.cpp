// SPDX-License-Identifier: GPL-3.0-or-later
// A lighting block written byte by byte from the protocol's table decodes into the fields it
// carries, and a block with a wrong fixed byte is refused with the offset named.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plugins/hid/virtual_keyboard_fixture.h"

namespace kb::test {
namespace {

using ::testing::HasSubstr;

// Offsets of the lighting block.
constexpr size_t kBankByte = 0;
constexpr size_t kFixed3 = 3;
constexpr size_t kMarkA = 14;
constexpr size_t kMarkB = 15;
constexpr size_t kFirstTemplate = 16;
constexpr size_t kSecondTemplate = 256;
constexpr size_t kHalfShift = kSecondTemplate - kFirstTemplate;
constexpr size_t kModeCustom = 18;
constexpr size_t kModeEffect = 19;
constexpr size_t kModeSpare = 20;
constexpr size_t kSlots = 76;
constexpr size_t kSlotBytes = 9;
constexpr size_t kCustomBrightness = 247;
constexpr size_t kFixed248 = 248;
constexpr size_t kFixed249 = 249;
constexpr size_t kTail509 = 509;

constexpr uint8_t kTemplate[60] = {
    0x02, 0x00, 0x00, 0x01, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x09, 0x05, 0x09, 0x05, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

vkb_mode_slot SlotFor(size_t k) {
  return vkb_mode_slot{
      static_cast<uint8_t>(k % 10), static_cast<uint8_t>(k + 2),  3,  static_cast<uint8_t>(10 + k),
      static_cast<uint8_t>(20 + k), static_cast<uint8_t>(40 + k), 15, 0,
      static_cast<uint8_t>(k)};
}

PageBytes LightingBlock(uint8_t bank, uint8_t mode_custom, uint8_t mode_effect,
                        uint8_t custom_brightness) {
  PageBytes b{};
  b[kBankByte] = bank;
  b[kFixed3] = 3;
  b[kMarkA] = 0x5A;
  b[kMarkB] = 0xA5;
  std::memcpy(&b[kFirstTemplate], kTemplate, sizeof kTemplate);
  b[kModeCustom] = mode_custom;
  b[kModeEffect] = mode_effect;
  b[kModeSpare] = 0;
  for (size_t k = 0; k < 18; ++k) {
    vkb_mode_slot s = SlotFor(k);
    const uint8_t bytes[kSlotBytes] = {s.color_mode, s.brightness, s.speed, s.blue, s.red,
                                       s.green,      s.aux1,       s.aux2,  s.aux3};
    std::memcpy(&b[kSlots + kSlotBytes * k], bytes, kSlotBytes);
  }
  b[kCustomBrightness] = custom_brightness;
  b[kFixed248] = 4;
  b[kFixed249] = 4;
  for (size_t i = kFirstTemplate; i < kSecondTemplate; ++i) b[i + kHalfShift] = b[i];
  std::memcpy(&b[kSecondTemplate], kTemplate, sizeof kTemplate);
  b[kTail509] = 0x02;
  b[kTail509 + 1] = 0x5A;
  b[kTail509 + 2] = 0xA5;
  return b;
}

TEST_F(VirtualKeyboardTest, LightingBlockDecodesIntoItsBank) {
  Apply(kLighting, 0, LightingBlock(1, 0, 5, 7));
  EXPECT_TRUE(Violations().empty());
  auto state = State();
  const vkb_bank_lighting& l = state->banks[1].lighting;
  EXPECT_EQ(l.light_mode, 4);
  EXPECT_EQ(l.custom_brightness, 7);
  EXPECT_EQ(l.uploads, 1u);
  for (size_t k = 0; k < 18; ++k) {
    vkb_mode_slot want = SlotFor(k);
    EXPECT_EQ(std::memcmp(&l.slots[k], &want, sizeof want), 0) << "slot " << k;
  }
  EXPECT_EQ(state->active_bank, 1);
  EXPECT_EQ(state->banks[0].lighting.light_mode, VKB_LIGHT_MODE_NONE);
  EXPECT_EQ(state->banks[0].lighting.uploads, 0u);
  EXPECT_EQ(state->counters.lighting_blocks, 1u);
}

struct ModeBytesCase {
  uint8_t custom;
  uint8_t effect;
  int32_t mode;
};

class LightingModeBytesTest : public VirtualKeyboardTest,
                              public ::testing::WithParamInterface<ModeBytesCase> {};

TEST_P(LightingModeBytesTest, DecodeToTheLightMode) {
  Apply(kLighting, 0, LightingBlock(0, GetParam().custom, GetParam().effect, 5));
  EXPECT_TRUE(Violations().empty());
  EXPECT_EQ(State()->banks[0].lighting.light_mode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Modes, LightingModeBytesTest,
                         ::testing::Values(ModeBytesCase{0, 1, 0}, ModeBytesCase{0, 5, 4},
                                           ModeBytesCase{0, 18, 17}, ModeBytesCase{1, 0, 18},
                                           ModeBytesCase{0, 0, 19}));

struct BadBlockCase {
  const char* name;
  size_t offset;
  uint8_t value;
  std::vector<const char*> expected;  // a first-half byte also breaks the second half's copy
};

class LightingBadBlockTest : public VirtualKeyboardTest,
                             public ::testing::WithParamInterface<BadBlockCase> {};

TEST_P(LightingBadBlockTest, IsRefusedWithItsViolation) {
  PageBytes block = LightingBlock(0, 0, 3, 5);
  block[GetParam().offset] = GetParam().value;
  Apply(kLighting, 0, block);
  std::vector<std::string> lines = Violations();
  ASSERT_EQ(lines.size(), GetParam().expected.size()) << ::testing::PrintToString(lines);
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_THAT(lines[i], HasSubstr(GetParam().expected[i]));
  EXPECT_EQ(State()->banks[0].lighting.uploads, 0u);
  EXPECT_EQ(State()->counters.lighting_blocks, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, LightingBadBlockTest,
    ::testing::Values(
        BadBlockCase{"Fixed3", kFixed3, 2, {"byte 3 is 0x02, expected 0x03 (fixed value)"}},
        BadBlockCase{"MarkB", kMarkB, 0x00, {"byte 15 is 0x00, expected 0xA5 (mark)"}},
        BadBlockCase{"FirstTemplate",
                     kFirstTemplate + 5,
                     0x00,
                     {"byte 21 is 0x00, expected 0x09 (template)",
                      "byte 261 is 0x09, expected 0x00 (copy of the first half)"}},
        BadBlockCase{"SecondHalfModeBytes",
                     kSecondTemplate + 3,
                     0x05,
                     {"byte 259 is 0x05, expected 0x01 (template)"}},
        BadBlockCase{"SecondHalfSlot",
                     kSlots + kHalfShift + 4,
                     0x99,
                     {"byte 320 is 0x99, expected 0x14 (copy of the first half)"}},
        BadBlockCase{"ZeroAfterSlots",
                     240,
                     0x01,
                     {"byte 240 is 0x01, expected 0x00 (zero after the mode slots)",
                      "byte 480 is 0x00, expected 0x01 (copy of the first half)"}},
        BadBlockCase{"Fixed249",
                     kFixed249,
                     0x05,
                     {"byte 249 is 0x05, expected 0x04 (fixed value)",
                      "byte 489 is 0x04, expected 0x05 (copy of the first half)"}},
        BadBlockCase{"TailZero", 500, 0x01, {"byte 500 is 0x01, expected 0x00 (fixed zero)"}},
        BadBlockCase{
            "TailMark", kTail509 + 2, 0x00, {"byte 511 is 0x00, expected 0xA5 (tail mark)"}},
        BadBlockCase{"BankTwo", kBankByte, 2, {"lighting block names bank 2"}},
        BadBlockCase{
            "BothModeBytes", kModeCustom, 1, {"lighting mode bytes 01 03 00 name no light mode"}},
        BadBlockCase{"EffectPastSlots",
                     kModeEffect,
                     19,
                     {"lighting mode bytes 00 13 00 name no light mode"}},
        BadBlockCase{
            "SpareModeByte", kModeSpare, 1, {"lighting mode bytes 00 03 01 name no light mode"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kb::test
