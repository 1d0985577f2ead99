// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/lighting_block.h"

#include <algorithm>

namespace kb {

const std::array<std::uint8_t, kLightingTemplateSize> kLightingTemplate = {
    0x02, 0x00, 0x00, 0x01, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00,  //
    0x05, 0x01, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,  //
    0xFF, 0xFF, 0x00, 0x00, 0x09, 0x05, 0x09, 0x05, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  //
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

namespace {

std::uint8_t Low8(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t RedOf(std::int32_t packed) { return Low8(packed); }
std::uint8_t GreenOf(std::int32_t packed) { return Low8(packed >> 8); }
std::uint8_t BlueOf(std::int32_t packed) { return Low8(packed >> 16); }

template <std::size_t N>
void Put(LightingBlock& block, std::size_t at, const std::array<std::uint8_t, N>& bytes) {
  std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
}

void WriteSlot(const ProfileBank& bank, int mode, std::uint8_t* slot) {
  const std::int32_t color = bank.light_color[mode];
  slot[kSlotColorMode] = Low8(bank.light_color_mode[mode]);
  slot[kSlotBrightness] = Low8(bank.light_brightness[mode] + kSentBrightnessBias);
  slot[kSlotSpeed] = Low8(bank.light_speed[mode]);
  slot[kSlotBlue] = SlotBlue(color);
  slot[kSlotRed] = RedOf(color);
  slot[kSlotGreen] = GreenOf(color);
  slot[kSlotAux1] = bank.light_aux1[mode];
  slot[kSlotAux2] = bank.light_aux2[mode];
  slot[kSlotAux3] = bank.light_aux3[mode];
}

}  // namespace

std::uint8_t SlotBlue(std::int32_t packed_color) {
  const int blue = BlueOf(packed_color);
  if (RedOf(packed_color) > kSlotBlueScaleAbove || GreenOf(packed_color) > kSlotBlueScaleAbove) {
    return static_cast<std::uint8_t>(blue * kSlotBlueScaleNumerator / kSlotBlueScaleDenominator);
  }
  return static_cast<std::uint8_t>(blue);
}

LightingBlock BuildLightingBlock(const ProfileRecord& record) {
  const ProfileBank& bank = ActiveBank(record);
  LightingBlock block{};
  // The bank whose settings follow, also when the record holds a value other than 0 or 1.
  block[kLightingActiveBank] = static_cast<std::uint8_t>(ActiveBankIndex(record));
  block[kLightingFixed3] = kLightingFixed3Value;
  Put(block, kLightingSignature, kLightingSignatureBytes);

  std::copy(kLightingTemplate.begin(), kLightingTemplate.end(), block.begin() + kLightingHalfStart);
  for (int mode = 0; mode < kLightingSlotCount; ++mode) {
    WriteSlot(bank, mode,
              &block[kLightingModeSlots + kLightingSlotSize * static_cast<std::size_t>(mode)]);
  }
  block[kLightingCustomBrightness] =
      Low8(bank.light_brightness[kPerKeyLightMode] + kSentBrightnessBias);
  Put(block, kLightingFixed4, kLightingFixed4Bytes);

  // The second half repeats the first before the mode bytes go in: it keeps the template's.
  std::copy(block.begin() + kLightingHalfStart, block.begin() + kLightingHalfEnd,
            block.begin() + kLightingSecondHalf);

  const int mode = bank.light_mode;
  const bool builtin = mode >= 0 && mode < kLightingSlotCount;
  const bool off = mode == kLightsOffMode;
  block[kLightingModeFlag] = (!builtin && !off) ? 1 : 0;
  block[kLightingModeNumber] = builtin ? static_cast<std::uint8_t>(mode + 1) : 0;
  block[kLightingModeZero] = 0;

  Put(block, kLightingTrailer, kLightingTrailerBytes);
  return block;
}

}  // namespace kb
