// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Quillet.so" loaded the way the program loads it: dlopen by path, the seven entry points by
// name, in the order of the program's hook function table, and the program's windows' entry.

#include <dlfcn.h>

#include <string>

#include "hook_library.h"

namespace kb::testing {

using HookFunctions = kb_hook_functions;

class LoadedHookLibrary {
 public:
  explicit LoadedHookLibrary(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) {
      error_ = dlerror();
      return;
    }
    Bind(fn_.installmousehook, "installmousehook");
    Bind(fn_.removemousehook, "removemousehook");
    Bind(fn_.enablemousehook, "enablemousehook");
    Bind(fn_.installhook, "installhook");
    Bind(fn_.removehook, "removehook");
    Bind(fn_.enablehook, "enablehook");
    Bind(fn_.mousewheelenable, "mousewheelenable");
    Bind(window_input_, "hookwindowinput");
  }
  ~LoadedHookLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  LoadedHookLibrary(const LoadedHookLibrary&) = delete;
  LoadedHookLibrary& operator=(const LoadedHookLibrary&) = delete;

  bool ok() const { return handle_ != nullptr && error_.empty(); }
  const std::string& error() const { return error_; }
  const HookFunctions& fn() const { return fn_; }
  // An event of the program's own windows (hookwindowinput).
  int WindowInput(int kind, unsigned code, bool press, bool on_x_display) const {
    return window_input_(kind, code, press ? 1 : 0, on_x_display ? 1 : 0);
  }

 private:
  template <class Fn>
  void Bind(Fn& slot, const char* name) {
    slot = reinterpret_cast<Fn>(dlsym(handle_, name));
    if (slot == nullptr && error_.empty()) error_ = std::string("missing entry point ") + name;
  }

  void* handle_;
  std::string error_;
  HookFunctions fn_{};
  hook_window_input_fn window_input_ = nullptr;
};

}  // namespace kb::testing
