// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The factory assignment of each model: 132 key positions (index = column * 6 + row, 22 columns
// by 6 rows, row 0 on top) and 56 Fn slots. New and reset profiles, the restore-default command
// and the highlight of changed keys all take their reference from here.

#include <array>

#include "keys/key_code.h"
#include "keys/keyboard_model.h"

namespace kb {

inline constexpr int kLayoutColumns = 22;
inline constexpr int kLayoutRows = 6;
inline constexpr int kLayoutKeys = kLayoutColumns * kLayoutRows;
inline constexpr int kLayoutFnSlots = 56;

constexpr int KeyIndexAt(int column, int row) { return column * kLayoutRows + row; }

struct KeyLayout {
  std::array<KeyCode, kLayoutKeys> default_key_codes;        // kNoFunction where there is no key
  std::array<KeyCode, kLayoutFnSlots> default_fn_key_codes;  // a slot's own code
  std::array<KeyCode, kLayoutFnSlots> default_fn_functions;  // a slot's Fn-layer function
};

// The tables of `model`; constant for the life of the program, safe from any thread.
const KeyLayout& LayoutOf(Model model);

}  // namespace kb
