// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/macro_area.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/utf16_text.h"
#include "device/device_test_profiles.h"
#include "device/macro_memory.h"
#include "device/macro_program.h"

namespace kb {
namespace {

using test::Action;
using test::BindMacro;
using test::DefaultProfile;

int Offset(const KeyEntry& e) { return (e.device_macro_offset[0] << 8) | e.device_macro_offset[1]; }

// A macro of `actions` short presses: 2 + 2n + 2 bytes.
std::unique_ptr<MacroRecord> Presses(int actions) {
  auto macro = test::EmptyMacro();
  for (int i = 0; i < actions; ++i) test::AddAction(*macro, Action(0x04, 1, 10));
  return macro;
}

TEST(MacroArea, ProgramsInUploadOrderWithOffsets) {
  MacroList list;
  list.push_back(Presses(1));  // 6 bytes
  list.push_back(Presses(3));  // 10 bytes
  auto record = DefaultProfile();
  BindMacro(record->banks[1].keys[0], 0);       // third in upload order
  BindMacro(record->banks[0].fn_keys[2], 1);    // second
  BindMacro(record->banks[0].keys[100], 0, 7);  // first
  const MacroSnapshot macros = MacroSnapshot::Take(*record, list);
  const MacroArea area = BuildMacroArea(*record, macros);
  EXPECT_EQ(area.programs, 3);
  EXPECT_EQ(area.bytes.size(), 6u + 10u + 6u);
  EXPECT_EQ(Offset(record->banks[0].keys[100]), 0);
  EXPECT_EQ(Offset(record->banks[0].fn_keys[2]), 6);
  EXPECT_EQ(Offset(record->banks[1].keys[0]), 16);
  EXPECT_EQ(area.bytes[0], 0x00);
  EXPECT_EQ(area.bytes[1], 7) << "the key's macro_loops";
  EXPECT_EQ(area.pages(), 1);
}

TEST(MacroArea, KindsEighteenAndTwentyFiveGetTheOffsetButNoProgram) {
  MacroList list;
  list.push_back(Presses(1));
  auto record = DefaultProfile();
  BindMacro(record->banks[0].keys[0], 0);
  record->banks[0].keys[1].kind = KindByte(AssignmentKind::MacroOffset18);
  record->banks[0].keys[1].macro_index = 0;
  record->banks[0].keys[2].kind = KindByte(AssignmentKind::MacroOffset25);
  record->banks[0].keys[3].device_macro_offset[1] = 0x55;  // a default key keeps what it carries
  BindMacro(record->banks[0].keys[4], 0);
  const MacroArea area = BuildMacroArea(*record, MacroSnapshot::Take(*record, list));
  EXPECT_EQ(Offset(record->banks[0].keys[1]), 6);
  EXPECT_EQ(Offset(record->banks[0].keys[2]), 6);
  EXPECT_EQ(Offset(record->banks[0].keys[3]), 0x55);
  EXPECT_EQ(Offset(record->banks[0].keys[4]), 6);
  EXPECT_EQ(area.bytes.size(), 12u);
  EXPECT_EQ(area.programs, 2);
}

TEST(MacroArea, UnknownMacroIndexAppendsNothingButGetsItsOffset) {
  MacroList list;
  list.push_back(Presses(1));
  auto record = DefaultProfile();
  BindMacro(record->banks[0].keys[0], -1);
  BindMacro(record->banks[0].keys[1], 1);  // past the end
  BindMacro(record->banks[0].keys[2], 0);
  BindMacro(record->banks[0].keys[3], 5);
  const MacroArea area = BuildMacroArea(*record, MacroSnapshot::Take(*record, list));
  EXPECT_EQ(Offset(record->banks[0].keys[0]), 0);
  EXPECT_EQ(Offset(record->banks[0].keys[1]), 0);
  EXPECT_EQ(Offset(record->banks[0].keys[2]), 0);
  EXPECT_EQ(Offset(record->banks[0].keys[3]), 6);
  EXPECT_EQ(area.programs, 1);
  EXPECT_EQ(area.bytes.size(), 6u);
}

TEST(MacroArea, EmptyAreaHasNoPages) {
  auto record = DefaultProfile();
  const MacroArea area = BuildMacroArea(*record, MacroSnapshot());
  EXPECT_TRUE(area.bytes.empty());
  EXPECT_EQ(area.pages(), 0);
}

TEST(MacroArea, FiveHundredThirteenBytesMakeTwoPagesTheSecondOneBytePlusZeros) {
  // Programs are always an even number of bytes, so this length only arises from the paging
  // arithmetic itself.
  MacroArea area;
  area.bytes.assign(513, 0xEE);
  ASSERT_EQ(area.pages(), 2);
  EXPECT_EQ(area.Page(0), std::vector<std::uint8_t>(512, 0xEE));
  std::vector<std::uint8_t> second(512, 0);
  second[0] = 0xEE;
  EXPECT_EQ(area.Page(1), second);
}

TEST(MacroArea, NeverPassesTenThousandBytes) {
  MacroList list;
  list.push_back(Presses(2496));       // 2 + 4992 + 2 = 4996
  list.push_back(Presses(1));          // 6
  list.push_back(test::EmptyMacro());  // 4
  auto huge = test::EmptyMacro();
  for (int i = 0; i < kMaxMacroActions; ++i) test::AddAction(*huge, Action(0x04, 1, 500));
  list.push_back(std::move(huge));  // 2 + 6 * 3000 + 2 = 18004: never fits
  auto record = DefaultProfile();
  BindMacro(record->banks[0].keys[0], 3);  // too long on its own
  BindMacro(record->banks[0].keys[1], 0);  // 0..4995
  BindMacro(record->banks[0].keys[2], 0);  // 4996..9991
  BindMacro(record->banks[0].keys[3], 1);  // 9992..9997
  BindMacro(record->banks[0].keys[4], 1);  // would end at 10003
  BindMacro(record->banks[0].keys[5], 2);  // 4 bytes would end at 10001
  BindMacro(record->banks[1].keys[0], 3);
  const MacroArea area = BuildMacroArea(*record, MacroSnapshot::Take(*record, list));
  EXPECT_EQ(area.bytes.size(), 9998u);
  EXPECT_LE(area.bytes.size(), kMacroAreaCapacity);
  EXPECT_EQ(area.programs, 3);
  EXPECT_EQ(area.skipped_programs, 4);
  EXPECT_EQ(area.skipped_macros, (std::vector<int>{3, 1, 2, 3})) << "in upload order";
  EXPECT_EQ(area.wanted_bytes, 18004u + 4996 + 4996 + 6 + 6 + 4 + 18004);
  EXPECT_EQ(area.pages(), 20);

  // The page's measure agrees with the apply and leaves the user's record alone.
  const auto before = *record;
  const MacroMemoryUse use = MeasureMacroMemory(*record, list);
  EXPECT_EQ(use.used, 9998u);
  EXPECT_EQ(use.wanted, area.wanted_bytes);
  EXPECT_EQ(use.capacity, 10000u);
  EXPECT_EQ(use.left_out, area.skipped_macros);
  for (int i = 0; i < 4; ++i) StoreFieldText(list[i]->name, std::u16string(1, u'A' + i));
  EXPECT_EQ(LeftOutNames(use, list), u"D, B, C") << "each macro once, in upload order";
  EXPECT_EQ(std::memcmp(&before, record.get(), sizeof before), 0);
  EXPECT_EQ(Offset(record->banks[0].keys[0]), 0);
  EXPECT_EQ(Offset(record->banks[0].keys[1]), 0);
  EXPECT_EQ(Offset(record->banks[0].keys[2]), 4996);
  EXPECT_EQ(Offset(record->banks[0].keys[3]), 9992);
  EXPECT_EQ(Offset(record->banks[0].keys[4]), 9998)
      << "a key whose program is left out still gets its offset";
  EXPECT_EQ(Offset(record->banks[0].keys[5]), 9998);
  EXPECT_EQ(Offset(record->banks[1].keys[0]), 9998);
}

TEST(MacroArea, AProgramThatExactlyFillsTheAreaIsKept) {
  MacroList list;
  list.push_back(Presses(2497));       // 2 + 4994 + 2 = 4998
  list.push_back(test::EmptyMacro());  // 4
  auto record = DefaultProfile();
  BindMacro(record->banks[0].keys[0], 0);
  BindMacro(record->banks[0].keys[1], 0);  // 9996
  BindMacro(record->banks[0].keys[2], 1);  // 10000
  const MacroArea area = BuildMacroArea(*record, MacroSnapshot::Take(*record, list));
  EXPECT_EQ(area.bytes.size(), 10000u);
  EXPECT_EQ(area.programs, 3);
  EXPECT_EQ(area.skipped_programs, 0);
  EXPECT_EQ(area.pages(), 20);
}

}  // namespace
}  // namespace kb
