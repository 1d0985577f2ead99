// SPDX-License-Identifier: GPL-3.0-or-later
#include "mouse_message_map.h"

namespace kb::hook {
namespace {

// X's core button numbering.
constexpr unsigned kButtonLeft = 1;
constexpr unsigned kButtonMiddle = 2;
constexpr unsigned kButtonRight = 3;
constexpr unsigned kButtonWheelUp = 4;
constexpr unsigned kButtonWheelDown = 5;
constexpr unsigned kButtonBack = 8;
constexpr unsigned kButtonForward = 9;

}  // namespace

std::optional<MouseEvent> MouseEventFromButton(unsigned button, bool press) {
  switch (button) {
    case kButtonLeft:
      return MouseEvent{press ? kLeftDown : kLeftUp, 0};
    case kButtonMiddle:
      return MouseEvent{press ? kMiddleDown : kMiddleUp, 0};
    case kButtonRight:
      return MouseEvent{press ? kRightDown : kRightUp, 0};
    case kButtonWheelUp:
      if (!press) return std::nullopt;
      return MouseEvent{kWheel, kWheelDelta};
    case kButtonWheelDown:
      if (!press) return std::nullopt;
      return MouseEvent{kWheel, -kWheelDelta};
    case kButtonBack:
      return MouseEvent{press ? kExtraDown : kExtraUp, kExtraBack};
    case kButtonForward:
      return MouseEvent{press ? kExtraDown : kExtraUp, kExtraForward};
    default:
      return std::nullopt;
  }
}

}  // namespace kb::hook
