// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name field that profile and macro records both begin with.

namespace kb {

inline constexpr int kNameUnits = 50;  // 49 characters and the NUL
inline constexpr int kMaxNameLength = kNameUnits - 1;

}  // namespace kb
