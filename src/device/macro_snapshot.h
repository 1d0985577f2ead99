// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copies of the macros a profile's keys name, by their position in the macro list: what one
// apply sends, and what the next apply compares against.

#include <cstddef>
#include <map>
#include <memory>

#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kb {

// Immutable once taken; copies share the records, so it may be copied under a lock cheaply
// and read on another thread.
class MacroSnapshot {
 public:
  // Copies, from `list`, every macro that an entry of either bank of `record` names
  // (macro_index 0 or more), and remembers the positions that name no macro. Only these
  // positions can matter: change detection looks the snapshot up only for entries whose key
  // bytes equal those of the record it was taken with, and those name the same positions.
  static MacroSnapshot Take(const ProfileRecord& record, const MacroList& list);

  // The macro at `position` when the snapshot was taken, or null when there was none there
  // (or the position was not named).
  const MacroRecord* Find(int position) const;

  // Positions recorded, with or without a macro.
  std::size_t positions() const { return records_.size(); }

 private:
  std::map<int, std::shared_ptr<const MacroRecord>> records_;
};

// Calls `visit(entry)` for every keys and fn_keys entry of both banks, in upload order.
template <class Record, class Visit>
void ForEachEntry(Record& record, Visit&& visit) {
  for (auto& bank : record.banks) {
    for (auto& entry : bank.keys) visit(entry);
    for (auto& entry : bank.fn_keys) visit(entry);
  }
}

}  // namespace kb
