// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One macro as the keyboard runs it: a loop count, the actions with their delays, an end mark.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "macro/macro_record.h"

namespace kb {

inline constexpr std::size_t kProgramLoopsSize = 2;    // 16-bit big-endian
inline constexpr std::size_t kProgramEndMarkSize = 2;  // 00 00

// Pointer moves: 00 02 X Y, delay, 00; a long delay adds 00 01 and delay div 100 (big-endian).
inline constexpr std::uint8_t kMoveOpcodeHigh = 0x00;
inline constexpr std::uint8_t kMoveOpcodeLow = 0x02;
inline constexpr int kMoveShortDelayMax = 255;
// Key and button actions: (delay OR flag), code; a long delay adds 00 01 and delay div 100.
inline constexpr std::uint8_t kPressFlag = 0x01;
inline constexpr std::uint8_t kReleaseFlag = 0x81;
// Bit 7 of the first byte is the release flag, so a press may carry at most 127 in it: a press
// of delay 128 in the short form would read as a release. From 128 on the long form is used.
inline constexpr int kKeyShortDelayMax = 127;
inline constexpr std::uint8_t kLongDelayHigh = 0x00;
inline constexpr std::uint8_t kLongDelayLow = 0x01;
inline constexpr int kLongDelayUnit = 100;
inline constexpr std::uint8_t kMoveDistanceSign = 0x80;

inline constexpr std::uint8_t kActionMove = 0;
inline constexpr std::uint8_t kActionPress = 1;

// The program bytes of `macro`, repeated `loops` times (a key's macro_loops, low 16 bits).
// action_count is clamped into 0..3000 so that a damaged record never reads past its actions.
std::vector<std::uint8_t> EncodeMacroProgram(const MacroRecord& macro, std::int32_t loops);

// One action's bytes, appended to `out`.
void AppendMacroAction(const MacroAction& action, std::vector<std::uint8_t>& out);

}  // namespace kb
