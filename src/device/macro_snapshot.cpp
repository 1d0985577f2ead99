// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/macro_snapshot.h"

namespace kb {

MacroSnapshot MacroSnapshot::Take(const ProfileRecord& record, const MacroList& list) {
  MacroSnapshot snapshot;
  ForEachEntry(record, [&](const KeyEntry& entry) {
    const int position = entry.macro_index;
    if (position < 0 || snapshot.records_.contains(position)) return;
    std::shared_ptr<const MacroRecord> copy;
    if (static_cast<std::size_t>(position) < list.size() &&
        list[static_cast<std::size_t>(position)]) {
      copy = std::make_shared<const MacroRecord>(*list[static_cast<std::size_t>(position)]);
    }
    snapshot.records_.emplace(position, std::move(copy));
  });
  return snapshot;
}

const MacroRecord* MacroSnapshot::Find(int position) const {
  const auto found = records_.find(position);
  return found == records_.end() ? nullptr : found->second.get();
}

}  // namespace kb
