// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_picture.h"

#include <algorithm>
#include <vector>

namespace kb {
namespace {

constexpr int kUnit = 4;                    // a standard key, in quarter units
constexpr int kMainColumns = 14;            // columns 0..13: the main block
constexpr int kMainRowWidth = 15 * kUnit;   // every main row is fifteen keys wide
constexpr int kRightBlockX = 61;            // 15.25 keys: the navigation block
constexpr int kKeypadFirstColumn = 17;      // columns 17..20: the keypad
constexpr int kKeypadRightColumn = 20;      // Plus and Enter grow here
constexpr int kExtraColumn = 21;            // keys beyond the keypad
constexpr int kBlockGap = 1;                // a quarter key between blocks
constexpr int kFunctionRowGap = kUnit / 2;  // half a key below the function row

bool HasKey(const KeyLayout& layout, int column, int row) {
  return layout.default_key_codes[KeyIndexAt(column, row)] != kNoFunction;
}

int RowY(int row) { return row == 0 ? 0 : row * kUnit + kFunctionRowGap; }

// The function row keeps the gaps of a real keyboard: Esc, F1-F4, F5-F8, F9-F12.
int FunctionRowX(int column) {
  constexpr int kX[kMainColumns] = {0, 4, 8, 12, 16, 20, 26, 30, 34, 38, 44, 48, 52, 56};
  return kX[column];
}

// The width a key of the main block has on a real keyboard; the last key of a row is sized
// by what is left instead.
int NaturalWidth(const KeyLayout& layout, int column, int row) {
  if (column == 0) {
    if (row == 2) return 6;                             // Tab
    if (row == 3) return 7;                             // Caps Lock
    if (row == 4) return HasKey(layout, 1, 4) ? 5 : 9;  // Shift, short beside an ISO key
  }
  if (row == 5) return column == 6 ? 25 : 5;  // Space; the bottom modifiers
  return kUnit;
}

void PlaceMainRow(const KeyLayout& layout, int row, KeyPicture& picture) {
  if (row == 0) {
    for (int column = 0; column < kMainColumns; ++column)
      if (HasKey(layout, column, row))
        picture.keys[KeyIndexAt(column, row)] =
            KeyRect{FunctionRowX(column), RowY(row), kUnit, kUnit};
    return;
  }
  int last = -1;
  for (int column = 0; column < kMainColumns; ++column)
    if (HasKey(layout, column, row)) last = column;
  int x = 0;
  for (int column = 0; column <= last; ++column) {
    if (!HasKey(layout, column, row)) continue;
    const int width =
        column == last ? std::max(kUnit, kMainRowWidth - x) : NaturalWidth(layout, column, row);
    picture.keys[KeyIndexAt(column, row)] = KeyRect{x, RowY(row), width, kUnit};
    x += width;
  }
}

bool ColumnHasKeys(const KeyLayout& layout, int column) {
  for (int row = 0; row < kLayoutRows; ++row)
    if (HasKey(layout, column, row)) return true;
  return false;
}

// Navigation block, keypad and the column beyond: one key per cell, empty columns take no room.
int PlaceRightBlocks(const KeyLayout& layout, KeyPicture& picture) {
  int x = kRightBlockX;
  for (int column = kMainColumns; column < kLayoutColumns; ++column) {
    if (column == kKeypadFirstColumn || column == kExtraColumn) x += kBlockGap;
    if (!ColumnHasKeys(layout, column)) continue;
    for (int row = 0; row < kLayoutRows; ++row)
      if (HasKey(layout, column, row))
        picture.keys[KeyIndexAt(column, row)] = KeyRect{x, RowY(row), kUnit, kUnit};
    x += kUnit;
  }
  return x;
}

// A real keypad: 0 spans two keys, Plus and Enter two rows of the right column.
void ShapeKeypad(const KeyLayout& layout, KeyPicture& picture) {
  if (!ColumnHasKeys(layout, kKeypadFirstColumn)) return;
  bool claimed[kLayoutRows] = {};  // cells of the right column taken by a tall key
  for (int row = kLayoutRows - 1; row >= 1; --row) {
    auto& key = picture.keys[KeyIndexAt(kKeypadRightColumn, row)];
    if (!key || claimed[row]) continue;
    const auto free = [&](int r) {
      return r >= 1 && r < kLayoutRows && !claimed[r] && !HasKey(layout, kKeypadRightColumn, r);
    };
    if (free(row - 1)) {
      key->y = RowY(row - 1);
      key->height = 2 * kUnit;
      claimed[row - 1] = true;
    } else if (free(row + 1)) {
      key->height = 2 * kUnit;
      claimed[row + 1] = true;
    }
  }
  constexpr int kBottomRow = kLayoutRows - 1;
  for (int column = kKeypadFirstColumn; column < kKeypadRightColumn; ++column) {
    auto& key = picture.keys[KeyIndexAt(column, kBottomRow)];
    const bool right_free = !HasKey(layout, column + 1, kBottomRow) &&
                            !(column + 1 == kKeypadRightColumn && claimed[kBottomRow]);
    if (key && right_free) key->width = 2 * kUnit;
  }
}

}  // namespace

KeyPicture BuildKeyPicture(const KeyLayout& layout) {
  KeyPicture picture;
  for (int row = 0; row < kLayoutRows; ++row) PlaceMainRow(layout, row, picture);
  picture.width = PlaceRightBlocks(layout, picture);
  ShapeKeypad(layout, picture);
  picture.height = RowY(kLayoutRows - 1) + kUnit;
  picture.positions = picture.keys;
  // A key that hands itself to an Fn slot is shown as that slot's button.
  for (int index = 0; index < kLayoutKeys; ++index) {
    const KeyCode code = layout.default_key_codes[index];
    if (code == kNoFunction || TypeOf(code) != KeyCodeType::FnSlot) continue;
    const int slot = LowByteOf(code);
    if (slot < kLayoutFnSlots) picture.fn_slots[slot] = picture.keys[index];
    picture.keys[index].reset();
  }
  return picture;
}

const KeyPicture& KeyPictureOf(Model model) {
  static const std::vector<KeyPicture> pictures = [] {
    std::vector<KeyPicture> all;
    for (const ModelInfo* info : kModels) all.push_back(BuildKeyPicture(info->key_layout()));
    return all;
  }();
  return pictures[static_cast<std::size_t>(model)];
}

KeyHighlight KeyHighlightOf(Model model, int key_index, KeyCode code) {
  if (code == LayoutOf(model).default_key_codes.at(key_index)) return KeyHighlight::None;
  return key_index == kEnterKeyIndex ? KeyHighlight::ChangedEnter : KeyHighlight::Changed;
}

KeyHighlight FnSlotHighlightOf(Model model, int slot, KeyCode code) {
  return code == LayoutOf(model).default_fn_key_codes.at(slot) ? KeyHighlight::None
                                                               : KeyHighlight::Changed;
}

std::string_view HighlightImage(KeyHighlight highlight) {
  switch (highlight) {
    case KeyHighlight::None:
      return "";
    case KeyHighlight::Changed:
      return "skins/KB/key_1.png";
    case KeyHighlight::ChangedEnter:
      return "skins/KB/enter_1.png";
  }
  return "";
}

}  // namespace kb
