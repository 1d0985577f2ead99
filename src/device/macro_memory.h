// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How much of the keyboard's macro memory a profile's macros take, measured with the encoder the
// apply uses, so that the macro page can say "6120 of 10000 bytes" and name what would not fit.

#include <cstddef>
#include <string>
#include <vector>

#include "device/macro_area.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kb {

struct MacroMemoryUse {
  std::size_t used = 0;    // bytes the apply would send, at most kMacroAreaCapacity
  std::size_t wanted = 0;  // bytes every bound macro's program takes together
  std::size_t capacity = kMacroAreaCapacity;
  std::vector<int> left_out;  // macro_index of each program that would not fit
};

// UI thread; `profile` is not changed (the measure runs on a copy).
MacroMemoryUse MeasureMacroMemory(const ProfileRecord& profile, const MacroList& macros);

// The names of the macros `use` leaves out, each once, in its order.
std::vector<std::u16string> LeftOutNameList(const MacroMemoryUse& use, const MacroList& macros);
// `names` joined by ", "; "" for none.
std::u16string JoinedNames(const std::vector<std::u16string>& names);
// LeftOutNameList joined.
std::u16string LeftOutNames(const MacroMemoryUse& use, const MacroList& macros);

}  // namespace kb
