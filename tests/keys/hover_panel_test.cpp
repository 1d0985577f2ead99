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
      // At the right edge.
      {{780, 400, 800, 440}, {670, 237, 800, 320}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(HoverPanelRect(row.key, 800, 572), row.expected) << row.key.left;
  EXPECT_EQ(HoverPanelRect({0, 100, 40, 140}, 0, 0), (PanelRect{-33, -63, 97, 20}))
      << "without a window size the rule alone places it";
}

}  // namespace
}  // namespace kb
