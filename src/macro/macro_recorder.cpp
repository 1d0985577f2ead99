// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_recorder.h"

#include <algorithm>

#include "keys/virtual_key_table.h"

namespace kb {

std::optional<TranslatedEvent> TranslateHookEvent(std::uint32_t wparam, std::intptr_t lparam) {
  constexpr std::uint8_t kLeft = 0xF0, kRight = 0xF1, kMiddle = 0xF2, kForward = 0xF3,
                         kBackward = 0xF4;
  switch (wparam) {
    case kMouseLeftDown:
      return TranslatedEvent{kLeft, true};
    case kMouseLeftUp:
      return TranslatedEvent{kLeft, false};
    case kMouseRightDown:
      return TranslatedEvent{kRight, true};
    case kMouseRightUp:
      return TranslatedEvent{kRight, false};
    case kMouseMiddleDown:
      return TranslatedEvent{kMiddle, true};
    case kMouseMiddleUp:
      return TranslatedEvent{kMiddle, false};
    case kMouseWheel:
      return std::nullopt;
    case kMouseExtraDown:
    case kMouseExtraUp:
      if (lparam == 1 || lparam == 2) {
        return TranslatedEvent{lparam == 1 ? kBackward : kForward, wparam == kMouseExtraDown};
      }
      break;  // an extra button the hook does not name: taken as a key, as any other message
    default:
      break;
  }
  const UsageLookup usage = UsageFromVirtualKey(wparam);
  return TranslatedEvent{static_cast<std::uint8_t>(usage.found ? usage.usage : 0), lparam == 0};
}

void MacroRecorder::Start(MacroWorkingState& state, std::string_view default_delay_text,
                          Clock::time_point now) {
  if (state.selected() < 0) {
    state.ClearAll();
    state.BeginInsertAfter(-1);
  } else {
    state.BeginInsertAfter(state.selected());
  }
  recording_ = true;
  default_delay_ =
      static_cast<std::uint16_t>(ClampDelayOrLoops(ReadLeadingInteger(default_delay_text)));
  last_time_ = now;
}

std::uint16_t MacroRecorder::DelaySinceLast(Clock::time_point now) const {
  switch (delay_mode_) {
    case DelayMode::OneMillisecond:
      return 1;
    case DelayMode::DefaultDelay:
      return default_delay_;
    case DelayMode::Measured: {
      // Rounded to the nearest millisecond, as the steady clock is finer than that.
      const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now - last_time_);
      const long long ms = (std::max<long long>(micros.count(), 0) + 500) / 1000;
      return static_cast<std::uint16_t>(std::min<long long>(ms, 65535));
    }
  }
  return 1;
}

MacroRecorder::Outcome MacroRecorder::OnHookEvent(MacroWorkingState& state, std::uint32_t wparam,
                                                  std::intptr_t lparam, Clock::time_point now,
                                                  std::uint8_t* captured) {
  const std::pair<std::uint32_t, std::intptr_t> event{wparam, lparam};
  if (last_event_ == event) return Outcome::Repeat;
  last_event_ = event;
  const std::optional<TranslatedEvent> translated = TranslateHookEvent(wparam, lparam);
  if (!translated) return Outcome::Dropped;
  if (!recording_) {
    if (captured) *captured = translated->code;
    return Outcome::Captured;
  }

  // The delay belongs to the action before the new one. The first event of a recording has no
  // recorded action before it: the wait since the start is dropped, also when the recording goes
  // in between existing actions, whose own delays it must not overwrite.
  const std::uint16_t delay = DelaySinceLast(now);
  const int position = state.insert_position();
  if (position < 0) {
    if (state.count() >= 1) state.action(state.count() - 1).delay = delay;
  } else if (position != state.insert_start()) {
    state.action(position - 1).delay = delay;
  }
  (void)state.Insert({.action_code = translated->code,
                      .action_kind = translated->press ? kPressKind : kReleaseKind,
                      .delay = 1,
                      .x = 0,
                      .y = 0});
  last_time_ = now;
  if (state.count() >= kMaxMacroActions) {
    recording_ = false;
    return Outcome::Full;
  }
  return Outcome::Recorded;
}

}  // namespace kb
