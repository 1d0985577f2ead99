// SPDX-License-Identifier: GPL-3.0-or-later
// `where`: the folders and store files the other commands use, so that a user can tell which
// store a command read or changed (an installed program keeps one per user, root included).

#include <string>

#include "command.h"
#include "profile/store_paths.h"

namespace kbctl {
namespace {

// An absent place (no data folder, no installed rule) is "-", so that every line has a value.
std::string Shown(const std::filesystem::path& path) { return path.empty() ? "-" : path.string(); }

void Where(Context& context) {
  const kb::AppPaths& paths = context.paths;
  std::ostream& out = *context.out;
  out << "layout\t" << (paths.layout == kb::AppLayout::kInstalled ? "installed" : "portable")
      << '\n';
  out << "programs\t" << Shown(paths.app_dir) << '\n';
  out << "skin\t" << Shown(paths.SkinDirectory()) << '\n';
  out << "data\t" << Shown(paths.data_root) << '\n';
  for (const kb::ModelInfo* info : kb::kModels) {
    const kb::ModelPaths stores =
        paths.data_root.empty() ? kb::ModelPaths{} : kb::StorePathsOf(info->model, paths);
    out << info->id << " profiles\t" << Shown(stores.profile_store) << '\n';
    out << info->id << " macros\t" << Shown(stores.macro_store) << '\n';
  }
  out << "udev rule\t" << Shown(kb::InstalledUdevRule(paths)) << '\n';
}

constexpr Command kCommands[] = {
    {"where", "", "name the folders and store files the commands use (\"-\": none)", 0, 0, Where,
     /*needs_data=*/false},
};

}  // namespace

std::span<const Command> WhereCommands() { return kCommands; }

}  // namespace kbctl
