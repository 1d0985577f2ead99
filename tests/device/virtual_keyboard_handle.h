// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The demo bundle's virtual keyboard, opened by path the way the program opens it, so that
// the test and the program's binding share one library instance and its state.

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/taken_lines.h"
#include "virtual_keyboard.h"

namespace kb::test {

inline std::filesystem::path DemoDirectory() { return KB_TEST_DEMO_DIR; }

class VirtualKeyboard {
 public:
  VirtualKeyboard() {
    const std::filesystem::path path = DemoDirectory() / "KB/Torvane_3.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr)
      throw std::runtime_error(std::string("cannot open virtual keyboard: ") + dlerror());
    Bind("vkb_switch_bank", switch_bank_);
    Bind("vkb_switch_light_mode", switch_light_mode_);
    Bind("vkb_unplug", unplug_);
    Bind("vkb_plug_in", plug_in_);
    Bind("vkb_read_state", read_state_);
    Bind("vkb_decode_macro", decode_macro_);
    Bind("vkb_take_log", take_log_);
    Bind("vkb_take_violations", take_violations_);
    Bind("vkb_reset", reset_);
  }

  bool Reset() { return reset_() != 0; }
  bool Unplug() { return unplug_() != 0; }
  bool PlugIn() { return plug_in_() != 0; }
  bool SwitchBank(int bank) { return switch_bank_(bank) != 0; }
  bool SwitchLightMode(int mode) { return switch_light_mode_(mode) != 0; }

  std::unique_ptr<vkb_state> State() {
    auto state = std::make_unique<vkb_state>();
    if (!read_state_(state.get())) throw std::runtime_error("vkb_read_state failed");
    return state;
  }

  bool DecodeMacro(std::uint32_t offset, vkb_macro_program& program,
                   std::vector<vkb_macro_action>& actions) {
    actions.assign(3000, vkb_macro_action{});
    const int ok =
        decode_macro_(offset, &program, actions.data(), static_cast<std::uint32_t>(actions.size()));
    actions.resize(ok ? program.action_count : 0);
    return ok != 0;
  }

  std::vector<std::string> TakeLog() { return Lines(take_log_); }
  std::vector<std::string> TakeViolations() { return Lines(take_violations_); }

 private:
  template <class Fn>
  void Bind(const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(dlsym(handle_, name));
    if (fn == nullptr) throw std::runtime_error(std::string("virtual keyboard lacks ") + name);
  }

  static std::vector<std::string> Lines(vkb_take_lines_fn take) { return TakenLines(take); }

  void* handle_ = nullptr;
  vkb_int_fn switch_bank_ = nullptr;
  vkb_int_fn switch_light_mode_ = nullptr;
  vkb_void_fn unplug_ = nullptr;
  vkb_void_fn plug_in_ = nullptr;
  vkb_read_state_fn read_state_ = nullptr;
  vkb_decode_macro_fn decode_macro_ = nullptr;
  vkb_take_lines_fn take_log_ = nullptr;
  vkb_take_lines_fn take_violations_ = nullptr;
  vkb_void_fn reset_ = nullptr;
};

}  // namespace kb::test
