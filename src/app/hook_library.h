// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Binds the input-hook library "Quillet.so" of the application directory: its seven entry
// points into a HookFunctionTable, and the program's own windows as the library's second source
// of events where it has that entry point. Without the library the table stays empty and the
// program runs on (macro recording then has no hooks).

#include <filesystem>
#include <memory>

#include "common/status.h"
#include "pages/common/hook_table.h"

namespace DuiLib {
class CWindowInputTap;
}

namespace kb {

class HookLibrary {
 public:
  HookLibrary();
  HookLibrary(const HookLibrary&) = delete;
  HookLibrary& operator=(const HookLibrary&) = delete;
  ~HookLibrary();  // removes the hooks and frees the library

  // UI thread. All seven must resolve, else nothing is bound.
  [[nodiscard]] Status Load(const std::filesystem::path& app_dir);
  // The same, done when the table is first asked whether it is bound; a failure is traced then.
  void LoadOnFirstUse(const std::filesystem::path& app_dir);
  // Removes the hooks (when bound) and frees the library.
  void Free();
  const HookFunctionTable& table() const { return table_; }

 private:
  void* handle_ = nullptr;
  HookFunctionTable table_;
  std::unique_ptr<DuiLib::CWindowInputTap> tap_;
};

}  // namespace kb
