// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the fixed bytes of each upload and reads its fields, as the keyboard does before it
// stores an upload. An upload with any problem is refused whole and stored nowhere.
#ifndef KB_HID_UPLOAD_DECODER_H
#define KB_HID_UPLOAD_DECODER_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "virtual/keyboard_protocol.h"
#include "virtual_keyboard.h"

namespace kb::hid {

using Page = std::span<const uint8_t, wire::kPagePayload>;

struct LightingUpload {
  int bank = 0;
  int32_t light_mode = 0;
  vkb_mode_slot slots[VKB_MODE_SLOTS]{};
  uint8_t custom_brightness = 0;
};

std::optional<LightingUpload> DecodeLightingBlock(Page block, std::vector<std::string>& violations);

// Colour piece `piece` (0..7): true when its bytes may be stored.
bool CheckColorPiece(unsigned piece, Page data, std::vector<std::string>& violations);

// Key map page `page` (0..3).
bool CheckKeyMapPage(unsigned page, Page data, std::vector<std::string>& violations);

// Macro page `page` (0..19).
bool CheckMacroPage(unsigned page, Page data, std::vector<std::string>& violations);

}  // namespace kb::hid

#endif
