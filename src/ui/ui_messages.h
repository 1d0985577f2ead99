// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window message numbers the UI library itself sends or understands, and the notification
// type texts. The program's own messages (1132, 1431 ...) are named by the program.

#include "ui/ui_types.h"

namespace DuiLib {

inline constexpr UINT WM_CREATE = 1;
inline constexpr UINT WM_DESTROY = 2;
inline constexpr UINT WM_SIZE = 5;
inline constexpr UINT WM_CLOSE = 16;
inline constexpr UINT WM_KEYDOWN = 256;
inline constexpr UINT WM_KEYUP = 257;
inline constexpr UINT WM_CHAR = 258;
inline constexpr UINT WM_TIMER = 275;
inline constexpr UINT WM_MOUSEMOVE = 512;
inline constexpr UINT WM_LBUTTONDOWN = 513;
inline constexpr UINT WM_LBUTTONUP = 514;
inline constexpr UINT WM_RBUTTONDOWN = 516;
inline constexpr UINT WM_RBUTTONUP = 517;
inline constexpr UINT WM_USER = 1024;
// A menu item was chosen: wParam is a MenuCmd* that the receiver releases with
// CPaintManagerUI::DeletePtr.
inline constexpr UINT WM_MENUCLICK = WM_USER + 3;

// Virtual-key codes of the keys the library itself reacts to (Windows numbering).
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21;
inline constexpr UINT VK_NEXT = 0x22;
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_DELETE = 0x2E;

// Window style bits that Create understands; the others are accepted and ignored.
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD UI_WNDSTYLE_FRAME = 0x96CA0000;
inline constexpr DWORD UI_WNDSTYLE_DIALOG = WS_POPUP | WS_VISIBLE;

// Menu alignment flags (CMenuWnd::Init): which corner of the menu sits at the point.
inline constexpr DWORD eMenuAlignment_Left = 1 << 1;
inline constexpr DWORD eMenuAlignment_Top = 1 << 2;
inline constexpr DWORD eMenuAlignment_Right = 1 << 3;
inline constexpr DWORD eMenuAlignment_Bottom = 1 << 4;

// Notification types (TNotifyUI::sType).
inline constexpr const char16_t* DUI_MSGTYPE_CLICK = u"click";
inline constexpr const char16_t* DUI_MSGTYPE_SELECTCHANGED = u"selectchanged";
inline constexpr const char16_t* DUI_MSGTYPE_ITEMSELECT = u"itemselect";
inline constexpr const char16_t* DUI_MSGTYPE_VALUECHANGED = u"valuechanged";
inline constexpr const char16_t* DUI_MSGTYPE_TEXTCHANGED = u"textchanged";
inline constexpr const char16_t* DUI_MSGTYPE_SETFOCUS = u"setfocus";
inline constexpr const char16_t* DUI_MSGTYPE_KILLFOCUS = u"killfocus";
inline constexpr const char16_t* DUI_MSGTYPE_TIMER = u"timer";
inline constexpr const char16_t* DUI_MSGTYPE_CHECKCLICK = u"checkclick";
inline constexpr const char16_t* DUI_MSGTYPE_COLORCHANGED = u"colorchanged";
inline constexpr const char16_t* DUI_MSGTYPE_MOUSEENTER = u"mouseenter";
inline constexpr const char16_t* DUI_MSGTYPE_MOUSELEAVE = u"mouseleave";

}  // namespace DuiLib
