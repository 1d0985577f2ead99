// SPDX-License-Identifier: GPL-3.0-or-later
// The entry points of "Quillet.so": the seven hook calls and the program's own windows as a
// second source of events.
//
// The listener thread is started by the first installation that finds a display and then lives
// as long as the library; with no hook installed it selects no events, so no keystroke leaves
// the X server for us. Without a display every call still succeeds and nothing is delivered.

#include "hook_library.h"

#include <memory>
#include <mutex>

#include "hook_dispatcher.h"
#include "x11_raw_input.h"

namespace kb::hook {
namespace {

class HookLibrary final : public RawInputSink {
 public:
  ~HookLibrary() override {
    std::lock_guard lock(control_);
    dispatcher_.Remove(Channel::kKeyboard);
    dispatcher_.Remove(Channel::kMouse);
    input_.reset();
  }

  int Install(Channel channel, const kb_message_target* target) {
    return Control([&] { return dispatcher_.Install(channel, target); });
  }
  int Remove(Channel channel) {
    return Control([&] {
      dispatcher_.Remove(channel);
      return true;
    });
  }
  int Enable(Channel channel, int enable) {
    dispatcher_.Enable(channel, enable != 0);
    return 1;
  }
  int EnableWheel(int enable) {
    dispatcher_.EnableWheel(enable != 0);
    return 1;
  }

  void OnKey(unsigned x_keycode, bool press) override { dispatcher_.OnKey(x_keycode, press); }
  void OnButton(unsigned button, bool press) override { dispatcher_.OnButton(button, press); }

  int WindowInput(int kind, unsigned code, int press, int on_x_display) {
    if (on_x_display != 0 && Listening()) return 0;
    const bool down = press != 0;
    switch (kind) {
      case KB_HOOK_WINDOW_KEY:
        return dispatcher_.OnKey(code, down) ? 1 : 0;
      case KB_HOOK_WINDOW_BUTTON:
        return dispatcher_.OnButton(code, down) ? 1 : 0;
      default:
        return 0;
    }
  }

 private:
  // Runs a change of the installed targets and brings the server's event selection in line.
  template <class Change>
  int Control(Change change) {
    // A target that calls back into us from its post function is on the listener thread, which
    // is alive for as long as the call lasts; taking control_ there could deadlock with a thread
    // that waits for the listener inside Select().
    if (HookDispatcher::InsideDelivery()) {
      const bool ok = change();
      if (input_) SelectInstalled();
      return ok ? 1 : 0;
    }
    std::lock_guard lock(control_);
    const bool ok = change();
    if (!ok) return 0;
    const bool any =
        dispatcher_.Installed(Channel::kKeyboard) || dispatcher_.Installed(Channel::kMouse);
    if (any && (!input_ || !input_->Alive())) {
      input_.reset();
      // No display is not an error for the caller: the hook just stays silent.
      if (!X11RawInput::Start(*this, &input_).empty()) input_.reset();
    }
    if (input_) SelectInstalled();
    return 1;
  }

  // True while the display's raw events reach us: then they already carry every event of the
  // program's windows on that display.
  bool Listening() {
    if (HookDispatcher::InsideDelivery()) return input_ && input_->Alive();
    std::lock_guard lock(control_);
    return input_ && input_->Alive();
  }

  void SelectInstalled() {
    input_->Select(dispatcher_.Installed(Channel::kKeyboard),
                   dispatcher_.Installed(Channel::kMouse));
  }

  std::mutex control_;
  HookDispatcher dispatcher_;
  std::unique_ptr<X11RawInput> input_;
};

HookLibrary& Library() {
  static HookLibrary library;
  return library;
}

}  // namespace
}  // namespace kb::hook

using kb::hook::Channel;
using kb::hook::Library;

extern "C" {

__attribute__((visibility("default"))) int installmousehook(const kb_message_target* target) {
  return Library().Install(Channel::kMouse, target);
}
__attribute__((visibility("default"))) int removemousehook(void) {
  return Library().Remove(Channel::kMouse);
}
__attribute__((visibility("default"))) int enablemousehook(int enable) {
  return Library().Enable(Channel::kMouse, enable);
}
__attribute__((visibility("default"))) int installhook(const kb_message_target* target) {
  return Library().Install(Channel::kKeyboard, target);
}
__attribute__((visibility("default"))) int removehook(void) {
  return Library().Remove(Channel::kKeyboard);
}
__attribute__((visibility("default"))) int enablehook(int enable) {
  return Library().Enable(Channel::kKeyboard, enable);
}
__attribute__((visibility("default"))) int mousewheelenable(int enable) {
  return Library().EnableWheel(enable);
}
__attribute__((visibility("default"))) int hookwindowinput(int kind, unsigned code, int press,
                                                           int on_x_display) {
  return Library().WindowInput(kind, code, press, on_x_display);
}
}
