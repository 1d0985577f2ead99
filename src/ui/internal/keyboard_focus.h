// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the keyboard focus moves and shows: the Tab order with focus groups counted as one stop,
// the arrow keys' move to the nearest control in a direction, and the focus ring. The paint
// manager's part of keyboard input; UI thread only.

#include <vector>

#include "ui/ui_types.h"

namespace DuiLib {

class CContainerUI;
class CControlUI;
class CPaintContext;

namespace internal {

// Whether Tab may give `control` the focus now (it takes the focus, is visible, enabled and
// not shut off from the keyboard, and is not an item of a list or combo).
bool TakesKeyboardFocus(CControlUI* control);
// The nearest container marked as a focus group around `control`, or null.
CContainerUI* FocusGroupOf(const CControlUI* control);
// Every control under `root` that Tab may give the focus, in layout order.
std::vector<CControlUI*> KeyboardFocusOrder(CControlUI* root);
// Of `candidates`, the one nearest to `from` in the direction of an arrow key (VK_LEFT, VK_UP,
// VK_RIGHT, VK_DOWN), judged by their rectangles: its centre must lie beyond the edge of `from`
// that the arrow points to (so a wider key in the next row is no neighbour to the side), and a
// control off to the side counts as farther than one straight ahead. Null when none lies that
// way.
CControlUI* NearestInDirection(const std::vector<CControlUI*>& candidates, const CControlUI* from,
                               UINT vkey);
// Draws the focus ring just inside the control's ring rectangle (CControlUI::GetFocusRingRect),
// clipped to what the lists around it show: `argb` 2 px wide, and inside it a 1 px line of `inner`
// (when opaque) that keeps the ring apart from a fill of its own colour.
void PaintFocusRing(CPaintContext& ctx, const CControlUI* control, DWORD argb, DWORD inner);

}  // namespace internal
}  // namespace DuiLib
