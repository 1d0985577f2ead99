#pragma once
// Shared set-up of the UI tests: the skin folder is tests/ui/data, with a small language file.

#include "ui/dui_string.h"

namespace kbtest {

// Points the library at the test skin and loads its language file (idempotent).
void UseTestSkin();

}  // namespace kbtest
