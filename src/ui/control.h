// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CControlUI: the base of every control. Controls are plain objects drawn by their window's
// paint manager; none of them is a native widget. Positions are in the window's client
// coordinates. Every function is for the UI thread only.

#include <memory>

#include "ui/dui_string.h"
#include "ui/ui_messages.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;
class CPaintContext;
struct TAccessibleInfoUI;

enum EVENTTYPE_UI {
  UIEVENT_MOUSEMOVE = 1,
  UIEVENT_MOUSELEAVE,
  UIEVENT_MOUSEENTER,
  UIEVENT_BUTTONDOWN,
  UIEVENT_BUTTONUP,
  UIEVENT_RBUTTONDOWN,
  UIEVENT_RBUTTONUP,
  UIEVENT_DBLCLICK,
  UIEVENT_SCROLLWHEEL,
  UIEVENT_KEYDOWN,
  UIEVENT_CHAR,
  UIEVENT_SETFOCUS,
  UIEVENT_KILLFOCUS,
  UIEVENT_TIMER,
};

// Modifier bits of TEventUI::wKeyState.
inline constexpr WORD UIKEY_SHIFT = 1;
inline constexpr WORD UIKEY_CONTROL = 2;
inline constexpr WORD UIKEY_ALT = 4;

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  POINT ptMouse;
  UINT vkey = 0;       // UIEVENT_KEYDOWN: Windows virtual-key code
  CDuiString text;     // UIEVENT_CHAR: the typed text
  WORD wKeyState = 0;  // UIKEY_* bits
  WPARAM wParam = 0;   // UIEVENT_TIMER: timer id; UIEVENT_SCROLLWHEEL: 1 up, 0 down
  LPARAM lParam = 0;
};

