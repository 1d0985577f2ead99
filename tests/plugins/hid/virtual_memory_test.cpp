// SPDX-License-Identifier: GPL-3.0-or-later
// Colour pieces and key map pages land where the protocol's tables put them, in both banks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plugins/hid/virtual_keyboard_fixture.h"

namespace kb::test {
namespace {

using ::testing::HasSubstr;

// Colour block: per half (bank), set s at 396 s: 132 blue, 132 red, 132 green bytes.
constexpr size_t kColorHalf = 2048;
constexpr size_t kColorSet = 396;
constexpr size_t kColorRun = 132;
constexpr size_t kColorUsed = 1980;

// Key map: per bank 1024 bytes: 132 key words, 56 fn words at 528, 56 fn2 words at 752.
constexpr size_t kKeyMapBank = 1024;
constexpr size_t kFnWords = 528;
constexpr size_t kFn2Words = 752;
constexpr size_t kKeyMapUsed = 976;

uint8_t ColorByte(size_t bank, size_t set, size_t channel, size_t key) {
  return static_cast<uint8_t>(1 + bank * 101 + set * 37 + channel * 13 + key);
}

std::vector<uint8_t> ColorBlock() {
  std::vector<uint8_t> block(2 * kColorHalf, 0);
  for (size_t h = 0; h < 2; ++h)
    for (size_t s = 0; s < 5; ++s)
      for (size_t c = 0; c < 3; ++c)
        for (size_t k = 0; k < kColorRun; ++k)
          block[h * kColorHalf + s * kColorSet + c * kColorRun + k] = ColorByte(h, s, c, k);
  return block;
}

PageBytes Piece(const std::vector<uint8_t>& block, size_t index) {
  PageBytes page{};
  std::memcpy(page.data(), block.data() + index * kPageBytes, kPageBytes);
  return page;
}

TEST_F(VirtualKeyboardTest, ColourPiecesFillBothBanksSets) {
  std::vector<uint8_t> block = ColorBlock();
  Begin();
  for (uint8_t p = 0; p < 8; ++p) Upload(kColor, p, Piece(block, p));
  Begin();
  End();
  EXPECT_TRUE(Violations().empty());
  auto state = State();
  EXPECT_EQ(state->counters.color_pieces, 8u);
  for (size_t b = 0; b < 2; ++b)
    for (size_t s = 0; s < 5; ++s)
      for (size_t k = 0; k < kColorRun; ++k) {
        const vkb_color_set& set = state->banks[b].colors[s];
        ASSERT_EQ(set.blue[k], ColorByte(b, s, 0, k)) << b << "/" << s << "/" << k;
        ASSERT_EQ(set.red[k], ColorByte(b, s, 1, k)) << b << "/" << s << "/" << k;
        ASSERT_EQ(set.green[k], ColorByte(b, s, 2, k)) << b << "/" << s << "/" << k;
      }
}

TEST_F(VirtualKeyboardTest, ColourPieceWithBytesPastTheSetsIsRefused) {
  std::vector<uint8_t> block = ColorBlock();
  block[kColorHalf + kColorUsed + 3] = 0x77;  // inside piece 7
  Begin();
  Upload(kColor, 7, Piece(block, 7));
  std::vector<std::string> lines = Violations();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("colour piece 7 byte 447 is 0x77"));
  EXPECT_EQ(State()->counters.color_pieces, 0u);
}

uint32_t KeyWord(size_t bank, size_t area, size_t i) {
  return 0x02000000u | static_cast<uint32_t>(bank << 20) | static_cast<uint32_t>(area << 16) |
         static_cast<uint32_t>(i * 3);
}

void PutWord(std::vector<uint8_t>& map, size_t offset, uint32_t word) {
  for (size_t i = 0; i < 4; ++i) map[offset + i] = static_cast<uint8_t>(word >> (8 * i));
}

std::vector<uint8_t> KeyMap() {
  std::vector<uint8_t> map(2 * kKeyMapBank, 0);
  for (size_t b = 0; b < 2; ++b) {
    size_t base = b * kKeyMapBank;
    for (size_t k = 0; k < 132; ++k) PutWord(map, base + 4 * k, KeyWord(b, 0, k));
    for (size_t f = 0; f < 56; ++f) {
      PutWord(map, base + kFnWords + 4 * f, KeyWord(b, 1, f));
      PutWord(map, base + kFn2Words + 4 * f, KeyWord(b, 2, f));
    }
  }
  return map;
}

TEST_F(VirtualKeyboardTest, KeyMapPagesFillBothBanksWords) {
  std::vector<uint8_t> map = KeyMap();
  Begin();
  for (uint8_t p = 0; p < 4; ++p) Upload(kKeyMap, p, Piece(map, p));
  Begin();
  End();
  EXPECT_TRUE(Violations().empty());
  auto state = State();
  EXPECT_EQ(state->counters.key_map_pages, 4u);
  for (size_t b = 0; b < 2; ++b) {
    for (size_t k = 0; k < 132; ++k)
      ASSERT_EQ(state->banks[b].key_words[k], KeyWord(b, 0, k)) << b << "/" << k;
    for (size_t f = 0; f < 56; ++f) {
      ASSERT_EQ(state->banks[b].fn_words[f], KeyWord(b, 1, f)) << b << "/" << f;
      ASSERT_EQ(state->banks[b].fn2_words[f], KeyWord(b, 2, f)) << b << "/" << f;
    }
  }
}

TEST_F(VirtualKeyboardTest, KeyMapWordIsLittleEndianOnTheWire) {
  PageBytes page{};
  const uint8_t wire[4] = {0x04, 0x00, 0x00,
                           0x02};  // code 0x02000004 stored big-endian in the record
  std::memcpy(page.data() + 4 * 5, wire, 4);
  Apply(kKeyMap, 2, page);
  EXPECT_EQ(State()->banks[1].key_words[5], 0x02000004u);
}

TEST_F(VirtualKeyboardTest, KeyMapPageWithBytesPastTheWordsIsRefused) {
  std::vector<uint8_t> map = KeyMap();
  // The first byte past the words of each bank.
  map[kKeyMapBank + kKeyMapUsed] = 0x01;
  map[kKeyMapUsed] = 0x01;
  Begin();
  Upload(kKeyMap, 1, Piece(map, 1));
  Upload(kKeyMap, 3, Piece(map, 3));
  std::vector<std::string> lines = Violations();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_THAT(lines[0], HasSubstr("key map page 1 byte 464 is 0x01"));
  EXPECT_THAT(lines[1], HasSubstr("key map page 3 byte 464 is 0x01"));
  EXPECT_EQ(State()->counters.key_map_pages, 0u);
}

TEST_F(VirtualKeyboardTest, MacroPagesFillTheAreaAndAreCounted) {
  PageBytes first{};
  first.fill(0x31);
  PageBytes second{};
  second.fill(0x32);
  Begin();
  Upload(kMacro, 0, first);
  Upload(kMacro, 3, second);
  Begin();
  End();
  EXPECT_TRUE(Violations().empty());
  auto state = State();
  EXPECT_EQ(state->counters.macro_pages, 2u);
  EXPECT_EQ(state->macro_page_mask, 0b1001u);
  EXPECT_EQ(state->macro_area[0], 0x31);
  EXPECT_EQ(state->macro_area[511], 0x31);
  EXPECT_EQ(state->macro_area[512], 0x00);
  EXPECT_EQ(state->macro_area[3 * 512], 0x32);
  EXPECT_EQ(state->macro_area[4 * 512 - 1], 0x32);
}

TEST_F(VirtualKeyboardTest, LastMacroPageKeepsZeroPastTheTenThousandthByte) {
  constexpr size_t kAreaLimit = 10000;
  constexpr size_t kLastPage = 19;
  PageBytes page{};
  page[kAreaLimit - kLastPage * kPageBytes - 1] = 0x44;  // the area's last byte: fine
  Apply(kMacro, kLastPage, page);
  EXPECT_TRUE(Violations().empty());
  EXPECT_EQ(State()->macro_area[kAreaLimit - 1], 0x44);

  page[kAreaLimit - kLastPage * kPageBytes] = 0x45;
  Apply(kMacro, kLastPage, page);
  std::vector<std::string> lines = Violations();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_THAT(lines[0], HasSubstr("macro page 19 byte 272 is 0x45"));
}

}  // namespace
}  // namespace kb::test
