// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_capture.h"

#include "keys/virtual_key_table.h"

namespace kb {

std::uint8_t ModifierBitOfVirtualKey(std::uint32_t virtual_key) {
  // The modifier usages 0xE0..0xE7 run Ctrl, Shift, Alt, Super on the left, then on the right.
  const std::uint32_t usage = UsageFromVirtualKey(virtual_key).usage;
  if (usage < 0xE0 || usage > 0xE7) return 0;
  return static_cast<std::uint8_t>(1u << ((usage - 0xE0) % 4));
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
