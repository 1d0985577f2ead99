// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the capture dialogs make of the hook's key events: the key is the last one pressed, the
// modifiers held while a key that is not one of them goes down are the shortcut's modifiers
// (with none held, the ones ticked by hand stay), and the capture is over when the captured key
// comes up. A release never names the key: letting go
// of Ctrl after A must not turn Ctrl+A into Ctrl. No state of the dialog's own, so it can be
// checked without a window.

#include <cstdint>

namespace kb {

// Modifier bits as a shortcut stores them: bit 0 Ctrl, 1 Shift, 2 Alt, 3 Super; 0 for any other
// virtual key. The sided codes the hook reports (VK_LCONTROL, VK_RWIN) count, by their usage.
std::uint8_t ModifierBitOfVirtualKey(std::uint32_t virtual_key);

struct CaptureStep {
  bool key_changed = false;        // `usage` is the new captured key
  std::uint8_t usage = 0;          // the key's usage ID; 0 for a key the table lacks
  bool modifiers_changed = false;  // a key that is no modifier went down with modifiers held
  std::uint8_t modifiers = 0;      // the modifier bits held at that moment
  bool finished = false;           // the captured key came up: the capture has its answer
};

class KeyCapture {
 public:
  CaptureStep OnKey(std::uint32_t virtual_key, bool press);

 private:
  std::uint8_t held_ = 0;
  std::uint32_t captured_ = 0;  // virtual key of the last press, 0 before the first
};

}  // namespace kb
