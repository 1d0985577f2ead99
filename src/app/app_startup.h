// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up steps the program and its tests share: the skin, the page classes, the stores'
// lock.

#include <vector>

#include "common/app_directory.h"
#include "common/status.h"
#include "profile/store_lock.h"
#include "ui/dui_string.h"

namespace kb::app {

// Points the UI library at `res_dir` (with a trailing '/') and loads "theme.xml" and
// "text.xml"; a missing file leaves the defaults (no message).
void SetUpSkin(const DuiLib::CDuiString& res_dir);

// The six page classes, in the order of the page table.
void RegisterPageClasses();

// The stores' lock of every model the program starts, held until the locks are destroyed.
[[nodiscard]] Status HoldStores(const AppPaths& paths, std::vector<StoreLock>* locks);

}  // namespace kb::app
