// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/hover_panel.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

TEST(HoverPanel, AboveTheKeyAndInsideTheWindow) {
  const struct {
    PanelRect key;
    PanelRect expected;
  } rows[] = {
      // A 40-pixel key: x = 300 + (40 - 130) / 2 + 12 = 267, y = 400 - 163.
      {{300, 400, 340, 440}, {267, 237, 397, 320}},
      // Odd width: (41 - 130) / 2 truncates to -44.
      {{300, 400, 341, 440}, {268, 237, 398, 320}},
      // At the left edge and near the top the panel moves just inside the window.
      {{0, 100, 40, 140}, {0, 0, 130, 83}},
      // Moved inside onto the key it describes, it goes below the key...
      {{300, 60, 340, 100}, {267, 104, 397, 187}},
      // ...and near the bottom it stays where the rule puts it.
      {{300, 500, 340, 560}, {267, 337, 397, 420}},
      // At the right edge.
      {{780, 400, 800, 440}, {670, 237, 800, 320}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(HoverPanelRect(row.key, 800, 572), row.expected) << row.key.left;
  EXPECT_EQ(HoverPanelRect({0, 100, 40, 140}, 0, 0), (PanelRect{-33, -63, 97, 20}))
      << "without a window size the rule alone places it";
  // Without room below it stays at the top.
  EXPECT_EQ(HoverPanelRect({300, 60, 340, 90}, 800, 150), (PanelRect{267, 0, 397, 83}));
  // Bounds need not start at the origin: a page inside its window.
  EXPECT_EQ(HoverPanelRect({100, 300, 140, 340}, PanelRect{0, 100, 800, 500}),
            (PanelRect{67, 137, 197, 220}));
}

}  // namespace
}  // namespace kb
