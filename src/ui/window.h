// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CWindowWnd: a top-level window. Messages carry Windows numbers (ui_messages.h) and arrive in
// HandleMessage on the UI thread. PostMessage may be called from any thread: posts are
// delivered on the UI thread, in the order they were posted, through the application's event
// queue. Everything else is for the UI thread only.

#include <functional>
#include <memory>
#include <vector>

#include "kb_message_target.h"
#include "ui/dui_string.h"
#include "ui/ui_messages.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CPaintManagerUI;
namespace internal {
class HostWidget;
}

class CWindowWnd {
 public:
  CWindowWnd();
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const;
  operator HWND() const { return GetHWND(); }
  // The live window behind a handle, or null (also for a handle of a destroyed window).
  static CWindowWnd* FromHandle(HWND hwnd);
  bool IsWindow() const;

  // Creates the (hidden unless WS_VISIBLE) window; WM_CREATE reaches HandleMessage before this
  // returns. `parent` owns it: it stays above it and is centred over it. WS_POPUP style with
  // WS_EX_TOOLWINDOW or a plain popup both give a frameless window.
  HWND Create(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style, int x = 0,
              int y = 0, int cx = 0, int cy = 0);
  HWND Create(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style, const RECT& rc);
  HWND CreateDuiWindow(HWND parent, const CDuiString& name, DWORD style = UI_WNDSTYLE_DIALOG,
                       DWORD ex_style = 0);

  void ShowWindow(bool show = true, bool take_focus = true);
  bool IsWindowVisible() const;
  // Shows the window modally and runs a nested event loop until the window is destroyed;
  // returns the code given to Close (0 for a close by the system or Escape). Modal runs nest.
  UINT ShowModal();
  // True while ShowModal runs for this window.
  bool IsModal() const;
  // Asks the window to close (WM_CLOSE, handled when the current event is finished); the
  // default handling destroys it. `ret` becomes ShowModal's result.
  void Close(UINT ret = 1);
  // Destroys the window when the current event is finished: WM_DESTROY, then OnFinalMessage.
  void DestroyWindow();
  void CenterWindow();
  void BringToFront();
  bool IsMinimized() const;
  void Restore();
  void Minimize();

  // The window text names the window for the program ("MsgWnd"); the desktop (task bar,
  // Alt-Tab, the title a window manager draws) is shown the desktop title instead: the title
  // the window's caption shows, else its owner's desktop title, else the window text. It is
  // taken each time the window is shown.
  void SetWindowText(const CDuiString& text);
  CDuiString GetWindowText() const;
  CDuiString GetDesktopTitle() const;
  // What the desktop was last shown as the window's title.
  CDuiString GetNativeTitleForTesting() const;
  // An image file of the skin (or an absolute path).
  void SetIcon(const CDuiString& image_file);

  // Screen coordinates.
  RECT GetWindowRect() const;
  void MoveWindow(int x, int y);
  void ResizeClient(int cx, int cy);
  SIZE GetClientSize() const;

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Any thread while this object lives; threads that may outlive it post through the handle
  // (free PostMessage) or the message target instead. False when the window is gone.
  bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // A target through which the plugins post to this window from any thread. Stays safe after
  // the window is destroyed (posts are then dropped).
  kb_message_target GetMessageTarget() const;

  // Window timers: WM_TIMER with wParam = id every `elapse_ms`. Setting an id again restarts it.
  bool SetTimer(UINT id, UINT elapse_ms);
  bool KillTimer(UINT id);
  // Test seam: delivers WM_TIMER for a running timer now.
  bool FireTimerForTesting(UINT id);

  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The paint manager that draws this window (null for a bare CWindowWnd).
  virtual CPaintManagerUI* GetPaintManager() { return nullptr; }

  // Test seams. The modal hook runs inside every ShowModal's loop once the window is shown;
  // it answers the window (click its buttons through ui/ui_test_driver.h, or Close it). The
  // innermost modal window, and all live windows.
  using ModalHook = std::function<void(CWindowWnd&)>;
  static void SetModalHookForTesting(ModalHook hook);
  static CWindowWnd* GetActiveModal();
  static std::vector<CWindowWnd*> GetOpenWindows();
  internal::HostWidget* NativeHostForTesting() const;

  virtual CDuiString GetWindowClassName() const = 0;

 protected:
  virtual UINT GetClassStyle() const { return 0; }
  // Popup windows (menus, drop-downs) close when the user clicks elsewhere.
  virtual bool IsPopupWindow() const { return false; }
  // Called after WM_DESTROY when the window is gone; a heap window may delete itself here.
  virtual void OnFinalMessage(HWND hwnd);

 private:
  friend class internal::HostWidget;
  void DestroyNow();
  void DeliverPosted(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnNativeKey(UINT vkey, WORD key_state, const CDuiString& text);
  void OnNativeTimer(int native_id);
  struct Impl;
  std::unique_ptr<Impl> w_;
};

// Handle-based forms, as the pages use them with the main window handle.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
bool IsWindow(HWND hwnd);
kb_message_target MessageTargetOf(HWND hwnd);
bool GetWindowRect(HWND hwnd, RECT* rc);

// Screen geometry.
POINT GetCursorPos();
RECT GetScreenRect();
RECT GetWorkArea();

}  // namespace DuiLib
