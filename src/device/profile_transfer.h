// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two transfers the program makes: the profile upload of an apply and the resume handshake.
// Pure protocol: what to send comes in, reports go out through the writer.

#include <cstddef>
#include <vector>

#include "common/status.h"
#include "device/change_detection.h"
#include "device/macro_snapshot.h"
#include "device/transfer_writer.h"
#include "profile/profile_record.h"

namespace kb {

struct ProfileTransferResult {
  ChangedFlags changed;  // the parts the transfer carried
  int macro_pages = 0;
  int macro_programs = 0;
  int skipped_programs = 0;         // programs that did not fit the macro area
  std::vector<int> skipped_macros;  // the macro_index of each, in upload order
  std::size_t reports = 0;          // calls made, the failed one included
  Status status = Status::Ok();     // the first failed call; nothing was sent after it
};

// Begin, the parts `changed` names (lighting, colours, macro area and key map), begin, end.
// When keys are sent, the macro area is built first and writes this transfer's
// device_macro_offset into `record`, which the key map then carries.
ProfileTransferResult SendProfileTransfer(ProfileRecord& record, const MacroSnapshot& macros,
                                          ChangedFlags changed, TransferWriter& writer);

// Begin, then end with index 0x66.
Status SendResumeTransfer(TransferWriter& writer);

}  // namespace kb
