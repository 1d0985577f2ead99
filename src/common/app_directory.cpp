// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/app_directory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

// The installed layout's folders as seen from its application directory; the build derives
// them from the install rules, so the two cannot drift.
#ifndef KB_INSTALLED_SKIN_FROM_APP_DIR
#error "KB_INSTALLED_SKIN_FROM_APP_DIR: the installed skin folder, relative to the programs'"
#endif
#ifndef KB_INSTALLED_UDEV_RULE_FROM_APP_DIR
#error "KB_INSTALLED_UDEV_RULE_FROM_APP_DIR: the installed udev rule, relative to the programs'"
#endif

namespace kb {

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path() / "";
  return exe.parent_path() / "";
}

namespace {

// The home folder of the account of the effective user, from the user database.
std::filesystem::path AccountHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir || *found->pw_dir != '/')
    return {};
  return found->pw_dir;
}

// True when the nearest folder of `path` that exists belongs to a user other than the
// effective one.
bool BelongsToAnotherUser(const std::filesystem::path& path) {
  for (std::filesystem::path p = path; !p.empty(); p = p.parent_path()) {
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0) return st.st_uid != ::geteuid();
    if (p == p.parent_path()) break;
  }
  return false;
}

}  // namespace

std::filesystem::path UserDataRoot() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    base = std::filesystem::path(home) / ".local" / "share";
  }
  if (base.empty() || (::geteuid() == 0 && BelongsToAnotherUser(base))) {
    const std::filesystem::path home = AccountHome();
    if (home.empty()) return {};
    base = home / ".local" / "share";
  }
  return base / "kbconfig" / "";
}

AppPaths ResolveAppPaths(const std::filesystem::path& app_dir) {
  AppPaths paths{app_dir, app_dir};
  std::error_code ec;
  // A folder with its own skin is portable, whatever lies around it.
  if (!std::filesystem::is_directory(app_dir / "res", ec)) {
    const std::filesystem::path skin =
        (app_dir / KB_INSTALLED_SKIN_FROM_APP_DIR).lexically_normal();
    if (std::filesystem::is_directory(skin, ec)) {
      paths.layout = AppLayout::kInstalled;
      paths.skin_dir = skin / "";
      paths.data_root = UserDataRoot();
      return paths;
    }
  }
  const std::filesystem::path data = app_dir / "Data";
  const bool data_exists = std::filesystem::is_directory(data, ec);
  const bool writable = ::access((data_exists ? data : app_dir).c_str(), W_OK) == 0;
  if (writable) return paths;
  std::filesystem::path user = UserDataRoot();
  if (user.empty()) return paths;  // nowhere better to go; saves will report the failure
  paths.data_root = std::move(user);
  return paths;
}

std::filesystem::path InstalledUdevRule(const AppPaths& paths) {
  if (paths.layout != AppLayout::kInstalled) return {};
  return (paths.app_dir / KB_INSTALLED_UDEV_RULE_FROM_APP_DIR).lexically_normal();
}

}  // namespace kb
