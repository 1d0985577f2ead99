#include "profile/store_paths.h"

#include <ctime>
#include <string>

#include "common/file_io.h"

namespace kb {

ModelPaths StorePathsOf(Model model, const AppPaths& paths) {
  const ModelInfo& info = InfoOf(model);
  return {paths.Data(std::string(info.profile_store)), paths.Data(std::string(info.macro_store))};
}

bool IsAStore(const std::filesystem::path& path, const AppPaths& paths) {
  for (const ModelInfo* info : kModels) {
    const ModelPaths stores = StorePathsOf(info->model, paths);
    if (SameFile(path, stores.profile_store) || SameFile(path, stores.macro_store)) return true;
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
