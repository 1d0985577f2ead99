// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Repairs of a macro record read from a file. Every later user of a macro (editor, picker,
// device upload) indexes `actions` by `action_count` and reads `name` up to its NUL, so a record
// from disk is brought inside those bounds before it joins a list.

#include "macro/macro_record.h"

namespace kb {

struct MacroRepair {
  bool clamped_action_count = false;  // action_count was below 0 or above 3000
  bool terminated_name = false;       // name had no NUL in its 50 units
};

// Clamps action_count to 0..3000 and terminates the name. loop_time is carried as it stands:
// the editor corrects it in its field, and the device sends it as it is.
MacroRepair RepairMacro(MacroRecord& record);

}  // namespace kb
