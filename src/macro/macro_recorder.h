// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recording the live keyboard and mouse into the macro page's working state: how a hook event
// becomes an action, how its delay is measured, where it is inserted and when recording ends.
// The page makes the hook calls and rebuilds its list; everything it decides is here.

#include <chrono>
#include <cstdint>
#include <optional>

#include "macro/macro_working_state.h"

namespace kb {

// The hook library's mouse messages (wParam of its button events).
inline constexpr std::uint32_t kMouseLeftDown = 0x201;
inline constexpr std::uint32_t kMouseLeftUp = 0x202;
inline constexpr std::uint32_t kMouseRightDown = 0x204;
inline constexpr std::uint32_t kMouseRightUp = 0x205;
inline constexpr std::uint32_t kMouseMiddleDown = 0x207;
inline constexpr std::uint32_t kMouseMiddleUp = 0x208;
inline constexpr std::uint32_t kMouseWheel = 0x20A;
inline constexpr std::uint32_t kMouseExtraDown = 0x20B;  // lParam 1 backward, 2 forward
inline constexpr std::uint32_t kMouseExtraUp = 0x20C;

struct TranslatedEvent {
  std::uint8_t code;  // usage ID, or 0xF0..0xF4 for a mouse button; 0 for an unknown key
  bool press;
};

// A hook event (wParam, lParam) as an action's code and direction; none for the wheel, which
// records nothing. Keys go through UsageFromVirtualKey (lParam 0 press, else release).
std::optional<TranslatedEvent> TranslateHookEvent(std::uint32_t wparam, std::intptr_t lparam);

enum class DelayMode { OneMillisecond = 0, DefaultDelay = 1, Measured = 2 };

class MacroRecorder {
 public:
  using Clock = std::chrono::steady_clock;

  bool recording() const { return recording_; }
  DelayMode delay_mode() const { return delay_mode_; }
  void set_delay_mode(DelayMode mode) { delay_mode_ = mode; }

  // Whether a recording can start on `state`: a current macro holding fewer than 3000 actions.
  static bool CanStart(bool has_macro, const MacroWorkingState& state) {
    return has_macro && state.count() < kMaxMacroActions;
  }
  // Prepares `state` and starts: with no action selected the recording replaces the whole macro,
  // otherwise it goes in after the selected action. `default_delay_text` is the default-delay
  // field as it stands; a value that reads as 0 counts as 1 (the field is corrected only when
  // it loses focus).
  void Start(MacroWorkingState& state, std::string_view default_delay_text, Clock::time_point now);
  void Stop() { recording_ = false; }

  enum class Outcome {
    Repeat,    // the same as the last event (a held key): nothing happened
    Dropped,   // the wheel
    Recorded,  // an action was inserted
    Full,      // an action was inserted and the macro now holds 3000: stop and save
    Captured,  // not recording: the code for key capture is in *captured
  };
  // One hook event. While recording, inserts the action and measures the delay of the one
  // before it; otherwise (key capture) hands back the code for the selected action. The last
  // event is remembered across recordings and captures, so the release that ended a capture is
  // not recorded by the next recording.
  Outcome OnHookEvent(MacroWorkingState& state, std::uint32_t wparam, std::intptr_t lparam,
                      Clock::time_point now, std::uint8_t* captured = nullptr);

 private:
  std::uint16_t DelaySinceLast(Clock::time_point now) const;

  bool recording_ = false;
  DelayMode delay_mode_ = DelayMode::DefaultDelay;
  std::uint16_t default_delay_ = 10;
  Clock::time_point last_time_{};
  std::optional<std::pair<std::uint32_t, std::intptr_t>> last_event_;
};

}  // namespace kb
