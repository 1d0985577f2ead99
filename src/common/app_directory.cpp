#include "common/app_directory.h"

#include <unistd.h>

#include <cstdlib>

namespace kb {

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path() / "";
  return exe.parent_path() / "";
}

std::filesystem::path UserDataRoot() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    return {};
  }
  return base / "kbconfig" / "";
}

AppPaths ResolveAppPaths(const std::filesystem::path& app_dir) {
  AppPaths paths{app_dir, app_dir};
  std::error_code ec;
  const std::filesystem::path data = app_dir / "Data";
  const bool data_exists = std::filesystem::is_directory(data, ec);
  const bool writable = ::access((data_exists ? data : app_dir).c_str(), W_OK) == 0;
  if (writable) return paths;
  std::filesystem::path user = UserDataRoot();
  if (user.empty()) return paths;  // nowhere better to go; saves will report the failure
  paths.data_root = std::move(user);
  return paths;
}

}  // namespace kb
