// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application in front on X11: the root window's _NET_ACTIVE_WINDOW, read again at each
// of its property-change events, and that window's WM_CLASS class. The open applications are
// the classes of the windows in _NET_CLIENT_LIST. Uses the toolkit's own X connection, so it
// fits only where the program runs on X11.

#include <memory>

#include "ui/focus/focus_source.h"

namespace DuiLib::internal {

class X11FocusSource final : public FocusSource {
 public:
  X11FocusSource();
  ~X11FocusSource() override;

  // Whether the program talks to an X server (the xcb platform).
  static bool Fits();

  kb::Status Start(Changed changed) override;
  void Stop() override;
  std::vector<std::string> OpenApplications() const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib::internal
