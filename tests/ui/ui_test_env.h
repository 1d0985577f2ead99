// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up of the UI tests: the skin folder is tests/ui/data, with a small language file.

#include <ostream>

#include "ui/dui_string.h"

namespace DuiLib {
// Readable test failures.
inline void PrintTo(const CDuiString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }
}  // namespace DuiLib

namespace kbtest {

// Points the library at the test skin and loads its language file (idempotent).
void UseTestSkin();

}  // namespace kbtest
