// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/key_map.h"

#include <gtest/gtest.h>

#include "device/device_test_profiles.h"
#include "keys/key_code.h"

namespace kb {
namespace {

using test::BindMacro;
using test::DefaultProfile;

std::uint32_t WordAt(const KeyMap& map, std::size_t at) {
  return static_cast<std::uint32_t>(map[at]) | (static_cast<std::uint32_t>(map[at + 1]) << 8) |
         (static_cast<std::uint32_t>(map[at + 2]) << 16) |
         (static_cast<std::uint32_t>(map[at + 3]) << 24);
}

TEST(KeyMap, BothBanksCodesLittleEndianAtTheirOffsets) {
  auto record = DefaultProfile();
  WriteKeyCode(record->banks[1].keys[10].code, 0x0000'0204);  // shortcut Ctrl+A style
  WriteKeyCode(record->banks[0].fn_keys[3].code, kNoFunction);
  const KeyMap map = BuildKeyMap(*record);
  for (std::size_t b = 0; b < 2; ++b) {
    const ProfileBank& bank = record->banks[b];
    const std::size_t base = b * kKeyMapBankSize;
    for (std::size_t k = 0; k < kKeyCount; ++k) {
      ASSERT_EQ(WordAt(map, base + kKeyMapKeyWords + 4 * k), ReadKeyCode(bank.keys[k].code))
          << b << "/" << k;
    }
    for (std::size_t f = 0; f < kFnSlotCount; ++f) {
      ASSERT_EQ(WordAt(map, base + kKeyMapFnWords + 4 * f), ReadKeyCode(bank.fn_keys[f].code));
      ASSERT_EQ(WordAt(map, base + kKeyMapFn2Words + 4 * f), ReadKeyCode(bank.fn_keys[f].code2));
    }
    for (std::size_t i = kKeyMapBankPadding; i < kKeyMapBankSize; ++i) EXPECT_EQ(map[base + i], 0);
  }
  EXPECT_EQ(WordAt(map, kKeyMapBankSize + kKeyMapKeyWords + 4 * 10), 0x0000'0204u);
  // Record bytes 7, 6, 5, 4 in that order.
  EXPECT_EQ(map[kKeyMapFnWords + 4 * 3], 0xFF);
}

TEST(KeyMap, RecordBytesSevenToFourInThatOrder) {
  auto record = DefaultProfile();
  KeyEntry& e = record->banks[0].keys[0];
  e.code[0] = 0x11;
  e.code[1] = 0x22;
  e.code[2] = 0x33;
  e.code[3] = 0x44;
  const KeyMap map = BuildKeyMap(*record);
  EXPECT_EQ(map[0], 0x44);
  EXPECT_EQ(map[1], 0x33);
  EXPECT_EQ(map[2], 0x22);
  EXPECT_EQ(map[3], 0x11);
}

TEST(KeyMap, MacroBindingWordCarriesOffsetRepeatModeAndType) {
  auto record = DefaultProfile();
  KeyEntry& key = record->banks[1].keys[20];
  BindMacro(key, 0, 1, 3);
  key.device_macro_offset[0] = 0x01;
  key.device_macro_offset[1] = 0x2C;
  KeyEntry& fn = record->banks[0].fn_keys[5];
  BindMacro(fn, 1, 1, 0x104);  // only the low byte of the repeat mode travels
  fn.device_macro_offset[1] = 0x07;
  WriteKeyCode(fn.code2, 0xAABBCCDD);
  const KeyMap map = BuildKeyMap(*record);
  const std::size_t k = kKeyMapBankSize + kKeyMapKeyWords + 4 * 20;
  EXPECT_EQ(map[k + kMacroWordOffsetHigh], 0x01);
  EXPECT_EQ(map[k + kMacroWordOffsetLow], 0x2C);
  EXPECT_EQ(map[k + kMacroWordRepeatMode], 3);
  EXPECT_EQ(map[k + kMacroWordCodeType], 0x10);
  const std::size_t f = kKeyMapFnWords + 4 * 5;
  EXPECT_EQ(map[f + kMacroWordOffsetHigh], 0x00);
  EXPECT_EQ(map[f + kMacroWordOffsetLow], 0x07);
  EXPECT_EQ(map[f + kMacroWordRepeatMode], 0x04);
  EXPECT_EQ(map[f + kMacroWordCodeType], 0x10);
  EXPECT_EQ(WordAt(map, kKeyMapFn2Words + 4 * 5), 0xAABBCCDDu) << "code2 is never replaced";
}

TEST(KeyMap, KindsEighteenAndTwentyFiveKeepTheirCodeWord) {
  auto record = DefaultProfile();
  KeyEntry& e = record->banks[0].keys[1];
  e.kind = KindByte(AssignmentKind::MacroOffset18);
  e.device_macro_offset[1] = 9;
  const KeyMap map = BuildKeyMap(*record);
  EXPECT_EQ(WordAt(map, 4), ReadKeyCode(e.code));
}

}  // namespace
}  // namespace kb
