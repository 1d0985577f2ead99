// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names in the tab-separated listings: one line per record, whatever a name holds.

#include <string>
#include <string_view>

namespace kbctl {

// `name` as UTF-8 with its control characters escaped ("\n", "\t", "\\", "\x1b"), so that a
// name can neither break a line nor add a column.
std::string ListingText(std::u16string_view name);

}  // namespace kbctl
