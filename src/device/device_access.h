// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the keyboard is and whether this user may open it, as the HID library tells it: a
// keyboard whose device node the user may not open is there, and must not read as absent.

#include <string>

namespace kb {

struct DeviceAccess {
  enum class State {
    Unknown,       // the library cannot tell (it lacks the call): present or absent only
    Absent,        // no keyboard with the model's ids
    Opened,        // `node` (interface `interface_number`) is open
    NotPermitted,  // `node` is there; opening it was refused
    OpenFailed,    // `node` is there; opening it failed with errno `error`
  };
  State state = State::Unknown;
  std::string node;
  int interface_number = -1;
  int error = 0;
};

}  // namespace kb
