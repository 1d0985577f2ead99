// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plain value types of the UI library's interface. They carry the names the pages use (RECT,
// POINT, WPARAM ...) but live in DuiLib, so nothing leaks into the global namespace.

#include <cstdint>

namespace DuiLib {

using UINT = unsigned int;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;

struct POINT {
  int x = 0;
  int y = 0;
};

struct SIZE {
  int cx = 0;
  int cy = 0;
};

struct RECT {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const RECT&, const RECT&) = default;
};

// A window handle: a weak, copyable name of a window that stays safe to use after the window
// is gone (posts to a dead handle are dropped). Any thread may hold and post to one.
struct HWND__;
using HWND = HWND__*;

}  // namespace DuiLib
