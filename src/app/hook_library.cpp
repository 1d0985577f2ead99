// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hook_library.h"

#include <dlfcn.h>

#include "ui/trace.h"
#include "ui/window_input_tap.h"

namespace kb {

HookLibrary::HookLibrary() = default;
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
  // Optional: an older library hears the X display only.
  const auto window_input =
      reinterpret_cast<hook_window_input_fn>(dlsym(handle, "hookwindowinput"));
  if (window_input != nullptr) {
    const int on_x_display = DuiLib::CWindowInputTap::WindowsOnXDisplay() ? 1 : 0;
    tap_ = std::make_unique<DuiLib::CWindowInputTap>([window_input, on_x_display](
                                                         const DuiLib::WindowInputEvent& event) {
      const int kind = event.kind == DuiLib::WindowInputEvent::Kind::kKey ? KB_HOOK_WINDOW_KEY
                                                                          : KB_HOOK_WINDOW_BUTTON;
      // 0 only says that no hook wanted it, or that the display brought it already.
      (void)window_input(kind, event.code, event.press ? 1 : 0, on_x_display);
    });
  }
  return Status::Ok();
}

void HookLibrary::LoadOnFirstUse(const std::filesystem::path& app_dir) {
  Free();
  table_.bind_on_first_use = [this, app_dir] {
    if (const Status status = Load(app_dir); !status.ok())
      DuiLib::DUI__Trace(u"%s\n", status.reason().c_str());
  };
}

void HookLibrary::Free() {
  table_.bind_on_first_use = nullptr;
  if (handle_ == nullptr) return;
  tap_.reset();
  (void)table_.removemousehook();
  (void)table_.removehook();
  table_ = {};
  dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace kb
