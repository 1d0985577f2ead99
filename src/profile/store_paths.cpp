#include "profile/store_paths.h"

#include <string>

namespace kb {

ModelPaths StorePathsOf(Model model, const AppPaths& paths) {
  const ModelInfo& info = InfoOf(model);
  return {paths.Data(std::string(info.profile_store)), paths.Data(std::string(info.macro_store))};
}

}  // namespace kb
