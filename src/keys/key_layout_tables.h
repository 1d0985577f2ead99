// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-model tables behind LayoutOf; one file each so that a table reads as one list.

#include "keys/key_layout.h"

namespace kb::layout_tables {

// Kb3() and Kb4() are declared with the model descriptors (keys/keyboard_model.h).

// Fills the two Fn tables from (slot, own code, Fn function) rows; other slots stay kNoFunction.
struct FnSlotRow {
  int slot;
  KeyCode own_code;
  KeyCode fn_function;
};

template <std::size_t N>
constexpr void FillFnSlots(KeyLayout& layout, const FnSlotRow (&rows)[N]) {
  layout.default_fn_key_codes.fill(kNoFunction);
  layout.default_fn_functions.fill(kNoFunction);
  for (const FnSlotRow& row : rows) {
    layout.default_fn_key_codes[row.slot] = row.own_code;
    layout.default_fn_functions[row.slot] = row.fn_function;
  }
}

}  // namespace kb::layout_tables