// "#AARRGGBB", "#RRGGBB", "0xAARRGGBB" or a colour named in the theme. Returns false for
// anything else and leaves `out` alone.
bool ParseColor(std::u16string_view text, DWORD& out, const CPaintManagerUI* pm = nullptr);
// "l,t,r,b" / "cx,cy" with optional spaces; missing numbers read as 0.
RECT ParseRect(std::u16string_view text);
SIZE ParseSize(std::u16string_view text);
bool ParseBool(std::u16string_view text);

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual CDuiString GetClass() const { return u"ControlUI"; }
  // `name` without the "UI" suffix of the class ("Control", "Label", "Button" ...).
  virtual void* GetInterface(const CDuiString& name);

  const CDuiString& GetName() const { return m_sName; }
  void SetName(const CDuiString& name);

  // The stored text. In resource-text mode it is a language key; GetShownText() gives what
  // the control shows.
  virtual CDuiString GetText() const { return m_sText; }
  virtual void SetText(const CDuiString& text);
  CDuiString GetShownText() const;
  bool IsResourceText() const { return m_bResourceText; }
  void SetResourceText(bool resource_text);

  CDuiString GetToolTip() const { return m_sToolTip; }
  void SetToolTip(const CDuiString& tip);
  CDuiString GetUserData() const { return m_sUserData; }
  void SetUserData(const CDuiString& data) { m_sUserData = data; }
  UINT_PTR GetTag() const { return m_pTag; }
  void SetTag(UINT_PTR tag) { m_pTag = tag; }
  const CDuiString& GetVirtualWnd() const { return m_sVirtualWnd; }
  // The virtual window of the nearest ancestor (or this) that names one.
  CDuiString GetEffectiveVirtualWnd() const;

  // Geometry. GetPos is valid after the paint manager laid the window out
  // (CPaintManagerUI::UpdateLayout, done before every paint and hit test).
  const RECT& GetPos() const { return m_rcItem; }
  virtual void SetPos(RECT rc);
  int GetWidth() const { return m_rcItem.Width(); }
  int GetHeight() const { return m_rcItem.Height(); }
  RECT GetPadding() const { return m_rcPadding; }
  void SetPadding(RECT rc);
  // Position inside the parent for floating controls ("pos" attribute left/top).
  SIZE GetFixedXY() const { return m_cXY; }
  void SetFixedXY(SIZE xy);
  int GetFixedWidth() const { return m_cxyFixed.cx; }
  void SetFixedWidth(int cx);
  int GetFixedHeight() const { return m_cxyFixed.cy; }
  void SetFixedHeight(int cy);
  int GetMinWidth() const { return m_cxyMin.cx; }
  void SetMinWidth(int cx);
  int GetMinHeight() const { return m_cxyMin.cy; }
  void SetMinHeight(int cy);
  bool IsFloat() const { return m_bFloat; }
  void SetFloat(bool is_float);
  // The size a layout should give this control: fixed width/height, 0 where it stretches.
  virtual SIZE EstimateSize(SIZE available);

  // Looks.
  DWORD GetBkColor() const { return m_dwBackColor; }
  void SetBkColor(DWORD argb);
  DWORD GetBorderColor() const { return m_dwBorderColor; }
  void SetBorderColor(DWORD argb);
  int GetBorderSize() const { return m_nBorderSize; }
  void SetBorderSize(int size);
  // Image syntax: "skins/a.png", or "file='a.png' corner='4,4,4,4'", "res='a.png'
  // dest='5,2,21,20'" (see res/README.md). Empty clears it.
  const CDuiString& GetBkImage() const { return m_sBkImage; }
  void SetBkImage(const CDuiString& image);
  const CDuiString& GetFont() const { return m_sFont; }
  void SetFont(const CDuiString& font);

  // State.
  bool IsVisible() const { return m_bVisible && m_bInternVisible; }
  bool IsOwnVisible() const { return m_bVisible; }
  virtual void SetVisible(bool visible = true);
  // Set by containers (tab pages, hidden parents); not the control's own flag.
  virtual void SetInternVisible(bool visible = true);
  bool IsEnabled() const { return m_bEnabled; }
  virtual void SetEnabled(bool enabled = true);
  bool IsMouseEnabled() const { return m_bMouseEnabled; }
  void SetMouseEnabled(bool enabled) { m_bMouseEnabled = enabled; }
  bool IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
  void SetKeyboardEnabled(bool enabled) { m_bKeyboardEnabled = enabled; }
  // Whether a click gives this control the keyboard focus (edits, buttons, options, combos,
  // lists, sliders). Clicking a control that does not take it clears the focus.
  virtual bool TakesFocus() const { return false; }
  bool IsFocused() const { return m_bFocused; }
  void SetFocus();
  // Whether the control draws its keyboard focus itself; the others get the window's focus
  // ring (CPaintManagerUI::IsFocusVisible).
  virtual bool ShowsOwnFocus() const { return false; }
  // Where the focus ring goes, and the radius of its corners: the control's rectangle (a slider
  // rings its thumb).
  virtual RECT GetFocusRingRect(int& corner_radius) const;

  // Tree.
  CControlUI* GetParent() const { return m_pParent; }
  CPaintManagerUI* GetManager() const { return m_pManager; }
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  // Deepest visible, mouse-enabled control at `pt` (this, a descendant, or null).
  virtual CControlUI* FindControlAt(POINT pt);
  // Calls `fn` for this control and, in containers, every descendant (pre-order).
  virtual void ForEach(void (*fn)(CControlUI*, void*), void* data);

  // What screen readers and desktop automation call the control, instead of the name the
  // library finds itself (shown text, label, tooltip; see src/ui/README.md). Like the text, it
  // is a language key in resource-text mode. Setting it announces the change; empty gives the
  // found name back.
  CDuiString GetAccessibleName() const;
  void SetAccessibleName(const CDuiString& name);
  // A longer text read after the name (e.g. what a key does now); same key rule as the name.
  CDuiString GetAccessibleDescription() const;
  void SetAccessibleDescription(const CDuiString& description);
  // The `name` of the control whose shown text names this one (the label beside a field).
  CDuiString GetAccessibleLabel() const;
  void SetAccessibleLabel(const CDuiString& control_name);
  // "tab": an option that picks a page is announced as a page tab; empty: by its class.
  CDuiString GetAccessibleRole() const;
  void SetAccessibleRole(const CDuiString& role);

  // Attributes by name, as in layout files ("pos", "bkimage", "visible" ...). Unknown names
  // are ignored. ApplyAttributeList takes `name="value" name2="value2"`.
  virtual void SetAttribute(const CDuiString& name, const CDuiString& value);
  void ApplyAttributeList(const CDuiString& list);

  // Input and drawing, called by the paint manager.
  virtual void DoEvent(TEventUI& event);
  virtual void DoInit() {}
  virtual void DoPaint(CPaintContext& ctx, const RECT& dirty);
  // Raises "click" (buttons) or the control's activation; false when disabled or hidden.
  virtual bool Activate();

  void Invalidate();
  // Layout of this control (or of its parent, when its size changed) must be redone.
  void NeedUpdate();
  void NeedParentUpdate();

  // Sends a notification from this control through its paint manager.
  void SendNotify(const CDuiString& type, WPARAM wParam = 0, LPARAM lParam = 0);

  // Internal bookkeeping of the paint manager.
  bool IsInited() const { return m_bInited; }
  void MarkInited() { m_bInited = true; }
  bool IsNameHidden() const { return m_bNameHidden; }

 protected:
  // Containers whose children are items (lists, combos) keep them out of the window's name map.
  virtual bool HidesChildNames() const { return false; }
  virtual void PaintBkColor(CPaintContext& ctx);
  virtual void PaintBkImage(CPaintContext& ctx);
  virtual void PaintStatusImage(CPaintContext& ctx);
  virtual void PaintText(CPaintContext& ctx);
  virtual void PaintBorder(CPaintContext& ctx);
  // Draws an image (image syntax) into `rc` (the control's rect when null). False when the
  // image is missing.
  bool DrawImage(CPaintContext& ctx, const CDuiString& image, const RECT* rc = nullptr);

  CPaintManagerUI* m_pManager = nullptr;
  CControlUI* m_pParent = nullptr;
  CDuiString m_sName;
  CDuiString m_sText;
  CDuiString m_sToolTip;
  CDuiString m_sUserData;
  CDuiString m_sVirtualWnd;
  CDuiString m_sBkImage;
  CDuiString m_sFont;
  // Only controls that set an accessible attribute pay for these texts.
  std::unique_ptr<TAccessibleInfoUI> m_pAccessible;
  RECT m_rcItem;
  RECT m_rcPadding;
  SIZE m_cXY;
  SIZE m_cxyFixed;
  SIZE m_cxyMin;
  DWORD m_dwBackColor = 0;
  DWORD m_dwBorderColor = 0;
  int m_nBorderSize = 0;
  UINT_PTR m_pTag = 0;
  bool m_bVisible = true;
  bool m_bInternVisible = true;
  bool m_bEnabled = true;
  bool m_bMouseEnabled = true;
  bool m_bKeyboardEnabled = true;
  bool m_bFocused = false;
  bool m_bFloat = false;
  bool m_bResourceText = false;
  bool m_bInited = false;
  bool m_bNameHidden = false;
};

}  // namespace DuiLib
