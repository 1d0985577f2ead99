// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/hover_panel.h"

#include <algorithm>

namespace kb {

PanelRect HoverPanelRect(const PanelRect& key, const PanelRect& bounds) {
  // C++ division truncates towards zero, as the placement rule asks.
  int x = key.left + (key.right - key.left - kHoverPanelWidth) / 2 + 12;
  int y = key.top - 163;
  const bool bounded = bounds.right > bounds.left && bounds.bottom > bounds.top;
  if (!bounded) return {x, y, x + kHoverPanelWidth, y + kHoverPanelHeight};
  const int max_x = std::max(bounds.left, bounds.right - kHoverPanelWidth);
  const int max_y = std::max(bounds.top, bounds.bottom - kHoverPanelHeight);
  x = std::clamp(x, bounds.left, max_x);
  y = std::clamp(y, bounds.top, max_y);
  // Moved down onto the key it would hide what it describes and take the pointer from it:
  // just below the key then, where there is room.
  if (y < key.bottom && y + kHoverPanelHeight > key.top && key.bottom + kHoverPanelGap <= max_y)
    y = key.bottom + kHoverPanelGap;
  return {x, y, x + kHoverPanelWidth, y + kHoverPanelHeight};
}

PanelRect HoverPanelRect(const PanelRect& key, int window_width, int window_height) {
  return HoverPanelRect(key,
                        PanelRect{0, 0, std::max(0, window_width), std::max(0, window_height)});
}

}  // namespace kb
