// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hook_library.h"

#include <dlfcn.h>

namespace kb {

HookLibrary::~HookLibrary() { Free(); }

Status HookLibrary::Load(const std::filesystem::path& app_dir) {
  Free();
  const std::filesystem::path file = app_dir / "Quillet.so";
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return Status::Fail("cannot load " + file.string() + ": " + dlerror());
  HookFunctionTable table;
  bool all = true;
  const auto bind = [&](auto& slot, const char* name) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(dlsym(handle, name));
    all = all && slot != nullptr;
  };
  // The order of the table.
  bind(table.installmousehook, "installmousehook");
  bind(table.removemousehook, "removemousehook");
  bind(table.enablemousehook, "enablemousehook");
  bind(table.installhook, "installhook");
  bind(table.removehook, "removehook");
  bind(table.enablehook, "enablehook");
  bind(table.mousewheelenable, "mousewheelenable");
  if (!all) {
    dlclose(handle);
    return Status::Fail(file.string() + " lacks one of the seven hook entry points");
  }
  handle_ = handle;
  table_ = table;
  return Status::Ok();
}

void HookLibrary::Free() {
  if (handle_ == nullptr) return;
  (void)table_.removemousehook();
  (void)table_.removehook();
  table_ = {};
  dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace kb
