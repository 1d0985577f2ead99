// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the paint manager needs from its window, without the window's internals.

#include <functional>

#include "ui/ui_types.h"

namespace DuiLib {
class CWindowWnd;
namespace internal {

void RequestRepaint(CWindowWnd* window);
void RepaintNow(CWindowWnd* window);
SIZE ClientSizeOf(const CWindowWnd* window);
HWND HandleOf(const CWindowWnd* window);
// Starts moving the window with the pointer (caption drag).
void BeginWindowMove(CWindowWnd* window, POINT client_pt);
// A post whose `release` runs if the message is never delivered (records carried in wParam).
bool PostWithRelease(HWND hwnd, UINT msg, WPARAM w, LPARAM l, std::function<void()> release);

}  // namespace internal
}  // namespace DuiLib
