#pragma once
// Where the key page's hover panel goes: centred over the hovered key, shifted 12 pixels right
// and 163 up, as the skin's panel is drawn; a panel that would leave the window is moved just
// inside it, so it is never cut off at the keyboard's edges.

namespace kb {

struct PanelRect {
  int left, top, right, bottom;
  friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

inline constexpr int kHoverPanelWidth = 130;
inline constexpr int kHoverPanelHeight = 83;

// `key` in window coordinates; `window_width` and `window_height` bound the result (0 or less:
// no bound).
PanelRect HoverPanelRect(const PanelRect& key, int window_width, int window_height);

}  // namespace kb
