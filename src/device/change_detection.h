// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which parts of a profile an apply has to send, found by comparing with what the last apply
// sent.

#include "device/macro_snapshot.h"
#include "profile/profile_record.h"

namespace kb {

struct ChangedFlags {
  bool lighting = false;
  bool colors = false;
  bool keys = false;

  static ChangedFlags All() { return {true, true, true}; }
  bool any() const { return lighting || colors || keys; }
  friend bool operator==(const ChangedFlags&, const ChangedFlags&) = default;
};

// Compares both banks of `last_applied` and `current`. Keys also count as changed when an entry
// of `current` names a macro position (macro_index 0 or more) whose record in `macros` (the
// macros as they are now) differs from the one in `last_macros` (as last sent), or is missing
// from either.
ChangedFlags DetectChanges(const ProfileRecord& last_applied, const ProfileRecord& current,
                           const MacroSnapshot& macros, const MacroSnapshot& last_macros);

}  // namespace kb
