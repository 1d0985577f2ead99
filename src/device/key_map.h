// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 2048-byte key map upload (command 0x02, four pages of 512): both banks' key and Fn-layer
// codes as little-endian words, with macro-bound keys pointing into the macro area.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/device_protocol.h"
#include "profile/profile_record.h"

namespace kb {

inline constexpr std::size_t kKeyMapSize = 2048;
inline constexpr std::size_t kKeyMapBankSize = 1024;
inline constexpr std::size_t kKeyMapWordSize = 4;
inline constexpr std::size_t kKeyMapKeyWords = 0;       // 132 words from keys[].code
inline constexpr std::size_t kKeyMapFnWords = 528;      // 56 words from fn_keys[].code
inline constexpr std::size_t kKeyMapFn2Words = 752;     // 56 words from fn_keys[].code2
inline constexpr std::size_t kKeyMapBankPadding = 976;  // 976..1023 stay zero
inline constexpr int kKeyMapPages = static_cast<int>(kKeyMapSize / kBlockTransferSize);

// The code word of a macro-bound key: where its program lies, its repeat mode, and the code's
// type byte.
inline constexpr std::size_t kMacroWordOffsetHigh = 0;
inline constexpr std::size_t kMacroWordOffsetLow = 1;
inline constexpr std::size_t kMacroWordRepeatMode = 2;
inline constexpr std::size_t kMacroWordCodeType = 3;

using KeyMap = std::array<std::uint8_t, kKeyMapSize>;

// The word an entry's code travels as (little-endian; the record holds it big-endian).
std::array<std::uint8_t, kKeyMapWordSize> CodeWord(const KeyEntry& entry);

// Build after the macro area, so that bound keys carry this apply's offsets.
KeyMap BuildKeyMap(const ProfileRecord& record);

}  // namespace kb
