#include "keys/key_capture.h"

#include "keys/virtual_key_table.h"

namespace kb {

std::uint8_t ModifierBitOfVirtualKey(std::uint32_t virtual_key) {
  switch (virtual_key) {
    case 0x11:  // VK_CONTROL
    case 0xA2:  // VK_LCONTROL
    case 0xA3:  // VK_RCONTROL
      return 1u << 0;
    case 0x10:  // VK_SHIFT
    case 0xA0:  // VK_LSHIFT
    case 0xA1:  // VK_RSHIFT
      return 1u << 1;
    case 0x12:  // VK_MENU
    case 0xA4:  // VK_LMENU
    case 0xA5:  // VK_RMENU
      return 1u << 2;
    case 0x5B:  // VK_LWIN
    case 0x5C:  // VK_RWIN
      return 1u << 3;
    default:
      return 0;
  }
}

CaptureStep KeyCapture::OnKey(std::uint32_t virtual_key, bool press) {
  CaptureStep step;
  const std::uint8_t modifier = ModifierBitOfVirtualKey(virtual_key);
  if (!press) {
    held_ &= static_cast<std::uint8_t>(~modifier);
    // A release of a key pressed before the capture began (the Tab that entered the field) is
    // no answer.
    step.finished = captured_ != 0 && virtual_key == captured_;
    return step;
  }
  captured_ = virtual_key;
  step.key_changed = true;
  step.usage = static_cast<std::uint8_t>(UsageFromVirtualKey(virtual_key).usage & 0xFF);
  if (modifier != 0) {
    held_ |= modifier;
  } else if (held_ != 0) {
    // A key alone keeps the ticks the user set by hand.
    step.modifiers_changed = true;
    step.modifiers = held_;
  }
  return step;
}

}  // namespace kb
