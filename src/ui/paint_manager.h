// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CPaintManagerUI: owns one window's control tree, finds controls by name, dispatches input to
// controls and their notifications to the notifiers, lays the tree out and paints it. A paint
// manager without a window (Init(nullptr)) builds and lays out trees for tests and benchmarks.
// Every function is for the UI thread only unless it says otherwise.

#include <memory>
#include <vector>

#include "ui/dui_string.h"
#include "ui/notify.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CControlUI;
class CWindowWnd;
class CPaintContext;
class CBitmap;
class CTheme;

// The record behind WM_MENUCLICK (wParam). Released by the receiver with DeletePtr.
struct MenuCmd {
  char16_t szName[256] = {};
  char16_t szUserData[1024] = {};
  char16_t szText[1024] = {};
  bool bChecked = false;
};

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // Binds the manager to its window (null: no window, see above).
  void Init(CWindowWnd* window);
  CWindowWnd* GetWindow() const;
  HWND GetPaintWindow() const;

  // Takes ownership of `root`, registers the names of its tree and runs DoInit on every
  // control. A previous root is deleted.
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const;
  // Registers names and runs DoInit for a subtree joining an attached tree (containers do this
  // from Add).
  void InitControls(CControlUI* control, CControlUI* parent);

  // Size of the window's client area; for a manager without a window, the area it lays out in.
  SIZE GetClientSize() const;
  void SetClientSize(SIZE size);
  SIZE GetInitSize() const;
  void SetInitSize(int cx, int cy);
  // Window area that drags the window (from the layout's "caption" attribute: left, top,
  // right, bottom; a bottom of 0 means no caption, a right of 0 means the full width).
  RECT GetCaptionRect() const;
  void SetCaptionRect(RECT rc);

  // Controls by name: the first control of the tree with that name, or null. Controls inside
  // list and combo items are not in this map; find them from their row (FindSubControl).
  CControlUI* FindControl(const CDuiString& name) const;
  CControlUI* FindControl(POINT pt) const;

  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  void SendNotify(CControlUI* sender, const CDuiString& type, WPARAM wParam = 0, LPARAM lParam = 0);
  void SendNotify(TNotifyUI& msg);

  CControlUI* GetFocus() const;
  // Moves the keyboard focus; the old control gets "killfocus" before the new one gets
  // "setfocus". Null clears the focus.
  void SetFocus(CControlUI* control);
  // Whether the window shows the focus ring: from the first key pressed in the window until a
  // mouse press there, so that the keyboard's user sees where the keys go and a mouse user is
  // spared a ring on every button clicked.
  bool IsFocusVisible() const;

  // Control timers: each expiry sends UIEVENT_TIMER to the control, which raises "timer"
  // (wParam = id). Setting an existing id restarts it.
  bool SetTimer(CControlUI* control, UINT id, UINT elapse_ms);
  bool KillTimer(CControlUI* control, UINT id);
  void KillTimers(CControlUI* control);
  // Test seam: delivers timer `id` of `control` now, as if it had expired. False when no such
  // timer runs.
  bool FireTimerForTesting(CControlUI* control, UINT id);

  // Option groups ("group" attribute).
  void AddOptionGroup(const CDuiString& group, CControlUI* control);
  void RemoveOptionGroup(const CDuiString& group, CControlUI* control);
  const std::vector<CControlUI*>* GetOptionGroup(const CDuiString& group) const;

  // Layout and painting: changes mark the layout or the picture dirty; the window repaints on
  // its next event-loop turn. UpdateLayout lays the tree out now when needed.
  void NeedUpdate();
  void Invalidate();
  bool IsUpdateNeeded() const;
  void UpdateLayout();
  // Paints now when the window is shown (UpdateWindow).
  void UpdateWindow();
  void Paint(CPaintContext& ctx, const RECT& dirty);

  // Window-local theme entries from the layout's root (fonts, colours, defaults); the global
  // theme answers what these do not.
  CTheme& LocalTheme();
  const CTheme& LocalTheme() const;

  // Named in-memory images, shared by every window: an image syntax "file='name'" finds
  // `name` here before it looks for a file. Adding under an existing name replaces it.
  static void AddImage(const CDuiString& name, const CBitmap& bitmap, bool alpha = true);
  static bool RemoveImage(const CDuiString& name);
  static bool HasImage(const CDuiString& name);

  // Skin folder (absolute, ending in '/'): layouts, images and the language file are
  // relative to it.
  static void SetResourcePath(const CDuiString& path);
  static CDuiString GetResourcePath();
  // Folder of the executable, ending in '/'.
  static CDuiString GetInstancePath();
  // Runs the application's event loop until PostQuitMessage; returns its code.
  static int MessageLoop();
  static void PostQuitMessage(int code);
  // Frees the image and font caches.
  static void Term();
  // Releases a MenuCmd received with WM_MENUCLICK.
  static void DeletePtr(void* ptr);

  // Input from the window (called by the window's native host; tests use the driver in
  // ui/ui_test_driver.h instead).
  void OnMouseMove(POINT pt, WORD key_state);
  void OnButtonDown(POINT pt, bool right, bool double_click, WORD key_state);
  void OnButtonUp(POINT pt, bool right, WORD key_state);
  void OnMouseWheel(POINT pt, int delta);
  void OnMouseLeave();
  // True when a control used the key. Tab (Shift+Tab) moves the focus to the next (previous)
  // control that takes it, in layout order, a focus group counting as one; inside a focus
  // group the arrow keys move it to the nearest member in their direction.
  bool OnKeyDown(UINT vkey, WORD key_state, const CDuiString& text);
  bool MoveFocus(bool forward);
  // The control under the pointer and the one holding the mouse capture.
  CControlUI* GetHover() const;
  CControlUI* GetCapture() const;

  // Bookkeeping for controls (not for pages).
  void RegisterName(CControlUI* control);
  void UnregisterName(CControlUI* control);
  void ReapObjects(CControlUI* control);
  // Deletes `control` now, or when the current event is finished if one is being dispatched.
  void DeleteWhenIdle(CControlUI* control);
  // Brackets input dispatch so that controls removed meanwhile die only afterwards.
  void BeginDispatch();
  void EndDispatch();
  // Moving the window by its caption.
  bool IsInCaption(POINT pt) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
