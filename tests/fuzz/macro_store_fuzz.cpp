// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the macro store parser on arbitrary bytes. Whatever the bytes, only whole
// records are kept and every kept record is inside the bounds the rest of the program relies on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "macro/macro_store.h"
#include "names/name_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kb::MacroList list;
  kb::MacroStoreLoad load = kb::ParseMacroStore({data, size}, list);
  if (list.size() != size / sizeof(kb::MacroRecord) ||
      load.dropped_tail_bytes != size % sizeof(kb::MacroRecord))
    std::abort();
  for (const auto& macro : list) {
    if (macro->action_count < 0 || macro->action_count > kb::kMaxMacroActions) std::abort();
    if (kb::NameOf(*macro).size() >= static_cast<std::size_t>(kb::kNameUnits)) std::abort();
  }
  return 0;
}
