// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace kb {
namespace {

constexpr KeyCode X = kNoFunction;

int CodedPositions(const KeyLayout& layout) {
  int n = 0;
  for (KeyCode code : layout.default_key_codes) n += code != kNoFunction;
  return n;
}

std::set<int> SlotsInUse(const KeyLayout& layout) {
  std::set<int> slots;
  for (int f = 0; f < kLayoutFnSlots; ++f)
    if (layout.default_fn_key_codes[f] != kNoFunction) slots.insert(f);
  return slots;
}

TEST(KeyLayoutTest, GridIsTwentyTwoColumnsBySixRows) {
  EXPECT_EQ(kLayoutKeys, 132);
  EXPECT_EQ(kLayoutFnSlots, 56);
  EXPECT_EQ(KeyIndexAt(0, 0), 0);
  EXPECT_EQ(KeyIndexAt(13, 3), 81);
  EXPECT_EQ(KeyIndexAt(21, 5), 131);
}

TEST(KeyLayoutTest, CodedPositionsPerModel) {
  EXPECT_EQ(CodedPositions(LayoutOf(Model::KB_3)), 112);
  EXPECT_EQ(CodedPositions(LayoutOf(Model::KB_4)), 95);
}

TEST(KeyLayoutTest, FnSlotsInUsePerModel) {
  std::set<int> kb3;
  for (int f = 0; f <= 11; ++f) kb3.insert(f);
  EXPECT_EQ(SlotsInUse(LayoutOf(Model::KB_3)), kb3);
  std::set<int> kb4;
  for (int f = 0; f <= 19; ++f) kb4.insert(f);
  kb4.insert(32);
  EXPECT_EQ(SlotsInUse(LayoutOf(Model::KB_4)), kb4);
}

TEST(KeyLayoutTest, UnusedSlotsHaveNoFunctionInBothTables) {
  for (Model model : {Model::KB_3, Model::KB_4}) {
    const KeyLayout& layout = LayoutOf(model);
    for (int f = 0; f < kLayoutFnSlots; ++f) {
      if (layout.default_fn_key_codes[f] == kNoFunction) {
        EXPECT_EQ(layout.default_fn_functions[f], kNoFunction) << "slot " << f;
      }
    }
  }
}

// Every slot in use is named by exactly one grid position, except KB_4's slot 32, which no
// position names; no grid position names a slot that is not in use.
TEST(KeyLayoutTest, GridNamesEachSlotInUseOnce) {
  for (Model model : {Model::KB_3, Model::KB_4}) {
    const KeyLayout& layout = LayoutOf(model);
    std::vector<int> references(kLayoutFnSlots, 0);
    for (KeyCode code : layout.default_key_codes) {
      if (TypeOf(code) != KeyCodeType::FnSlot) continue;
      ASSERT_LT(LowByteOf(code), kLayoutFnSlots);
      ++references[LowByteOf(code)];
    }
    for (int f = 0; f < kLayoutFnSlots; ++f) {
      const bool in_use = layout.default_fn_key_codes[f] != kNoFunction;
      const int expected = in_use && !(model == Model::KB_4 && f == 32) ? 1 : 0;
      EXPECT_EQ(references[f], expected) << "model " << static_cast<int>(model) << " slot " << f;
    }
  }
}

TEST(KeyLayoutTest, Kb4Slot32HoldsEscapeWithoutFnFunction) {
  const KeyLayout& layout = LayoutOf(Model::KB_4);
  EXPECT_EQ(layout.default_fn_key_codes[32], 0x0000'0029u);
  EXPECT_EQ(layout.default_fn_functions[32], kNoFunction);
}

TEST(KeyLayoutTest, SharedPositionsOnBothModels) {
  for (Model model : {Model::KB_3, Model::KB_4}) {
    const KeyLayout& layout = LayoutOf(model);
    EXPECT_EQ(layout.default_key_codes[81], 0x0000'0028u);  // Enter
    EXPECT_EQ(layout.default_key_codes[79], 0x0000'002Au);  // Backspace, twice
    EXPECT_EQ(layout.default_key_codes[80], 0x0000'002Au);
    EXPECT_EQ(layout.default_key_codes[71], 0x2000'0000u);  // Fn key
    EXPECT_EQ(layout.default_key_codes[0], 0x0000'0029u);   // Esc
    EXPECT_EQ(layout.default_key_codes[6], X);
  }
}

// The positions where the models differ, and nowhere else: F1..F8 as Fn slots, Backslash one
// row down, KB_4's device-function keys, the keypad and media keys, the swapped volume codes.
TEST(KeyLayoutTest, ModelsDifferExactlyAtTheListedPositions) {
  const std::set<int> expected = {12,  18,  24,  30,  36,  42,  48,  54,  75,  76,  87,  93,
                                  102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 114,
                                  115, 116, 117, 118, 119, 120, 121, 123, 124, 125, 130, 131};
  std::set<int> differ;
  for (int k = 0; k < kLayoutKeys; ++k)
    if (LayoutOf(Model::KB_3).default_key_codes[k] != LayoutOf(Model::KB_4).default_key_codes[k])
      differ.insert(k);
  EXPECT_EQ(differ, expected);
}

TEST(KeyLayoutTest, Kb4KeypadColumnsAreEmpty) {
  const KeyLayout& layout = LayoutOf(Model::KB_4);
  for (int k = KeyIndexAt(17, 0); k < KeyIndexAt(20, 0); ++k)
    EXPECT_EQ(layout.default_key_codes[k], X) << k;
}

TEST(KeyLayoutTest, DeviceFunctionCodesAreExactlyTheTenKnownValues) {
  const std::set<KeyCode> known = {0x0B00'0300, 0x0C00'0100, 0x0C00'0200, 0x0D00'0100, 0x0D00'0200,
                                   0x0E00'0001, 0x0E00'0002, 0x0E00'001A, 0x0E00'0029, 0x0E00'0037};
  std::set<KeyCode> seen;
  for (Model model : {Model::KB_3, Model::KB_4}) {
    const KeyLayout& layout = LayoutOf(model);
    auto collect = [&](KeyCode code) {
      if (code != kNoFunction && IsDeviceFunction(TypeOf(code))) seen.insert(code);
    };
    for (KeyCode code : layout.default_key_codes) collect(code);
    for (KeyCode code : layout.default_fn_key_codes) collect(code);
    for (KeyCode code : layout.default_fn_functions) collect(code);
  }
  EXPECT_EQ(seen, known);
}

struct PositionRow {
  Model model;
  int index;
  KeyCode code;
};

class KeyLayoutRowTest : public ::testing::TestWithParam<PositionRow> {};

TEST_P(KeyLayoutRowTest, FactoryCode) {
  EXPECT_EQ(LayoutOf(GetParam().model).default_key_codes[GetParam().index], GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Kb3, KeyLayoutRowTest,
    ::testing::Values(
        PositionRow{Model::KB_3, 4, 0x0600'00E1}, PositionRow{Model::KB_3, 5, 0x0600'00E0},
        PositionRow{Model::KB_3, 9, 0x0000'0004}, PositionRow{Model::KB_3, 10, 0x0000'0064},
        PositionRow{Model::KB_3, 11, 0x0200'000A}, PositionRow{Model::KB_3, 12, 0x0000'003A},
        PositionRow{Model::KB_3, 17, 0x0600'00E2}, PositionRow{Model::KB_3, 23, X},
        PositionRow{Model::KB_3, 41, 0x0200'000B}, PositionRow{Model::KB_3, 46, 0x0000'0011},
        PositionRow{Model::KB_3, 54, 0x0000'0041}, PositionRow{Model::KB_3, 60, 0x0200'0000},
        PositionRow{Model::KB_3, 65, 0x0600'00E6}, PositionRow{Model::KB_3, 75, 0x0000'0031},
        PositionRow{Model::KB_3, 76, X}, PositionRow{Model::KB_3, 77, 0x0000'0065},
        PositionRow{Model::KB_3, 83, 0x0600'00E4}, PositionRow{Model::KB_3, 84, 0x0000'0046},
        PositionRow{Model::KB_3, 86, 0x0200'0007}, PositionRow{Model::KB_3, 89, 0x0000'0050},
        PositionRow{Model::KB_3, 94, 0x0000'0052}, PositionRow{Model::KB_3, 101, 0x0000'004F},
        PositionRow{Model::KB_3, 102, 0x0400'00B7}, PositionRow{Model::KB_3, 107, 0x0000'0062},
        PositionRow{Model::KB_3, 108, 0x0400'00B6}, PositionRow{Model::KB_3, 113, X},
        PositionRow{Model::KB_3, 114, 0x0400'00CD}, PositionRow{Model::KB_3, 119, 0x0000'0063},
        PositionRow{Model::KB_3, 120, 0x0400'00B5}, PositionRow{Model::KB_3, 124, 0x0000'0058},
        PositionRow{Model::KB_3, 126, X}, PositionRow{Model::KB_3, 130, 0x0400'00EA},
        PositionRow{Model::KB_3, 131, 0x0400'00E9}));

INSTANTIATE_TEST_SUITE_P(
    Kb4, KeyLayoutRowTest,
    ::testing::Values(
        PositionRow{Model::KB_4, 12, 0x0200'0013}, PositionRow{Model::KB_4, 18, 0x0200'0012},
        PositionRow{Model::KB_4, 54, 0x0200'000C}, PositionRow{Model::KB_4, 75, X},
        PositionRow{Model::KB_4, 76, 0x0000'0031}, PositionRow{Model::KB_4, 87, 0x0E00'0029},
        PositionRow{Model::KB_4, 93, 0x0E00'0037}, PositionRow{Model::KB_4, 102, X},
        PositionRow{Model::KB_4, 124, 0x0C00'0100}, PositionRow{Model::KB_4, 125, 0x0C00'0200},
        PositionRow{Model::KB_4, 130, 0x0400'00E9}, PositionRow{Model::KB_4, 131, 0x0400'00EA}));

struct FnRow {
  Model model;
  int slot;
  KeyCode own_code;
  KeyCode fn_function;
};

class FnSlotRowTest : public ::testing::TestWithParam<FnRow> {};

TEST_P(FnSlotRowTest, FactoryCodes) {
  const KeyLayout& layout = LayoutOf(GetParam().model);
  EXPECT_EQ(layout.default_fn_key_codes[GetParam().slot], GetParam().own_code);
  EXPECT_EQ(layout.default_fn_functions[GetParam().slot], GetParam().fn_function);
}

std::vector<FnRow> SharedFnRows(Model model) {
  return {{model, 0, 0x0000'0042, 0x0400'0223},  {model, 1, 0x0000'0043, 0x0400'018A},
          {model, 2, 0x0000'0044, 0x0E00'0002},  {model, 3, 0x0000'0045, 0x0400'0192},
          {model, 4, 0x0000'0049, 0x0D00'0100},  {model, 5, 0x0000'004A, 0x0E00'0029},
          {model, 6, 0x0000'004B, 0x0C00'0100},  {model, 7, 0x0000'004C, 0x0D00'0200},
          {model, 8, 0x0000'004D, 0x0B00'0300},  {model, 9, 0x0000'004E, 0x0C00'0200},
          {model, 10, 0x0600'00E3, 0x0E00'0001}, {model, 11, 0x0000'002C, 0x0E00'001A}};
}

INSTANTIATE_TEST_SUITE_P(Kb3, FnSlotRowTest, ::testing::ValuesIn(SharedFnRows(Model::KB_3)));
INSTANTIATE_TEST_SUITE_P(Kb4Shared, FnSlotRowTest, ::testing::ValuesIn(SharedFnRows(Model::KB_4)));
INSTANTIATE_TEST_SUITE_P(
    Kb4Own, FnSlotRowTest,
    ::testing::Values(FnRow{Model::KB_4, 12, 0x0000'0041, 0x0400'00B5},
                      FnRow{Model::KB_4, 13, 0x0000'0040, 0x0400'00B7},
                      FnRow{Model::KB_4, 14, 0x0000'003F, 0x0400'00B6},
                      FnRow{Model::KB_4, 15, 0x0000'003E, 0x0400'00CD},
                      FnRow{Model::KB_4, 16, 0x0000'003D, 0x0400'00E2},
                      FnRow{Model::KB_4, 17, 0x0000'003C, 0x0400'00E9},
                      FnRow{Model::KB_4, 18, 0x0000'003B, 0x0400'00EA},
                      FnRow{Model::KB_4, 19, 0x0000'003A, 0x0400'0183},
                      FnRow{Model::KB_4, 20, X, X}, FnRow{Model::KB_4, 31, X, X},
                      FnRow{Model::KB_4, 32, 0x0000'0029, X}, FnRow{Model::KB_4, 55, X, X},
                      FnRow{Model::KB_3, 12, X, X}, FnRow{Model::KB_3, 55, X, X}));

// The column lists run through the letters and digits of a US keyboard row by row; checking
// the main block against those rows catches a transposed pair.
TEST(KeyLayoutTest, MainBlockRowsSpellTheUsKeyboard) {
  struct Row {
    int row;
    int first_column;
    std::vector<std::uint8_t> usages;
  };
  const Row rows[] = {
      {1, 1, {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D, 0x2E}},  // 1..0 - =
      {2, 1, {0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30}},  // Q..P [ ]
      {3, 1, {0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34}},        // A..L ; '
      {4, 2, {0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38}},  // Z..M , . /
  };
  for (Model model : {Model::KB_3, Model::KB_4}) {
    for (const Row& r : rows) {
      for (std::size_t i = 0; i < r.usages.size(); ++i) {
        const int index = KeyIndexAt(r.first_column + static_cast<int>(i), r.row);
        EXPECT_EQ(LayoutOf(model).default_key_codes[index], KeyboardCode(r.usages[i]))
            << "row " << r.row << " column " << r.first_column + i;
      }
    }
  }
}

TEST(KeyLayoutTest, Kb3TopRowHoldsF1ToF8ThenFnSlotsForF9ToF12) {
  const KeyLayout& layout = LayoutOf(Model::KB_3);
  for (int column = 2; column <= 9; ++column)
    EXPECT_EQ(layout.default_key_codes[KeyIndexAt(column, 0)],
              KeyboardCode(static_cast<std::uint8_t>(0x3A + column - 2)));
  for (int column = 10; column <= 13; ++column)
    EXPECT_EQ(layout.default_key_codes[KeyIndexAt(column, 0)],
              FnSlotCode(static_cast<std::uint8_t>(column - 10)));
}

TEST(KeyLayoutTest, Kb4TopRowNamesSlots19DownTo12) {
  const KeyLayout& layout = LayoutOf(Model::KB_4);
  for (int column = 2; column <= 9; ++column)
    EXPECT_EQ(layout.default_key_codes[KeyIndexAt(column, 0)],
              FnSlotCode(static_cast<std::uint8_t>(21 - column)));
}

}  // namespace
}  // namespace kb
