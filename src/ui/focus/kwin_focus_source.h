// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application in front on KDE Plasma under Wayland, where only the compositor knows the
// active window: a small KWin script, loaded over KWin's scripting D-Bus interface, reports the
// active window's resource class (a Wayland window's app_id, an X11 one's WM_CLASS class) and the
// open windows' classes back over D-Bus to an object this source registers on the session bus.
// Plasma 6 and Plasma 5 name the workspace's signals differently; the script takes either.

#include <memory>

#include "ui/focus/focus_source.h"

namespace DuiLib::internal {

class KWinFocusSource final : public FocusSource {
 public:
  KWinFocusSource();
  ~KWinFocusSource() override;

  // KDE on Wayland, or KWin on the session bus where the program has no X11 of its own to ask.
  static bool Fits(bool has_x11);

  kb::Status Start(Changed changed) override;
  // Unloads the script and removes its file.
  void Stop() override;
  std::vector<std::string> OpenApplications() const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib::internal
