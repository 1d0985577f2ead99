// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_repair.h"

#include "common/utf16_text.h"

namespace kb {

MacroRepair RepairMacro(MacroRecord& record) {
  MacroRepair repair;
  if (record.action_count < 0) {
    record.action_count = 0;
    repair.clamped_action_count = true;
  } else if (record.action_count > kMaxMacroActions) {
    record.action_count = kMaxMacroActions;
    repair.clamped_action_count = true;
  }
  repair.terminated_name = TerminateField(record.name);
  return repair;
}

}  // namespace kb
