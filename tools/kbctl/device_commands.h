// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device commands' pieces that do not need a keyboard: the dry run's report sequence and
// the texts the commands print.

#include <string>

#include "macro/macro_record.h"
#include "profile/profile_record.h"
#include "session/apply_outcome.h"

namespace kbctl {

// The reports a full apply of `profile` with `macros` would send, one transfer-log line each
// ("F <16 hex>", "O <128 hex>"), built without pacing and without a library.
std::string DryRunReports(const kb::ProfileRecord& profile, const kb::MacroList& macros);

// One line about what an apply did.
std::string DescribeApply(const kb::ApplyOutcome& outcome);

}  // namespace kbctl
