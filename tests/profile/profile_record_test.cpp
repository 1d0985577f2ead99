// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/utf16_text.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"

namespace kb {
namespace {

// Offsets of the file format, written out here so that the expectation does not lean on the
// structs it checks.
constexpr std::size_t kRecordSize = 48584;
constexpr std::size_t kActiveBankAt = 100;
constexpr std::size_t kFormatTagAt = 104;
constexpr std::size_t kReservedHeadAt = 108;
constexpr std::size_t kReservedHeadSize = 36;
constexpr std::size_t kBankAt[2] = {144, 24364};
constexpr std::size_t kBankSize = 24220;
constexpr std::size_t kReservedTextAt = 200;
constexpr std::size_t kLightModeAt = 1332;
constexpr std::size_t kBrightnessAt = 1336;
constexpr std::size_t kSpeedAt = 1420;
constexpr std::size_t kColorAt = 1504;
constexpr std::size_t kColorModeAt = 1588;
constexpr std::size_t kAux1At = 1672;
constexpr std::size_t kCustomColorsAt = 1820;
constexpr std::size_t kKeysAt = 4668;
constexpr std::size_t kFnKeysAt = 18396;
constexpr std::size_t kEntrySize = 104;
constexpr std::size_t kKindAt = 1;
constexpr std::size_t kCodeAt = 4;
constexpr std::size_t kCode2At = 8;
constexpr std::size_t kMacroLoopsAt = 64;
constexpr std::size_t kMacroIndexAt = 72;
constexpr std::size_t kReserved80At = 80;
constexpr std::size_t kReserved100At = 100;
constexpr std::uint32_t kOrange = (0u << 16) | (64u << 8) | 255u;

using Image = std::vector<std::uint8_t>;

void PutLe32(Image& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutBe32(Image& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
}

void PutEntry(Image& image, std::size_t at, KeyCode code, KeyCode code2) {
  image[at + kKindAt] = 120;
  PutBe32(image, at + kCodeAt, code);
  PutBe32(image, at + kCode2At, code2);
  PutLe32(image, at + kMacroLoopsAt, 1);
  PutLe32(image, at + kMacroIndexAt, 0xFFFF'FFFF);
  PutLe32(image, at + kReserved80At, 0xFFFF'FFFF);
  PutLe32(image, at + kReserved100At, 255);
}

void PutDefaultBank(Image& image, std::size_t bank, Model model) {
  for (int mode = 0; mode < 18; ++mode) {
    PutLe32(image, bank + kBrightnessAt + 4 * mode, 4);
    PutLe32(image, bank + kSpeedAt + 4 * mode, 2);
    PutLe32(image, bank + kColorAt + 4 * mode, 255);
    PutLe32(image, bank + kColorModeAt + 4 * mode, 8);
    image[bank + kAux1At + mode] = 15;
  }
  PutLe32(image, bank + kBrightnessAt + 4 * 18, 4);
  PutLe32(image, bank + kSpeedAt + 4 * 18, 1);
  PutLe32(image, bank + kColorAt + 4 * 18, 255);
  for (int k : {46, 67, 68, 69, 103, 124, 125, 126})
    PutLe32(image, bank + kCustomColorsAt + 4 * k, kOrange);
  const KeyLayout& layout = LayoutOf(model);
  for (int k = 0; k < 132; ++k)
    PutEntry(image, bank + kKeysAt + kEntrySize * k, layout.default_key_codes[k], 0);
  for (int f = 0; f < 56; ++f)
    PutEntry(image, bank + kFnKeysAt + kEntrySize * f, layout.default_fn_key_codes[f],
             layout.default_fn_functions[f]);
}

Image ExpectedNewRecord(std::u16string_view name, Model model) {
  Image image(kRecordSize, 0);
  for (std::size_t i = 0; i < name.size(); ++i) {
    image[2 * i] = static_cast<std::uint8_t>(name[i]);
    image[2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
  }
  PutLe32(image, kActiveBankAt, 0);
  PutLe32(image, kFormatTagAt, model == Model::KB_3 ? 6 : 7);
  for (std::size_t bank : kBankAt) PutDefaultBank(image, bank, model);
  return image;
}

Image ImageOf(const ProfileRecord& record) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
  return Image(bytes, bytes + sizeof record);
}

// The first differing offset, or -1; a whole-image EXPECT_EQ would print 48584 bytes.
long FirstDifference(const Image& a, const Image& b) {
  if (a.size() != b.size()) return 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return -1;
}

class NewProfileTest : public ::testing::TestWithParam<Model> {};

TEST_P(NewProfileTest, EveryByteMatchesTheDefaults) {
  ProfileList list;
  const ProfileRecord& record = NewDefaultProfile(u"Profile_1", GetParam(), list);
  const Image expected = ExpectedNewRecord(u"Profile_1", GetParam());
  EXPECT_EQ(FirstDifference(ImageOf(record), expected), -1);
}

TEST_P(NewProfileTest, ReservedWordsOfAll188EntriesInBothBanks) {
  ProfileList list;
  const ProfileRecord& record = NewDefaultProfile(u"p", GetParam(), list);
  int checked = 0;
  for (const ProfileBank& bank : record.banks) {
    auto check = [&](const KeyEntry& entry) {
      EXPECT_EQ(entry.reserved80, -1);
      EXPECT_EQ(entry.reserved100, 255);
      EXPECT_EQ(entry.kind, 120);
      EXPECT_EQ(entry.macro_loops, 1);
      EXPECT_EQ(entry.macro_index, -1);
      ++checked;
    };
    for (const KeyEntry& entry : bank.keys) check(entry);
    for (const KeyEntry& entry : bank.fn_keys) check(entry);
  }
  EXPECT_EQ(checked, 2 * 188);
}

TEST_P(NewProfileTest, CodesAreStoredBigEndianFromTheModelTables) {
  ProfileList list;
  const ProfileRecord& record = NewDefaultProfile(u"p", GetParam(), list);
  const KeyLayout& layout = LayoutOf(GetParam());
  for (const ProfileBank& bank : record.banks) {
    for (int k = 0; k < 132; ++k) {
      EXPECT_EQ(ReadKeyCode(bank.keys[k].code), layout.default_key_codes[k]);
      EXPECT_EQ(ReadKeyCode(bank.keys[k].code2), 0u);
    }
    for (int f = 0; f < 56; ++f) {
      EXPECT_EQ(ReadKeyCode(bank.fn_keys[f].code), layout.default_fn_key_codes[f]);
      EXPECT_EQ(ReadKeyCode(bank.fn_keys[f].code2), layout.default_fn_functions[f]);
    }
  }
  // Enter at index 81: type byte first.
  const std::uint8_t enter[4] = {0x00, 0x00, 0x00, 0x28};
  EXPECT_EQ(std::memcmp(record.banks[0].keys[81].code, enter, 4), 0);
}

TEST_P(NewProfileTest, EightOrangeKeysInTheFirstColourSetOnly) {
  ProfileList list;
  const ProfileRecord& record = NewDefaultProfile(u"p", GetParam(), list);
  int lit = 0;
  for (int set = 0; set < 5; ++set) {
    for (int k = 0; k < 132; ++k) {
      const std::int32_t colour = record.banks[1].custom_colors[set][k];
      if (colour != 0) {
        EXPECT_EQ(set, 0);
        EXPECT_EQ(colour, 0x0040FF);
        ++lit;
      }
    }
  }
  EXPECT_EQ(lit, 8);
  EXPECT_EQ(UnpackColor(record.banks[0].custom_colors[0][46]), 0xFFFF'4000u);
}

TEST_P(NewProfileTest, LightingDefaults) {
  ProfileList list;
  const ProfileBank& bank = NewDefaultProfile(u"p", GetParam(), list).banks[0];
  EXPECT_EQ(bank.light_mode, 0);
  EXPECT_EQ(bank.light_brightness[17], 4);
  EXPECT_EQ(bank.light_speed[17], 2);
  EXPECT_EQ(bank.light_color_mode[17], 8);
  EXPECT_EQ(bank.light_aux1[17], 15);
  EXPECT_EQ(bank.light_speed[18], 1);
  EXPECT_EQ(bank.light_color_mode[18], 0);
  EXPECT_EQ(bank.light_aux1[18], 0);
  for (int mode : {19, 20}) {
    EXPECT_EQ(bank.light_brightness[mode], 0);
    EXPECT_EQ(bank.light_speed[mode], 0);
    EXPECT_EQ(bank.light_color[mode], 0);
  }
  EXPECT_EQ(bank.reserved_text[0], u'\0');
}

INSTANTIATE_TEST_SUITE_P(BothModels, NewProfileTest, ::testing::Values(Model::KB_3, Model::KB_4));

TEST(NewProfileNameTest, FormatTagPerModel) {
  ProfileList list;
  EXPECT_EQ(NewDefaultProfile(u"a", Model::KB_3, list).format_tag, 6);
  EXPECT_EQ(NewDefaultProfile(u"b", Model::KB_4, list).format_tag, 7);
}

TEST(NewProfileNameTest, FortyNineUnitsFitWithTheirNul) {
  ProfileList list;
  const std::u16string name(49, u'n');
  const ProfileRecord& record = NewDefaultProfile(name, Model::KB_3, list);
  EXPECT_EQ(FieldText(record.name), name);
  EXPECT_EQ(record.name[49], u'\0');
}

TEST(NewProfileNameTest, LongerNamesAreShortenedTo49) {
  ProfileList list;
  const ProfileRecord& record = NewDefaultProfile(std::u16string(80, u'x'), Model::KB_3, list);
  EXPECT_EQ(FieldText(record.name), std::u16string(49, u'x'));
  EXPECT_EQ(
      FirstDifference(ImageOf(record), ExpectedNewRecord(std::u16string(49, u'x'), Model::KB_3)),
      -1);
}

TEST(NewProfileNameTest, SurrogatePairAtTheLimitIsNotSplit) {
  ProfileList list;
  std::u16string name(48, u'x');
  name += u"\U0001F600";  // units 48 and 49: the pair cannot fit whole
  const ProfileRecord& record = NewDefaultProfile(name, Model::KB_3, list);
  EXPECT_EQ(FieldText(record.name), std::u16string(48, u'x'));
  EXPECT_EQ(record.name[48], u'\0');
  EXPECT_EQ(record.name[49], u'\0');
}

TEST(NewProfileNameTest, AppendsAndEarlierRecordsStayPut) {
  ProfileList list;
  ProfileRecord& first = NewDefaultProfile(u"one", Model::KB_3, list);
  for (int i = 0; i < 20; ++i) NewDefaultProfile(u"more", Model::KB_3, list);
  ProfileRecord& last = NewDefaultProfile(u"last", Model::KB_3, list);
  ASSERT_EQ(list.size(), 22u);
  EXPECT_EQ(&first, list.front().get());
  EXPECT_EQ(&last, list.back().get());
  EXPECT_EQ(FieldText(first.name), u"one");
}

TEST(ResetProfileTest, KeepsNameAndReservedHeadRestoresTheRest) {
  ProfileList list;
  ProfileRecord& record = NewDefaultProfile(u"Mine", Model::KB_3, list);
  std::memset(record.reserved_head, 0x5A, sizeof record.reserved_head);
  record.name[30] = u'z';  // a byte after the terminator survives too
  record.active_bank = 1;
  record.format_tag = 99;
  std::memset(&record.banks, 0xA5, sizeof record.banks);

  ResetProfile(record, Model::KB_3);

  Image expected = ExpectedNewRecord(u"Mine", Model::KB_3);
  expected[2 * 30] = 'z';
  for (std::size_t i = 0; i < kReservedHeadSize; ++i) expected[kReservedHeadAt + i] = 0x5A;
  EXPECT_EQ(FirstDifference(ImageOf(record), expected), -1);
}

TEST(ResetProfileTest, ResetAsTheOtherModelWritesItsTagAndTables) {
  ProfileList list;
  ProfileRecord& record = NewDefaultProfile(u"x", Model::KB_3, list);
  ResetProfile(record, Model::KB_4);
  EXPECT_EQ(FirstDifference(ImageOf(record), ExpectedNewRecord(u"x", Model::KB_4)), -1);
}

TEST(ResetBankTest, TouchesOnlyItsBank) {
  ProfileList list;
  ProfileRecord& record = NewDefaultProfile(u"x", Model::KB_3, list);
  record.banks[0].light_mode = 7;
  std::memset(&record.banks[1], 0xEE, sizeof(ProfileBank));
  ResetBank(record.banks[1], Model::KB_3);
  EXPECT_EQ(record.banks[0].light_mode, 7);
  record.banks[0].light_mode = 0;
  EXPECT_EQ(FirstDifference(ImageOf(record), ExpectedNewRecord(u"x", Model::KB_3)), -1);
  static_assert(sizeof(ProfileBank) == kBankSize);
  EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&record.banks[1].reserved_text) -
                reinterpret_cast<const std::uint8_t*>(&record.banks[1]),
            static_cast<std::ptrdiff_t>(kReservedTextAt));
  EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&record.banks[1].light_mode) -
                reinterpret_cast<const std::uint8_t*>(&record),
            static_cast<std::ptrdiff_t>(kBankAt[1] + kLightModeAt));
}

struct ColorCase {
  std::uint32_t argb;
  std::int32_t stored;
};

class ColorPackingTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorPackingTest, PacksAndUnpacks) {
  EXPECT_EQ(PackColor(GetParam().argb), GetParam().stored);
  EXPECT_EQ(UnpackColor(GetParam().stored), GetParam().argb | 0xFF00'0000u);
}

INSTANTIATE_TEST_SUITE_P(Colors, ColorPackingTest,
                         ::testing::Values(ColorCase{0xFFFF'0000, 0x0000FF},  // red
                                           ColorCase{0xFF00'FF00, 0x00FF00},  // green
                                           ColorCase{0xFF00'00FF, 0xFF0000},  // blue
                                           ColorCase{0xFFFF'4000, 0x0040FF},  // orange
                                           ColorCase{0xFF12'3456, 0x563412},
                                           ColorCase{0xFF00'0000, 0x000000},
                                           ColorCase{0xFFFF'FFFF, 0xFFFFFF},
                                           ColorCase{0x0012'3456, 0x563412}));  // alpha dropped

TEST(ColorPackingTest, StoredTopByteIsIgnored) {
  EXPECT_EQ(UnpackColor(static_cast<std::int32_t>(0x7F0040FF)), 0xFFFF'4000u);
  EXPECT_EQ(UnpackColor(-1), 0xFFFF'FFFFu);
  EXPECT_EQ(PackColor(0x80AB'CDEF) & 0xFF00'0000, 0);
}

TEST(ColorPackingTest, RoundTripsEveryChannelValue) {
  for (std::uint32_t v = 0; v < 256; ++v) {
    for (std::uint32_t argb : {v << 16, v << 8, v, (v << 16) | ((255 - v) << 8) | (v ^ 0x5A)}) {
      ASSERT_EQ(UnpackColor(PackColor(argb)), argb | 0xFF00'0000u);
    }
  }
}

class ActiveBankTest : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ActiveBankTest, AnythingButOneSelectsTheFirstBankAndLeavesTheField) {
  ProfileList list;
  ProfileRecord& record = NewDefaultProfile(u"x", Model::KB_3, list);
  record.active_bank = GetParam();
  const int expected = GetParam() == 1 ? 1 : 0;
  EXPECT_EQ(ActiveBankIndex(record), expected);
  EXPECT_EQ(&ActiveBank(record), &record.banks[expected]);
  const ProfileRecord& constant = record;
  EXPECT_EQ(&ActiveBank(constant), &record.banks[expected]);
  EXPECT_EQ(record.active_bank, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, ActiveBankTest,
                         ::testing::Values(0, 1, 2, -1, 255, INT_MAX, INT_MIN));

TEST(ActiveBankTest, SecondBankIsEditedWhileTheFirstKeepsItsSettings) {
  ProfileList list;
  ProfileRecord& record = NewDefaultProfile(u"x", Model::KB_3, list);
  record.active_bank = 1;
  ActiveBank(record).light_mode = 5;
  WriteKeyCode(KeyAt(ActiveBank(record), 9).code, 0x0000'0014);
  EXPECT_EQ(record.banks[1].light_mode, 5);
  EXPECT_EQ(record.banks[0].light_mode, 0);
  EXPECT_EQ(ReadKeyCode(record.banks[1].keys[9].code), 0x0000'0014u);
  EXPECT_EQ(ReadKeyCode(record.banks[0].keys[9].code), 0x0000'0004u);
}

TEST(KeyAccessTest, EntriesByIndexAndSlot) {
  ProfileList list;
  ProfileRecord& record = NewDefaultProfile(u"x", Model::KB_3, list);
  ProfileBank& bank = record.banks[0];
  EXPECT_EQ(&KeyAt(bank, 0), &bank.keys[0]);
  EXPECT_EQ(&KeyAt(bank, 131), &bank.keys[131]);
  EXPECT_EQ(&FnKeyAt(bank, 0), &bank.fn_keys[0]);
  EXPECT_EQ(&FnKeyAt(bank, 55), &bank.fn_keys[55]);
  const ProfileBank& constant = bank;
  EXPECT_EQ(&KeyAt(constant, 81), &bank.keys[81]);
  EXPECT_EQ(&FnKeyAt(constant, 11), &bank.fn_keys[11]);
}

TEST(KeyAccessTest, OutOfRangeThrows) {
  ProfileList list;
  ProfileBank& bank = NewDefaultProfile(u"x", Model::KB_3, list).banks[0];
  EXPECT_THROW(KeyAt(bank, -1), std::out_of_range);
  EXPECT_THROW(KeyAt(bank, 132), std::out_of_range);
  EXPECT_THROW(FnKeyAt(bank, -1), std::out_of_range);
  EXPECT_THROW(FnKeyAt(bank, 56), std::out_of_range);
}

}  // namespace
}  // namespace kb
