#include "device/macro_memory.h"

#include <memory>

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

}  // namespace kb
