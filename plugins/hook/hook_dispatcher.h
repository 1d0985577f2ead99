// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who gets the input events and whether they flow: the state behind the seven entry points.
//
// Events are posted while the state lock is held, so once Remove() or Enable(false) has
// returned no event of that channel reaches the old target any more. The lock is recursive so
// that a target which calls back into the library from its post function cannot deadlock.

#include <mutex>
#include <optional>

#include "kb_message_target.h"

namespace kb::hook {

enum class Channel { kKeyboard, kMouse };

class HookDispatcher {
 public:
  // Any thread. A new installation replaces the previous target and enables the channel,
  // whatever an earlier Enable(false) said. False, and nothing changes, without a post function.
  bool Install(Channel channel, const kb_message_target* target);
  void Remove(Channel channel);
  void Enable(Channel channel, bool enable);
  void EnableWheel(bool enable);
  bool Installed(Channel channel) const;

  // One physical event each, X keycode or X button number, from the listener thread or the
  // program's own windows. True when it was posted.
  bool OnKey(unsigned x_keycode, bool press);
  bool OnButton(unsigned button, bool press);

  // True on the thread that is inside a target's post function.
  static bool InsideDelivery();

 private:
  struct State {
    std::optional<kb_message_target> target;
    bool enabled = false;
  };
  State& StateOf(Channel channel) { return channel == Channel::kKeyboard ? keyboard_ : mouse_; }
  const State& StateOf(Channel channel) const {
    return channel == Channel::kKeyboard ? keyboard_ : mouse_;
  }
  void Post(const State& state, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

  mutable std::recursive_mutex mutex_;
  State keyboard_;
  State mouse_;
  bool wheel_enabled_ = true;
};

}  // namespace kb::hook
