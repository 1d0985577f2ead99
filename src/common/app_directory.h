#pragma once
// The application directory: the folder of the running executable, ending in '/'. Every skin,
// library and data path is relative to it. Data/ moves to the user's data folder when the
// application directory cannot be written (an installed, read-only layout).

#include <filesystem>
#include <string>

namespace kb {

// Folder of /proc/self/exe with a trailing separator.
std::filesystem::path ExecutableDirectory();

struct AppPaths {
  std::filesystem::path app_dir;    // res/, KB/, Quillet.so
  std::filesystem::path data_root;  // the folder that holds Data/
  std::filesystem::path Resource(const std::string& relative) const {
    return app_dir / "res" / relative;
  }
  std::filesystem::path Data(const std::string& relative) const { return data_root / relative; }
};

// The user's data folder that holds Data/ when the application directory cannot be written:
// $XDG_DATA_HOME/kbconfig (default ~/.local/share/kbconfig); empty when neither variable says
// where that is.
std::filesystem::path UserDataRoot();

// data_root is app_dir when app_dir is writable (or Data/ already exists there and is
// writable); otherwise $XDG_DATA_HOME/kbconfig (default ~/.local/share/kbconfig).
AppPaths ResolveAppPaths(const std::filesystem::path& app_dir);

}  // namespace kb
