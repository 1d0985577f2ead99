// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual_key_map.h"

#include <array>
#include <utility>

namespace kb::hook {
namespace {

// Evdev codes (linux/input-event-codes.h) and the Windows VK_* values of the same keys.
// clang-format off
constexpr std::pair<unsigned, std::uint8_t> kEvdevToVirtualKey[] = {
    {1, 0x1B},                                                  // Esc
    {2, 0x31}, {3, 0x32}, {4, 0x33}, {5, 0x34}, {6, 0x35},      // 1..5
    {7, 0x36}, {8, 0x37}, {9, 0x38}, {10, 0x39}, {11, 0x30},    // 6..9, 0
    {12, 0xBD}, {13, 0xBB},                                     // - =
    {14, 0x08}, {15, 0x09},                                     // Backspace, Tab
    {16, 'Q'}, {17, 'W'}, {18, 'E'}, {19, 'R'}, {20, 'T'},
    {21, 'Y'}, {22, 'U'}, {23, 'I'}, {24, 'O'}, {25, 'P'},
    {26, 0xDB}, {27, 0xDD},                                     // [ ]
    {28, 0x0D},                                                 // Enter
    {29, 0xA2},                                                 // Left Ctrl
    {30, 'A'}, {31, 'S'}, {32, 'D'}, {33, 'F'}, {34, 'G'},
    {35, 'H'}, {36, 'J'}, {37, 'K'}, {38, 'L'},
    {39, 0xBA}, {40, 0xDE}, {41, 0xC0},                         // ; ' `
    {42, 0xA0},                                                 // Left Shift
    {43, 0xDC},                                                 // backslash
    {44, 'Z'}, {45, 'X'}, {46, 'C'}, {47, 'V'}, {48, 'B'}, {49, 'N'}, {50, 'M'},
    {51, 0xBC}, {52, 0xBE}, {53, 0xBF},                         // , . /
    {54, 0xA1},                                                 // Right Shift
    {55, 0x6A},                                                 // keypad *
    {56, 0xA4},                                                 // Left Alt
    {57, 0x20},                                                 // Space
    {58, 0x14},                                                 // Caps Lock
    {59, 0x70}, {60, 0x71}, {61, 0x72}, {62, 0x73}, {63, 0x74}, // F1..F5
    {64, 0x75}, {65, 0x76}, {66, 0x77}, {67, 0x78}, {68, 0x79}, // F6..F10
    {69, 0x90}, {70, 0x91},                                     // Num Lock, Scroll Lock
    {71, 0x67}, {72, 0x68}, {73, 0x69},                         // keypad 7 8 9
    {74, 0x6D},                                                 // keypad -
    {75, 0x64}, {76, 0x65}, {77, 0x66},                         // keypad 4 5 6
    {78, 0x6B},                                                 // keypad +
    {79, 0x61}, {80, 0x62}, {81, 0x63},                         // keypad 1 2 3
    {82, 0x60}, {83, 0x6E},                                     // keypad 0 .
    {86, 0xE2},                                                 // the extra key of ISO boards
    {87, 0x7A}, {88, 0x7B},                                     // F11, F12
    {89, 0xC1},                                                 // Ro (Brazilian / Japanese)
    {92, 0x1C}, {94, 0x1D},                                     // Henkan, Muhenkan
    {96, 0x0D},                                                 // keypad Enter
    {97, 0xA3},                                                 // Right Ctrl
    {98, 0x6F},                                                 // keypad /
    {99, 0x2C},                                                 // Print Screen
    {100, 0xA5},                                                // Right Alt
    {102, 0x24}, {103, 0x26}, {104, 0x21},                      // Home, Up, Page Up
    {105, 0x25}, {106, 0x27},                                   // Left, Right
    {107, 0x23}, {108, 0x28}, {109, 0x22},                      // End, Down, Page Down
    {110, 0x2D}, {111, 0x2E},                                   // Insert, Delete
    {113, 0xAD}, {114, 0xAE}, {115, 0xAF},                      // Mute, Volume Down, Up
    {119, 0x13},                                                // Pause
    {122, 0x15}, {123, 0x19},                                   // Hangul, Hanja
    {125, 0x5B}, {126, 0x5C}, {127, 0x5D},                      // Left Win, Right Win, Menu
    {128, 0xA9},                                                // browser Stop
    {140, 0xB7},                                                // Calculator
    {142, 0x5F},                                                // Sleep
    {155, 0xB4},                                                // Mail
    {156, 0xAB},                                                // browser Favourites
    {158, 0xA6}, {159, 0xA7},                                   // browser Back, Forward
    {163, 0xB0}, {164, 0xB3}, {165, 0xB1}, {166, 0xB2},         // Next, Play/Pause, Prev, Stop
    {172, 0xAC}, {173, 0xA8},                                   // browser Home, Refresh
    {183, 0x7C}, {184, 0x7D}, {185, 0x7E}, {186, 0x7F},         // F13..F16
    {187, 0x80}, {188, 0x81}, {189, 0x82}, {190, 0x83},         // F17..F20
    {191, 0x84}, {192, 0x85}, {193, 0x86}, {194, 0x87},         // F21..F24
    {217, 0xAA},                                                // browser Search
};
// clang-format on

constexpr unsigned kHighestCode = 255;
constexpr unsigned kX11KeycodeOffset = 8;

constexpr std::array<std::uint8_t, kHighestCode + 1> BuildTable() {
  std::array<std::uint8_t, kHighestCode + 1> table{};
  for (const auto& [code, vk] : kEvdevToVirtualKey) table[code] = vk;
  return table;
}

constexpr auto kTable = BuildTable();

}  // namespace

std::uint8_t VirtualKeyFromEvdev(unsigned evdev_code) {
  return evdev_code <= kHighestCode ? kTable[evdev_code] : 0;
}

std::uint8_t VirtualKeyFromX11Keycode(unsigned keycode) {
  return keycode < kX11KeycodeOffset ? 0 : VirtualKeyFromEvdev(keycode - kX11KeycodeOffset);
}

}  // namespace kb::hook
