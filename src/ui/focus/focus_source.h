// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One way of learning which application is in front, as one kind of desktop tells it: the
// focus watcher picks one at start-up. UI thread only.

#include <functional>
#include <string>
#include <vector>

#include "common/status.h"

namespace DuiLib::internal {

class FocusSource {
 public:
  // The application that came to the front, named as the desktop names its program ("" when
  // the active window names none). Called on the UI thread, possibly with the same name twice.
  using Changed = std::function<void(const std::string& app)>;

  virtual ~FocusSource() = default;
  // Starts following; the program's own windows coming to the front are never reported. Fails
  // with the reason the desktop does not tell.
  virtual kb::Status Start(Changed changed) = 0;
  virtual void Stop() = 0;
  // The applications whose windows are open now, the program's own left out, in any order and
  // possibly repeated; empty where the desktop does not say.
  virtual std::vector<std::string> OpenApplications() const = 0;
};

}  // namespace DuiLib::internal
