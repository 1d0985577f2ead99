// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the profile exchange file reader on arbitrary bytes. An import either adds
// one profile and exactly one macro per bound key, each key pointing at its own new macro, or
// changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "keys/assignment_kind.h"
#include "names/name_rules.h"
#include "profile/profile_exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kb::ProfileList profiles;
  kb::MacroList macros;
  const kb::ModelTag tag = kb::MakeModelTag(u"KB_3");
  kb::ProfileImport import =
      kb::ParseProfileFile({data, size}, u"Fuzz", tag, kb::Model::KB_3, profiles, macros);
  if (import.outcome != kb::ProfileImportOutcome::Imported) {
    if (!profiles.empty() || !macros.empty()) std::abort();
    return 0;
  }
  if (profiles.size() != 1 || macros.size() != import.macros_added) std::abort();
  std::int32_t next = 0;
  for (const kb::ProfileBank& bank : profiles[0]->banks) {
    for (const kb::KeyEntry& key : bank.keys)
      if (key.kind == kb::KindByte(kb::AssignmentKind::MacroBinding) && key.macro_index != next++)
        std::abort();
    for (const kb::KeyEntry& slot : bank.fn_keys)
      if (slot.kind == kb::KindByte(kb::AssignmentKind::MacroBinding)) std::abort();
  }
  if (static_cast<std::size_t>(next) != macros.size()) std::abort();
  for (const auto& macro : macros)
    if (macro->action_count < 0 || macro->action_count > kb::kMaxMacroActions) std::abort();
  return 0;
}
