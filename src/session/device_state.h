// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the model's keyboard is reachable.

namespace kb {

// The values the controller keeps: 1 present and opened, 2 absent.
enum class DeviceState : int { Present = 1, Absent = 2 };

}  // namespace kb
