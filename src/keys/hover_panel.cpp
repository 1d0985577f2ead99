#include "keys/hover_panel.h"

#include <algorithm>

namespace kb {

PanelRect HoverPanelRect(const PanelRect& key, int window_width, int window_height) {
  // C++ division truncates towards zero, as the placement rule asks.
  int x = key.left + (key.right - key.left - kHoverPanelWidth) / 2 + 12;
  int y = key.top - 163;
  if (window_width > 0) x = std::clamp(x, 0, std::max(0, window_width - kHoverPanelWidth));
  if (window_height > 0) y = std::clamp(y, 0, std::max(0, window_height - kHoverPanelHeight));
  return {x, y, x + kHoverPanelWidth, y + kHoverPanelHeight};
}

}  // namespace kb
