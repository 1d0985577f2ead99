// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/color_block.h"

#include <gtest/gtest.h>

#include <set>

#include "device/device_test_profiles.h"

namespace kb {
namespace {

using test::DefaultProfile;

std::size_t At(std::size_t half, std::size_t set, std::size_t channel, std::size_t key) {
  return half * kColorHalfSize + set * kColorSetSize + channel + key;
}

TEST(ColorBlock, DefaultOrangeKeysInSetZeroOfBothHalves) {
  const auto record = DefaultProfile();
  const ColorBlock block = BuildColorBlock(*record);
  const std::set<std::size_t> orange{46, 67, 68, 69, 103, 124, 125, 126};
  for (std::size_t half = 0; half < 2; ++half) {
    for (std::size_t key = 0; key < kKeyCount; ++key) {
      const bool lit = orange.contains(key);
      EXPECT_EQ(block[At(half, 0, kColorSetBlue, key)], 0) << key;
      EXPECT_EQ(block[At(half, 0, kColorSetRed, key)], lit ? 255 : 0) << key;
      EXPECT_EQ(block[At(half, 0, kColorSetGreen, key)], lit ? 64 : 0) << key;
    }
  }
  std::size_t nonzero = 0;
  for (std::uint8_t b : block) nonzero += b != 0;
  EXPECT_EQ(nonzero, 2u * 8u * 2u) << "only red and green of the eight keys, twice";
}

TEST(ColorBlock, EverySetAndChannelAtItsOffsetPaddingZero) {
  auto record = DefaultProfile();
  for (std::size_t set = 0; set < kCustomColorSets; ++set) {
    for (std::size_t key = 0; key < kKeyCount; ++key) {
      record->banks[0].custom_colors[set][key] =
          static_cast<std::int32_t>(((set + 1) << 16) | ((key & 0x7F) << 8) | (0x80 | set));
    }
  }
  const ColorBlock block = BuildColorBlock(*record);
  for (std::size_t half = 0; half < 2; ++half) {
    for (std::size_t set = 0; set < kCustomColorSets; ++set) {
      for (std::size_t key = 0; key < kKeyCount; ++key) {
        ASSERT_EQ(block[At(half, set, kColorSetBlue, key)], set + 1);
        ASSERT_EQ(block[At(half, set, kColorSetRed, key)], 0x80 | set);
        ASSERT_EQ(block[At(half, set, kColorSetGreen, key)], key & 0x7F);
      }
    }
    for (std::size_t i = kColorHalfPadding; i < kColorHalfSize; ++i)
      EXPECT_EQ(block[half * kColorHalfSize + i], 0);
  }
}

TEST(ColorBlock, SentUnscaledAndFromTheActiveBank) {
  auto record = DefaultProfile();
  record->active_bank = 1;
  record->banks[1].custom_colors[0][5] =
      (100 << 16) | (0 << 8) | 200;  // red 200, green 0, blue 100
  record->banks[0].custom_colors[0][5] = 0x010203;
  const ColorBlock block = BuildColorBlock(*record);
  for (std::size_t half = 0; half < 2; ++half) {
    EXPECT_EQ(block[At(half, 0, kColorSetBlue, 5)], 100);
    EXPECT_EQ(block[At(half, 0, kColorSetRed, 5)], 200);
    EXPECT_EQ(block[At(half, 0, kColorSetGreen, 5)], 0);
    // Bank 1 of a new profile has its own orange keys.
    EXPECT_EQ(block[At(half, 0, kColorSetRed, 46)], 255);
  }
}

}  // namespace
}  // namespace kb
