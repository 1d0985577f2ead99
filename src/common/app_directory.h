// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program's parts lie. Two layouts:
//  - portable (the build's bundle and demo folders, a copied folder): everything beside the
//    executable: res/, KB/, Quillet.so and Data/; Data/ moves to the user's data folder only
//    when that folder cannot be written;
//  - installed (a package, `cmake --install`): the programs and their libraries in
//    PREFIX/lib/kbconfig/, the skin in PREFIX/share/kbconfig/res/, and the data always in the
//    user's data folder: the prefix belongs to the system, and root, who could write there,
//    would keep a second store that no user sees and that no package removes.

#include <filesystem>
#include <string>

namespace kb {

// Folder of /proc/self/exe with a trailing separator.
std::filesystem::path ExecutableDirectory();

enum class AppLayout { kPortable, kInstalled };

struct AppPaths {
  std::filesystem::path app_dir;     // the programs, KB/, Quillet.so
  std::filesystem::path data_root;   // the folder that holds Data/; empty when there is none
  std::filesystem::path skin_dir{};  // the skin; empty means app_dir/res/ (a portable layout)
  AppLayout layout = AppLayout::kPortable;

  // The skin folder, with a trailing separator.
  std::filesystem::path SkinDirectory() const {
    return skin_dir.empty() ? app_dir / "res" / "" : skin_dir;
  }
  std::filesystem::path Resource(const std::string& relative) const {
    return SkinDirectory() / relative;
  }
  std::filesystem::path Data(const std::string& relative) const { return data_root / relative; }
};

// The user's data folder, $XDG_DATA_HOME/kbconfig/ (default ~/.local/share/kbconfig/); the home
// folder of the user's account when neither variable names one. For root, a folder that belongs
// to another user (a `sudo -E` that kept the caller's variables) is never taken: root's own
// files there would lock that user out of the stores. Empty when no folder can be found.
std::filesystem::path UserDataRoot();

// The layout `app_dir` is part of, and its folders. Installed: the skin in the installed share
// folder, the data in UserDataRoot(). Portable: data_root is app_dir when app_dir is writable
// (or Data/ already exists there and is writable); otherwise UserDataRoot().
AppPaths ResolveAppPaths(const std::filesystem::path& app_dir);

// The udev rule that gives the logged-in user the keyboards' hidraw nodes, where the installed
// layout keeps it (PREFIX/lib/udev/rules.d/70-kbconfig.rules); empty in a portable layout,
// where nothing installed it and the copy to install is the source tree's dist/ one.
std::filesystem::path InstalledUdevRule(const AppPaths& paths);

}  // namespace kb
