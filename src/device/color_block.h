// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 4096-byte colour upload (command 0x03, eight pieces of 512): the five per-key colour sets
// of the active bank, twice.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/device_protocol.h"
#include "profile/profile_record.h"

namespace kb {

inline constexpr std::size_t kColorBlockSize = 4096;
inline constexpr std::size_t kColorHalfSize = 2048;
inline constexpr std::size_t kColorSetSize = 396;  // 132 blue, 132 red, 132 green
inline constexpr std::size_t kColorSetBlue = 0;
inline constexpr std::size_t kColorSetRed = 132;
inline constexpr std::size_t kColorSetGreen = 264;
inline constexpr std::size_t kColorHalfPadding = 1980;  // 1980..2047 of each half stay zero
inline constexpr int kColorPieces = static_cast<int>(kColorBlockSize / kBlockTransferSize);

using ColorBlock = std::array<std::uint8_t, kColorBlockSize>;

ColorBlock BuildColorBlock(const ProfileRecord& record);

}  // namespace kb
