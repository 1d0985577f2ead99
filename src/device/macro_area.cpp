// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/macro_area.h"

#include <algorithm>

#include "device/macro_program.h"
#include "keys/assignment_kind.h"

namespace kb {

std::vector<std::uint8_t> MacroArea::Page(int page) const {
  std::vector<std::uint8_t> out(kBlockTransferSize, 0);
  const std::size_t start = static_cast<std::size_t>(page) * kBlockTransferSize;
  if (start < bytes.size()) {
    const std::size_t n = std::min(kBlockTransferSize, bytes.size() - start);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(start), n, out.begin());
  }
  return out;
}

MacroArea BuildMacroArea(ProfileRecord& record, const MacroSnapshot& macros) {
  MacroArea area;
  ForEachEntry(record, [&](KeyEntry& entry) {
    if (!TakesDeviceMacroOffset(entry.kind)) return;
    const std::size_t offset = area.bytes.size();
    entry.device_macro_offset[0] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
    entry.device_macro_offset[1] = static_cast<std::uint8_t>(offset & 0xFF);
    if (entry.kind != KindByte(AssignmentKind::MacroBinding)) return;
    const MacroRecord* macro = macros.Find(entry.macro_index);
    if (macro == nullptr) return;
    const std::vector<std::uint8_t> program = EncodeMacroProgram(*macro, entry.macro_loops);
    area.wanted_bytes += program.size();
    if (offset + program.size() > kMacroAreaCapacity) {
      ++area.skipped_programs;
      area.skipped_macros.push_back(entry.macro_index);
      return;
    }
    area.bytes.insert(area.bytes.end(), program.begin(), program.end());
    ++area.programs;
  });
  return area;
}

}  // namespace kb
