// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_picture.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kb {
namespace {

struct PlacedKey {
  Model model;
  int column;
  int row;
  std::optional<KeyRect> rect;  // quarter units; none: nothing shown there
};

// Real keys of a full-size keyboard where the tables put them.
const PlacedKey kPlaced[] = {
    {Model::KB_3, 0, 0, KeyRect{0, 0, 4, 4}},      // Esc
    {Model::KB_3, 2, 0, KeyRect{8, 0, 4, 4}},      // F1, a key of gap after Esc
    {Model::KB_3, 6, 0, KeyRect{26, 0, 4, 4}},     // F5, half a key after F4
    {Model::KB_3, 1, 0, std::nullopt},             // no key left of F1
    {Model::KB_3, 13, 1, KeyRect{52, 6, 8, 4}},    // Backspace, two keys wide
    {Model::KB_3, 0, 2, KeyRect{0, 10, 6, 4}},     // Tab
    {Model::KB_3, 0, 3, KeyRect{0, 14, 7, 4}},     // Caps Lock
    {Model::KB_3, 13, 3, KeyRect{55, 14, 5, 4}},   // Enter after the ISO key
    {Model::KB_4, 13, 3, KeyRect{51, 14, 9, 4}},   // Enter without it
    {Model::KB_3, 0, 4, KeyRect{0, 18, 5, 4}},     // Left Shift beside the ISO key
    {Model::KB_3, 13, 4, KeyRect{49, 18, 11, 4}},  // Right Shift
    {Model::KB_4, 13, 4, KeyRect{53, 18, 7, 4}},   // Right Shift after Backslash
    {Model::KB_3, 0, 5, KeyRect{0, 22, 5, 4}},     // Left Ctrl
    {Model::KB_3, 13, 5, KeyRect{55, 22, 5, 4}},   // Right Ctrl ends the row
    {Model::KB_3, 14, 5, KeyRect{61, 22, 4, 4}},   // Left arrow
    {Model::KB_3, 15, 4, KeyRect{65, 18, 4, 4}},   // Up arrow
    {Model::KB_3, 17, 5, KeyRect{74, 22, 8, 4}},   // Keypad 0, two keys wide
    {Model::KB_3, 20, 3, KeyRect{86, 10, 4, 8}},   // Keypad Plus, two rows
    {Model::KB_3, 20, 4, KeyRect{86, 18, 4, 8}},   // Keypad Enter, two rows
    {Model::KB_3, 20, 1, KeyRect{86, 6, 4, 4}},    // Keypad Minus stays one key
    {Model::KB_3, 21, 4, KeyRect{91, 18, 4, 4}},   // volume keys beyond the keypad
    {Model::KB_4, 20, 4, KeyRect{74, 18, 4, 4}},   // no keypad: no empty columns either
    {Model::KB_4, 17, 1, std::nullopt},
    {Model::KB_3, 10, 0, std::nullopt},  // F9 is Fn slot 0's button
};

TEST(KeyPictureTest, KeysSitWhereARealKeyboardHasThem) {
  for (const PlacedKey& p : kPlaced) {
    SCOPED_TRACE(testing::Message()
                 << InfoOf(p.model).name << " column " << p.column << " row " << p.row);
    EXPECT_EQ(KeyPictureOf(p.model).keys[KeyIndexAt(p.column, p.row)], p.rect);
  }
}

TEST(KeyPictureTest, AKeyHandedToAnFnSlotShowsTheSlotThere) {
  const KeyPicture& picture = KeyPictureOf(Model::KB_3);
  EXPECT_EQ(picture.fn_slots[0], (KeyRect{44, 0, 4, 4}));           // F9
  EXPECT_EQ(picture.fn_slots[11], (KeyRect{15, 22, 25, 4}));        // Space
  EXPECT_EQ(picture.fn_slots[12], std::nullopt);                    // no key hands itself to it
  EXPECT_TRUE(KeyPictureOf(Model::KB_4).fn_slots[19].has_value());  // F1 of KB_4
  // Lit keys are physical keys: the position keeps the rectangle its slot's button took.
  EXPECT_EQ(picture.positions[KeyIndexAt(10, 0)], picture.fn_slots[0]);
  for (int k = 0; k < kLayoutKeys; ++k) {
    if (picture.keys[k]) {
      EXPECT_EQ(picture.positions[k], picture.keys[k]) << "key " << k;
    }
  }
}

TEST(KeyPictureTest, EveryKeyIsShownOnceAndNoTwoOverlap) {
  for (const ModelInfo* info : kModels) {
    const KeyPicture& picture = KeyPictureOf(info->model);
    const KeyLayout& layout = info->key_layout();
    std::vector<KeyRect> shown;
    for (int k = 0; k < kLayoutKeys; ++k) {
      const KeyCode code = layout.default_key_codes[k];
      const bool own = code != kNoFunction && TypeOf(code) != KeyCodeType::FnSlot;
      EXPECT_EQ(picture.keys[k].has_value(), own) << info->name << " key " << k;
      if (picture.keys[k]) shown.push_back(*picture.keys[k]);
    }
    for (const auto& slot : picture.fn_slots)
      if (slot) shown.push_back(*slot);
    for (std::size_t a = 0; a < shown.size(); ++a) {
      const KeyRect& r = shown[a];
      EXPECT_LE(r.x + r.width, picture.width);
      EXPECT_LE(r.y + r.height, picture.height);
      for (std::size_t b = a + 1; b < shown.size(); ++b) {
        const KeyRect& s = shown[b];
        const bool apart = r.x + r.width <= s.x || s.x + s.width <= r.x || r.y + r.height <= s.y ||
                           s.y + s.height <= r.y;
        EXPECT_TRUE(apart) << info->name << " keys " << a << " and " << b << " overlap";
      }
    }
  }
}

struct HighlightRow {
  int index;
  KeyCode code;
  KeyHighlight expected;
};

TEST(KeyPictureTest, OnlyTheCodeDecidesTheHighlight) {
  const HighlightRow rows[] = {
      {5, 0x0600'00E0, KeyHighlight::None},     // Left Ctrl at its factory code
      {5, 0x0000'00E0, KeyHighlight::Changed},  // the same key as a plain usage
      {81, 0x0000'0028, KeyHighlight::None},    // Enter
      {81, 0x0000'0004, KeyHighlight::ChangedEnter},
      {0, kNoFunction, KeyHighlight::Changed},  // Esc disabled
  };
  for (const HighlightRow& row : rows)
    EXPECT_EQ(KeyHighlightOf(Model::KB_3, row.index, row.code), row.expected) << row.index;
  EXPECT_EQ(FnSlotHighlightOf(Model::KB_3, 0, 0x0000'0042), KeyHighlight::None);
  EXPECT_EQ(FnSlotHighlightOf(Model::KB_3, 0, 0x0000'0004), KeyHighlight::Changed);
  EXPECT_EQ(HighlightImage(KeyHighlight::Changed), "skins/KB/key_1.png");
  EXPECT_EQ(HighlightImage(KeyHighlight::ChangedEnter), "skins/KB/enter_1.png");
  EXPECT_EQ(HighlightImage(KeyHighlight::None), "");
}

}  // namespace
}  // namespace kb
