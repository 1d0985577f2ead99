// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test seams: drive real controls by name the way a user would. Mouse and key input goes
// through the window's native host exactly as Qt delivers it, so focus, hit testing and the
// notifications are the real ones. Tests run with QT_QPA_PLATFORM=offscreen. UI thread only.

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CBitmap;
class CColorPaletteUI;
class CComboUI;
class CControlUI;
class CListUI;
class CPaintManagerUI;
class CSliderUI;
class CWindowWnd;

namespace Testing {

// Runs the event loop for a few turns: posted messages, closes, timers due now and deferred
// deletions, and what they post in turn (up to 20 rounds).
void ProcessEvents();

// Press and release of the left button at the centre of the control's visible part. False
// (and nothing sent) when the control is hidden, not laid out or has no window.
bool Click(CControlUI* control);
bool Click(CPaintManagerUI& pm, const CDuiString& name);
bool RightClick(CControlUI* control);
bool DoubleClick(CControlUI* control);
// Press at one point, move to another and release there (window client coordinates).
bool Drag(CPaintManagerUI& pm, POINT from, POINT to);
bool ClickAt(CPaintManagerUI& pm, POINT pt);
// Moves the pointer over the control (raises "mouseenter" when it was elsewhere).
bool Hover(CControlUI* control);
// Moves the pointer out of the window ("mouseleave" for the hovered control).
void LeaveWindow(CPaintManagerUI& pm);
// Gives the control the focus by clicking it (when it does not have it) and types `text`.
bool TypeText(CControlUI* control, const CDuiString& text);
// One key press (Windows virtual-key code, UIKEY_* modifiers) to the window of `pm`.
bool PressKey(CPaintManagerUI& pm, UINT vkey, WORD modifiers = 0);
// One key press to the open popup, where the keyboard goes while one is open: a combo's
// drop-down, else the newest open menu. False when none is open.
bool PressKeyInPopup(UINT vkey, WORD modifiers = 0);
// Rolls the wheel over the control (positive: up).
bool Wheel(CControlUI* control, int delta);

// Opens the combo's drop-down (if closed) and clicks item `index` in it.
bool SelectComboItem(CComboUI* combo, int index);
// Scrolls row `index` into view and clicks it.
bool ClickListItem(CListUI* list, int index);
// Clicks the item of the newest open menu with that name, or of one of its submenus (opened by a
// click on the item that opens it).
bool ClickMenuItem(const CDuiString& name);
// Drags the slider's thumb to where `value` lies.
bool DragSlider(CSliderUI* slider, int value);
// Clicks the palette at a point relative to its top-left corner.
bool ClickPalette(CColorPaletteUI* palette, POINT offset);
// What the window shows (laid out and painted now), as a bitmap of its client size; with
// `scale` 2 as a screen of device pixel ratio 2 shows it (twice the pixels per side).
CBitmap Render(CPaintManagerUI& pm, int scale = 1);
// What a screen reader calls the window, read as the accessibility bus reads it.
CDuiString AccessibleWindowName(CWindowWnd& window);

}  // namespace Testing
}  // namespace DuiLib
