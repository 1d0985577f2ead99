// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// X pointer button → the Windows mouse message the program's recorder understands.

#include <cstdint>
#include <optional>

namespace kb::hook {

enum MouseMessage : std::uint32_t {
  kLeftDown = 0x201,
  kLeftUp = 0x202,
  kRightDown = 0x204,
  kRightUp = 0x205,
  kMiddleDown = 0x207,
  kMiddleUp = 0x208,
  kWheel = 0x20A,
  kExtraDown = 0x20B,
  kExtraUp = 0x20C,
};

// The extra-button numbers carried in lparam of kExtraDown/kExtraUp.
inline constexpr std::intptr_t kExtraBack = 1;
inline constexpr std::intptr_t kExtraForward = 2;
// One notch, as Windows reports it; positive away from the user (button 4).
inline constexpr std::intptr_t kWheelDelta = 120;

struct MouseEvent {
  std::uint32_t message;
  std::intptr_t lparam;
  friend bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

// The event for X button `button` going down (`press`) or up, or nothing for buttons without
// a Windows counterpart (horizontal scrolling 6/7, buttons past 9) and for the release half of
// a wheel notch, which X reports as a click.
std::optional<MouseEvent> MouseEventFromButton(unsigned button, bool press);

}  // namespace kb::hook
