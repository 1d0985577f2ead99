// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the key page's hover panel goes: centred over the hovered key, shifted 12 pixels right
// and 163 up, as the skin's panel is drawn; a panel that would leave the window is moved just
// inside it, so it is never cut off at the keyboard's edges; moved onto the key it describes, it
// goes just below the key instead, where there is room.

namespace kb {

struct PanelRect {
  int left, top, right, bottom;
  friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

inline constexpr int kHoverPanelWidth = 130;
inline constexpr int kHoverPanelHeight = 83;
inline constexpr int kHoverPanelGap = 4;  // px between the key and a panel moved beside it

// `key` in window coordinates; `window_width` and `window_height` bound the result (0 or less:
// no bound).
PanelRect HoverPanelRect(const PanelRect& key, int window_width, int window_height);
// The same inside `bounds` (an empty rectangle: no bound), all in one coordinate system.
PanelRect HoverPanelRect(const PanelRect& key, const PanelRect& bounds);

}  // namespace kb
