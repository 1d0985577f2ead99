// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a model's two stores lie under the data root: the one place that turns a model into
// file paths, for the program and for kbctl alike.

#include <filesystem>

#include "common/app_directory.h"
#include "common/status.h"
#include "keys/keyboard_model.h"

namespace kb {

struct ModelPaths {
  std::filesystem::path profile_store;  // ".../Data/kb/kb_3/data.pros"
  std::filesystem::path macro_store;    // ".../Data/kb/kb_3/macro.mcos"
};

// The model's store paths under `paths`' data root.
ModelPaths StorePathsOf(Model model, const AppPaths& paths);

// True when a write of `path` would land on a place a store of any model may have, whether that
// store exists yet or not: under the data root of `paths`, the application directory's Data/
// and the user's data folder (UserDataRoot), reached by any name (relative, through links, a
// hard link of an existing store). An export must never be written there: it would replace a
// store, or create one that the next load reads as the user's.
bool IsAStore(const std::filesystem::path& path, const AppPaths& paths);

// Before a save replaces a store that was loaded with losses, the old file is kept beside it as
// "<name>.damaged-<date>-<time>" (local time, "data.pros.damaged-20261208-152233"). Returns the
// kept file's path in *kept.
[[nodiscard]] Status KeepDamagedStore(const std::filesystem::path& store,
                                      std::filesystem::path* kept);

}  // namespace kb
