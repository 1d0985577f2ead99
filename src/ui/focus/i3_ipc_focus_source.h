// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application in front in sway or i3: the window focus events of their IPC socket (named
// by $SWAYSOCK or $I3SOCK), which cover Wayland and X11 windows alike; the open applications
// from the tree that the get_tree request answers.

#include <memory>

#include "ui/focus/focus_source.h"

namespace DuiLib::internal {

class I3IpcFocusSource final : public FocusSource {
 public:
  I3IpcFocusSource();
  ~I3IpcFocusSource() override;

  // Whether the environment names an IPC socket.
  static bool Fits();

  kb::Status Start(Changed changed) override;
  void Stop() override;
  std::vector<std::string> OpenApplications() const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib::internal
