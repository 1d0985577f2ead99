// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where each key of a model sits in the picture of its keyboard, and how a key is marked when
// it no longer does what it did from the factory. Pure geometry and rules from the key tables:
// the pages only place buttons at these rectangles.
//
// Units are quarter key widths (a standard key is 4 x 4). The rows of the 22 x 6 grid are the
// rows of a full-size keyboard (row 0 the function row, set apart by half a key); the columns of
// the main block (0..13) are laid out left to right with the widths of real keys (Tab, Caps
// Lock, Shift, Backspace, Enter, Space and the modifiers of the bottom row), the last key of a
// row taking what is left of the 15-key width; the navigation block, the keypad and the column
// beyond follow with gaps, empty columns taking no room. On the keypad, 0 is two keys wide and
// the keys of its right column grow into the empty place above or below them (Plus, Enter).
//
// A position whose factory code hands the key to an Fn slot shows that slot's button instead of
// its own (the slot's entry is what the key does); positions without a key and Fn slots no key
// hands to show nothing.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "keys/key_code.h"
#include "keys/key_layout.h"
#include "keys/keyboard_model.h"

namespace kb {

struct KeyRect {
  int x = 0;  // quarter units from the picture's left edge
  int y = 0;
  int width = 4;
  int height = 4;
  friend bool operator==(const KeyRect&, const KeyRect&) = default;
};

struct KeyPicture {
  std::array<std::optional<KeyRect>, kLayoutKeys> keys;         // shown key buttons
  std::array<std::optional<KeyRect>, kLayoutFnSlots> fn_slots;  // shown Fn-slot buttons
  // Every key position with a key, Fn-slot keys included: what lights up on the keyboard.
  std::array<std::optional<KeyRect>, kLayoutKeys> positions;
  int width = 0;  // quarter units
  int height = 0;
};

// Built from the model's tables once; safe from any thread.
const KeyPicture& KeyPictureOf(Model model);
KeyPicture BuildKeyPicture(const KeyLayout& layout);

// The Enter key's index; its highlight has an image of its own.
inline constexpr int kEnterKeyIndex = 81;

enum class KeyHighlight { None, Changed, ChangedEnter };

// A key is marked when its code differs from the factory code of its position; only the code
// counts (kind, modifiers and macro fields do not).
KeyHighlight KeyHighlightOf(Model model, int key_index, KeyCode code);
KeyHighlight FnSlotHighlightOf(Model model, int slot, KeyCode code);
// The background image of a highlight: "" (none), "skins/KB/key_1.png" or
// "skins/KB/enter_1.png".
std::string_view HighlightImage(KeyHighlight highlight);

}  // namespace kb
