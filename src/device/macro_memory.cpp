// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/macro_memory.h"

#include <memory>
#include <vector>

#include "common/utf16_text.h"
#include "device/macro_snapshot.h"

namespace kb {

MacroMemoryUse MeasureMacroMemory(const ProfileRecord& profile, const MacroList& macros) {
  // The area writes offsets into the record it is built from; the user's record stays as it is.
  auto copy = std::make_unique<ProfileRecord>(profile);
  const MacroArea area = BuildMacroArea(*copy, MacroSnapshot::Take(*copy, macros));
  return {.used = area.bytes.size(),
          .wanted = area.wanted_bytes,
          .capacity = kMacroAreaCapacity,
          .left_out = area.skipped_macros};
}

std::vector<std::u16string> LeftOutNameList(const MacroMemoryUse& use, const MacroList& macros) {
  std::vector<std::u16string> names;
  std::vector<bool> named(macros.size(), false);
  for (int index : use.left_out) {
    // A macro bound to several keys is left out once for each of them, and named once.
    if (index < 0 || index >= static_cast<int>(macros.size()) || named[index]) continue;
    named[index] = true;
    names.emplace_back(FieldText(macros[index]->name));
  }
  return names;
}

std::u16string JoinedNames(const std::vector<std::u16string>& names) {
  std::u16string joined;
  for (const std::u16string& name : names) {
    if (!joined.empty()) joined += u", ";
    joined += name;
  }
  return joined;
}

std::u16string LeftOutNames(const MacroMemoryUse& use, const MacroList& macros) {
  return JoinedNames(LeftOutNameList(use, macros));
}

}  // namespace kb
