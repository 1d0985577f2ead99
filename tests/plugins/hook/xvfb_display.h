// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A private Xvfb server for one test program: started on a free display number that the
// server picks itself, ready for connections when Start() returns, killed on destruction.

#include <sys/types.h>

#include <string>

#include "common/status.h"

namespace kb::testing {

class XvfbDisplay {
 public:
  XvfbDisplay() = default;
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  // Starts the server and sets $DISPLAY to it.
  Status Start();
  // Kills the server and waits until it has gone.
  void Stop();
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

}  // namespace kb::testing
