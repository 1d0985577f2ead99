// SPDX-License-Identifier: GPL-3.0-or-later
// KB_3: full size with a numeric keypad and four media keys above it; 12 Fn slots in use.

#include "keys/key_layout_tables.h"

namespace kb::layout_tables {
namespace {

constexpr KeyCode X = kNoFunction;

constexpr KeyLayout MakeKb3() {
  // clang-format off
  KeyLayout layout{
      .default_key_codes = {
          // Column 0: Esc, Grave, Tab, Caps Lock, Left Shift, Left Ctrl
          0x0000'0029, 0x0000'0035, 0x0000'002B, 0x0000'0039, 0x0600'00E1, 0x0600'00E0,
          // Column 1: -, 1, Q, A, Non-US Backslash, Fn slot 10
          X, 0x0000'001E, 0x0000'0014, 0x0000'0004, 0x0000'0064, 0x0200'000A,
          // Column 2: F1, 2, W, S, Z, Left Alt
          0x0000'003A, 0x0000'001F, 0x0000'001A, 0x0000'0016, 0x0000'001D, 0x0600'00E2,
          // Column 3: F2, 3, E, D, X, -
          0x0000'003B, 0x0000'0020, 0x0000'0008, 0x0000'0007, 0x0000'001B, X,
          // Column 4: F3, 4, R, F, C, -
          0x0000'003C, 0x0000'0021, 0x0000'0015, 0x0000'0009, 0x0000'0006, X,
          // Column 5: F4, 5, T, G, V, -
          0x0000'003D, 0x0000'0022, 0x0000'0017, 0x0000'000A, 0x0000'0019, X,
          // Column 6: F5, 6, Y, H, B, Fn slot 11
          0x0000'003E, 0x0000'0023, 0x0000'001C, 0x0000'000B, 0x0000'0005, 0x0200'000B,
          // Column 7: F6, 7, U, J, N, -
          0x0000'003F, 0x0000'0024, 0x0000'0018, 0x0000'000D, 0x0000'0011, X,
          // Column 8: F7, 8, I, K, M, -
          0x0000'0040, 0x0000'0025, 0x0000'000C, 0x0000'000E, 0x0000'0010, X,
          // Column 9: F8, 9, O, L, Comma, -
          0x0000'0041, 0x0000'0026, 0x0000'0012, 0x0000'000F, 0x0000'0036, X,
          // Column 10: Fn slot 0, 0, P, Semicolon, Period, Right Alt
          0x0200'0000, 0x0000'0027, 0x0000'0013, 0x0000'0033, 0x0000'0037, 0x0600'00E6,
          // Column 11: Fn slot 1, Minus, Left Bracket, Apostrophe, Slash, Fn key
          0x0200'0001, 0x0000'002D, 0x0000'002F, 0x0000'0034, 0x0000'0038, 0x2000'0000,
          // Column 12: Fn slot 2, Equal, Right Bracket, Backslash, -, Application
          0x0200'0002, 0x0000'002E, 0x0000'0030, 0x0000'0031, X, 0x0000'0065,
          // Column 13: Fn slot 3, Backspace, Backspace, Enter, Right Shift, Right Ctrl
          0x0200'0003, 0x0000'002A, 0x0000'002A, 0x0000'0028, 0x0600'00E5, 0x0600'00E4,
          // Column 14: Print Screen, Fn slot 4, Fn slot 7, -, -, Left
          0x0000'0046, 0x0200'0004, 0x0200'0007, X, X, 0x0000'0050,
          // Column 15: Scroll Lock, Fn slot 5, Fn slot 8, -, Up, Down
          0x0000'0047, 0x0200'0005, 0x0200'0008, X, 0x0000'0052, 0x0000'0051,
          // Column 16: Pause, Fn slot 6, Fn slot 9, -, -, Right
          0x0000'0048, 0x0200'0006, 0x0200'0009, X, X, 0x0000'004F,
          // Column 17: Stop, Num Lock, Keypad 7, Keypad 4, Keypad 1, Keypad 0
          0x0400'00B7, 0x0000'0053, 0x0000'005F, 0x0000'005C, 0x0000'0059, 0x0000'0062,
          // Column 18: Scan Previous Track, Keypad Slash, Keypad 8, Keypad 5, Keypad 2, -
          0x0400'00B6, 0x0000'0054, 0x0000'0060, 0x0000'005D, 0x0000'005A, X,
          // Column 19: Play/Pause, Keypad Asterisk, Keypad 9, Keypad 6, Keypad 3, Keypad Period
          0x0400'00CD, 0x0000'0055, 0x0000'0061, 0x0000'005E, 0x0000'005B, 0x0000'0063,
          // Column 20: Scan Next Track, Keypad Minus, -, Keypad Plus, Keypad Enter, -
          0x0400'00B5, 0x0000'0056, X, 0x0000'0057, 0x0000'0058, X,
          // Column 21: -, -, -, -, Volume Decrement, Volume Increment
          X, X, X, X, 0x0400'00EA, 0x0400'00E9,
      },
      .default_fn_key_codes = {},
      .default_fn_functions = {},
  };
  // clang-format on
  FillFnSlots(layout, {
                          {0, 0x0000'0042 /* F9 */, 0x0400'0223 /* AC Home */},
                          {1, 0x0000'0043 /* F10 */, 0x0400'018A /* AL Email Reader */},
                          {2, 0x0000'0044 /* F11 */, 0x0E00'0002},
                          {3, 0x0000'0045 /* F12 */, 0x0400'0192 /* AL Calculator */},
                          {4, 0x0000'0049 /* Insert */, 0x0D00'0100},
                          {5, 0x0000'004A /* Home */, 0x0E00'0029},
                          {6, 0x0000'004B /* Page Up */, 0x0C00'0100},
                          {7, 0x0000'004C /* Delete */, 0x0D00'0200},
                          {8, 0x0000'004D /* End */, 0x0B00'0300},
                          {9, 0x0000'004E /* Page Down */, 0x0C00'0200},
                          {10, 0x0600'00E3 /* Left GUI */, 0x0E00'0001},
                          {11, 0x0000'002C /* Space */, 0x0E00'001A},
                      });
  return layout;
}

constexpr KeyLayout kKb3 = MakeKb3();

}  // namespace

const KeyLayout& Kb3() { return kKb3; }

}  // namespace kb::layout_tables
