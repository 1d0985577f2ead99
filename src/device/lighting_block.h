// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 512-byte lighting upload (command 0x01): the active bank's settings of every light mode.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/device_protocol.h"
#include "profile/profile_record.h"

namespace kb {

using LightingBlock = std::array<std::uint8_t, kBlockTransferSize>;

inline constexpr std::size_t kLightingActiveBank = 0;
inline constexpr std::size_t kLightingFixed3 = 3;      // always 3
inline constexpr std::size_t kLightingSignature = 14;  // 0x5A, 0xA5
inline constexpr std::size_t kLightingHalfStart = 16;  // first half: 16..255
inline constexpr std::size_t kLightingTemplateSize = 60;
inline constexpr std::size_t kLightingModeFlag = 18;    // 1 for per-key mode (or a stray mode)
inline constexpr std::size_t kLightingModeNumber = 19;  // built-in effect + 1
inline constexpr std::size_t kLightingModeZero = 20;
inline constexpr std::size_t kLightingModeSlots = 76;
inline constexpr std::size_t kLightingSlotSize = 9;
inline constexpr int kLightingSlotCount = 18;                  // modes 0..17
inline constexpr std::size_t kLightingCustomBrightness = 247;  // mode 18's brightness + 1
inline constexpr std::size_t kLightingFixed4 = 248;            // 4, 4
inline constexpr std::size_t kLightingHalfEnd = 256;
inline constexpr std::size_t kLightingSecondHalf = 256;  // bytes 16..255 again, 256..495
inline constexpr std::size_t kLightingTrailer = 509;     // 0x02, 0x5A, 0xA5

// Mode slot fields.
inline constexpr std::size_t kSlotColorMode = 0;
inline constexpr std::size_t kSlotBrightness = 1;
inline constexpr std::size_t kSlotSpeed = 2;
inline constexpr std::size_t kSlotBlue = 3;
inline constexpr std::size_t kSlotRed = 4;
inline constexpr std::size_t kSlotGreen = 5;
inline constexpr std::size_t kSlotAux1 = 6;
inline constexpr std::size_t kSlotAux2 = 7;
inline constexpr std::size_t kSlotAux3 = 8;

// Fixed contents, sent exactly so.
inline constexpr std::uint8_t kLightingFixed3Value = 3;
inline constexpr std::array<std::uint8_t, 2> kLightingSignatureBytes = {0x5A, 0xA5};
inline constexpr std::array<std::uint8_t, 2> kLightingFixed4Bytes = {4, 4};
inline constexpr std::array<std::uint8_t, 3> kLightingTrailerBytes = {0x02, 0x5A, 0xA5};
// The keyboard counts brightness from 1; the record from 0.
inline constexpr int kSentBrightnessBias = 1;

inline constexpr int kPerKeyLightMode = 18;
inline constexpr int kLightsOffMode = 19;

// Blue is toned down in a mode slot when red or green is strong; the colour block is not.
inline constexpr int kSlotBlueScaleAbove = 100;
inline constexpr int kSlotBlueScaleNumerator = 6;
inline constexpr int kSlotBlueScaleDenominator = 10;

// The 60 bytes at 16..75 and at 256..315, before the mode bytes are written into the first copy.
extern const std::array<std::uint8_t, kLightingTemplateSize> kLightingTemplate;

// The slot's blue byte for a packed colour: scaled when red or green is above 100.
std::uint8_t SlotBlue(std::int32_t packed_color);

LightingBlock BuildLightingBlock(const ProfileRecord& record);

}  // namespace kb
