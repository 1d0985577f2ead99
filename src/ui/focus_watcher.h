// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application in front: the desktop's active window, named as the desktop names its program
// (the Wayland app_id, the X11 WM_CLASS class), posted as a window message whenever it changes:
// from sway's or i3's IPC socket where one is named ($SWAYSOCK, $I3SOCK), else from the X11 root
// window's _NET_ACTIVE_WINDOW. The program's own
// windows are no application of their own: while one of them is active, nothing changes.
// Started where the desktop says which window is active; elsewhere it says why not.

#include <memory>
#include <string>
#include <vector>

#include "ui/ui_types.h"

namespace DuiLib {

class CFocusWatcher {
 public:
  CFocusWatcher();
  ~CFocusWatcher();
  CFocusWatcher(const CFocusWatcher&) = delete;
  CFocusWatcher& operator=(const CFocusWatcher&) = delete;

  // Posts (message, 0, 0) to `hwnd` after each change of the application in front; Current()
  // then names it. False, with Unavailable() saying why, where this desktop does not tell. UI
  // thread.
  bool Start(HWND hwnd, UINT message);
  void Stop();
  // The application in front ("" when the active window names none).
  const std::string& Current() const;
  const std::string& Unavailable() const;
  // The applications whose windows are open now, named as Current() names them, the program's
  // own windows left out; sorted, each once. Empty where this desktop does not list its windows.
  std::vector<std::string> OpenApplications() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
