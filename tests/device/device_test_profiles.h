// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Profiles and macros the device tests start from.

#include <cstring>
#include <memory>
#include <string>

#include "keys/assignment_kind.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kb::test {

inline std::unique_ptr<ProfileRecord> DefaultProfile(std::u16string_view name = u"Default_1") {
  ProfileList list;
  NewDefaultProfile(name, Model::KB_3, list);
  return std::move(list.front());
}

inline std::unique_ptr<MacroRecord> EmptyMacro(std::u16string_view name = u"m") {
  auto macro = std::make_unique<MacroRecord>();
  std::memset(macro.get(), 0, sizeof(MacroRecord));
  for (std::size_t i = 0; i < name.size() && i + 1 < kNameUnits; ++i) macro->name[i] = name[i];
  macro->loop_time = 1;
  return macro;
}

inline MacroAction Action(std::uint8_t code, std::uint8_t kind, std::uint16_t delay,
                          std::int32_t x = 0, std::int32_t y = 0) {
  return MacroAction{code, kind, delay, x, y};
}

inline void AddAction(MacroRecord& macro, const MacroAction& action) {
  macro.actions[macro.action_count++] = action;
}

// Binds `entry` to macro `index` of the list.
inline void BindMacro(KeyEntry& entry, int index, int loops = 1, int repeat_mode = 0) {
  entry.kind = KindByte(AssignmentKind::MacroBinding);
  entry.code[0] = 0x10;
  entry.code[1] = entry.code[2] = entry.code[3] = 0;
  entry.macro_index = index;
  entry.macro_loops = loops;
  entry.macro_repeat_mode = repeat_mode;
}

}  // namespace kb::test
