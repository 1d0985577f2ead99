// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CTrayIcon: the notification-area icon. A left click posts `message` to the window with
// lParam WM_LBUTTONUP (514), a right click with WM_RBUTTONUP (517); wParam is the icon id.

#include <memory>

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CTrayIcon {
 public:
  CTrayIcon();
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // `icon_file` is an image of the skin (or an absolute path). Replaces an icon made before.
  // False when the desktop has no notification area (the icon then only exists for tests).
  bool CreateTrayIcon(HWND hwnd, UINT icon_id, const CDuiString& tooltip, UINT message,
                      const CDuiString& icon_file);
  void DeleteTrayIcon();
  bool IsCreated() const;
  void SetTooltipText(const CDuiString& tooltip);
  CDuiString GetTooltipText() const;
  static bool IsSystemTrayAvailable();

  // Test seam: the same post a user's click makes.
  void SimulateClickForTesting(bool right);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
