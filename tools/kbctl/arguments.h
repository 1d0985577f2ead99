// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the commands' positional arguments.

#include <cstddef>
#include <string_view>

namespace kbctl {

// A position in a list of `count` things called `what` ("profile", "macro"): decimal digits
// only, inside the list. Throws UsageError for text that is not a number, CommandFailed for a
// number past the end.
std::size_t ParseIndex(std::string_view text, std::size_t count, std::string_view what);

}  // namespace kbctl
