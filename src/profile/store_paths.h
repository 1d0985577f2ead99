#pragma once
// Where a model's two stores lie under the data root: the one place that turns a model into
// file paths, for the program and for kbctl alike.

#include <filesystem>

#include "common/app_directory.h"
#include "keys/keyboard_model.h"

namespace kb {

struct ModelPaths {
  std::filesystem::path profile_store;  // ".../Data/kb/kb_3/data.pros"
  std::filesystem::path macro_store;    // ".../Data/kb/kb_3/macro.mcos"
};

// The model's store paths under `paths`' data root.
ModelPaths StorePathsOf(Model model, const AppPaths& paths);

}  // namespace kb
