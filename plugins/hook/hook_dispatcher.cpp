// SPDX-License-Identifier: GPL-3.0-or-later
#include "hook_dispatcher.h"

#include "hook_library.h"
#include "mouse_message_map.h"
#include "virtual_key_map.h"

namespace kb::hook {
namespace {

thread_local bool tls_inside_delivery = false;

constexpr std::intptr_t kKeyPressed = 0;
constexpr std::intptr_t kKeyReleased = 1;

}  // namespace

bool HookDispatcher::Install(Channel channel, const kb_message_target* target) {
  if (target == nullptr || target->post == nullptr) return false;
  std::lock_guard lock(mutex_);
  State& state = StateOf(channel);
  state.target = *target;
  state.enabled = true;
  return true;
}

void HookDispatcher::Remove(Channel channel) {
  std::lock_guard lock(mutex_);
  StateOf(channel).target.reset();
}

void HookDispatcher::Enable(Channel channel, bool enable) {
  std::lock_guard lock(mutex_);
  StateOf(channel).enabled = enable;
}

void HookDispatcher::EnableWheel(bool enable) {
  std::lock_guard lock(mutex_);
  wheel_enabled_ = enable;
}

bool HookDispatcher::Installed(Channel channel) const {
  std::lock_guard lock(mutex_);
  return StateOf(channel).target.has_value();
}

bool HookDispatcher::InsideDelivery() { return tls_inside_delivery; }

void HookDispatcher::Post(const State& state, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam) {
  // Copied so that a target removing itself from inside post() leaves this call intact.
  const kb_message_target target = *state.target;
  const bool outer = tls_inside_delivery;
  tls_inside_delivery = true;
  target.post(target.context, message, wparam, lparam);
  tls_inside_delivery = outer;
}

bool HookDispatcher::OnKey(unsigned x_keycode, bool press) {
  const std::uint8_t vk = VirtualKeyFromX11Keycode(x_keycode);
  if (vk == 0) return false;
  std::lock_guard lock(mutex_);
  if (!keyboard_.target || !keyboard_.enabled) return false;
  Post(keyboard_, KB_HOOK_KEY_MESSAGE, vk, press ? kKeyPressed : kKeyReleased);
  return true;
}

bool HookDispatcher::OnButton(unsigned button, bool press) {
  const std::optional<MouseEvent> event = MouseEventFromButton(button, press);
  if (!event) return false;
  std::lock_guard lock(mutex_);
  if (!mouse_.target || !mouse_.enabled) return false;
  if (event->message == kWheel && !wheel_enabled_) return false;
  Post(mouse_, KB_HOOK_MOUSE_MESSAGE, event->message, event->lparam);
  return true;
}

}  // namespace kb::hook
