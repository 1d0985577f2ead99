// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/store_paths.h"

#include <ctime>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_io.h"

namespace kb {

ModelPaths StorePathsOf(Model model, const AppPaths& paths) {
  const ModelInfo& info = InfoOf(model);
  return {paths.Data(std::string(info.profile_store)), paths.Data(std::string(info.macro_store))};
}

namespace {

// Where a write of `path` lands, as one absolute name with no link or ".." in the part that
// exists, so that two names of one place compare equal also before a file is there.
std::filesystem::path LandingPlace(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(WriteTargetOf(path), ec);
  if (ec) return path.lexically_normal();
  std::filesystem::path place = std::filesystem::weakly_canonical(absolute, ec);
  return ec ? absolute.lexically_normal() : place;
}

}  // namespace

bool IsAStore(const std::filesystem::path& path, const AppPaths& paths) {
  const std::filesystem::path target = LandingPlace(path);
  std::vector<std::filesystem::path> roots{paths.data_root, paths.app_dir};
  if (std::filesystem::path user = UserDataRoot(); !user.empty()) roots.push_back(std::move(user));
  for (const std::filesystem::path& root : roots) {
    const AppPaths layout{paths.app_dir, root};
    for (const ModelInfo* info : kModels) {
      const ModelPaths stores = StorePathsOf(info->model, layout);
      for (const std::filesystem::path& store : {stores.profile_store, stores.macro_store}) {
        if (SameFile(path, store) || LandingPlace(store) == target) return true;
      }
    }
  }
  return false;
}

Status KeepDamagedStore(const std::filesystem::path& store, std::filesystem::path* kept) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, ".damaged-%Y%m%d-%H%M%S", &local);
  return KeepCopyBeside(store, stamp, kept);
}

}  // namespace kb
