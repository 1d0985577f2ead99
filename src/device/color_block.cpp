// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/color_block.h"

namespace kb {

static_assert(kColorSetGreen + kKeyCount == kColorSetSize);
static_assert(kColorSetSize * kCustomColorSets == kColorHalfPadding);
static_assert(2 * kColorHalfSize == kColorBlockSize);

ColorBlock BuildColorBlock(const ProfileRecord& record) {
  const ProfileBank& bank = ActiveBank(record);
  ColorBlock block{};
  for (std::size_t half = 0; half < 2; ++half) {
    for (std::size_t set = 0; set < kCustomColorSets; ++set) {
      std::uint8_t* out = &block[half * kColorHalfSize + set * kColorSetSize];
      for (std::size_t key = 0; key < kKeyCount; ++key) {
        const std::int32_t color = bank.custom_colors[set][key];
        out[kColorSetBlue + key] = static_cast<std::uint8_t>((color >> 16) & 0xFF);
        out[kColorSetRed + key] = static_cast<std::uint8_t>(color & 0xFF);
        out[kColorSetGreen + key] = static_cast<std::uint8_t>((color >> 8) & 0xFF);
      }
    }
  }
  return block;
}

}  // namespace kb
