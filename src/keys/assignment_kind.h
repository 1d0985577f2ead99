// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The values of a KeyEntry's `kind`: how an assignment came about and how it is shown. The
// entry's code is what the keyboard executes; the kind only steers the program.

#include <cstdint>

namespace kb {

enum class AssignmentKind : std::uint8_t {
  Disabled = 0,       // code kNoFunction
  Shortcut = 16,      // code 0x0000'MMUU, kind_param = MM
  MacroBinding = 17,  // code kMacroCode, macro fields name the macro
  // No command makes these two, but records may hold them: the upload gives them a macro
  // offset like MacroBinding, without a program behind it.
  MacroOffset18 = 18,
  MacroOffset25 = 25,

  // Media commands; each stores one consumer code (MediaCommand4 stores 0).
  MediaConsumerControlConfig = 64,  // media command 9
  MediaPlayPause = 65,              // media command 5
  MediaStop = 66,                   // media command 3
  MediaPreviousTrack = 67,          // media command 2
  MediaNextTrack = 68,              // media command 1
  MediaVolumeUp = 69,               // media command 7
  MediaVolumeDown = 70,             // media command 8
  MediaMute = 71,                   // media command 6
  MediaCommand4 = 72,               // media command 4, code 0
  MediaHome = 80,                   // media command 14
  MediaBookmarks = 81,              // media command 19
  MediaForward = 82,                // media command 16
  MediaBack = 83,                   // media command 15
  MediaBrowserStop = 84,            // media command 17
  MediaRefresh = 85,                // media command 18
  MediaSearch = 86,                 // media command 13
  MediaEmail = 87,                  // media command 11
  MediaCalculator = 88,             // media command 10
  MediaLocalBrowser = 89,           // media command 12

  Default = 120,     // the key's factory code
  SingleKey = 121,   // code 0x0000'00UU
  FixedChord = 122,  // code 0x0000'0A72, KB_3 only
};

constexpr std::uint8_t KindByte(AssignmentKind kind) { return static_cast<std::uint8_t>(kind); }

constexpr bool IsMediaFunction(std::uint8_t kind) {
  return (kind >= 64 && kind <= 72) || (kind >= 80 && kind <= 89);
}

// Kinds that receive a device macro offset when key data is uploaded.
constexpr bool TakesDeviceMacroOffset(std::uint8_t kind) {
  return kind == KindByte(AssignmentKind::MacroBinding) ||
         kind == KindByte(AssignmentKind::MacroOffset18) ||
         kind == KindByte(AssignmentKind::MacroOffset25);
}

}  // namespace kb
