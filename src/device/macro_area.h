// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The macro area (command 0x04, pages of 512): the programs of every macro-bound key of both
// banks, back to back, and the offsets the key map points at.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/device_protocol.h"
#include "device/macro_snapshot.h"
#include "profile/profile_record.h"

namespace kb {

// The keyboard holds no more than this; its pages run 0..19, page 19 only partly inside.
inline constexpr std::size_t kMacroAreaCapacity = 10000;

struct MacroArea {
  std::vector<std::uint8_t> bytes;  // the used length, at most kMacroAreaCapacity
  int programs = 0;                 // programs appended
  int skipped_programs = 0;         // programs left out because they did not fit
  std::vector<int> skipped_macros;  // their macro_index, in upload order (a macro may repeat)
  std::size_t wanted_bytes = 0;     // what every program would take, fitting or not

  // Pages to send: the length divided by 512, rounded up (0 for an empty area).
  int pages() const {
    return static_cast<int>((bytes.size() + kBlockTransferSize - 1) / kBlockTransferSize);
  }
  // Page `page` as sent: area bytes 512p..512p+511, zero beyond the length.
  std::vector<std::uint8_t> Page(int page) const;
};

// Gives every entry of kind 17, 18 or 25 its device_macro_offset (the length of the area at that
// point, written into `record`) and appends the program of each kind-17 entry whose macro_index
// names a macro of `macros`. A program that would carry the area past kMacroAreaCapacity is not
// appended (its key still gets its offset), so the area never outgrows the keyboard.
MacroArea BuildMacroArea(ProfileRecord& record, const MacroSnapshot& macros);

}  // namespace kb
