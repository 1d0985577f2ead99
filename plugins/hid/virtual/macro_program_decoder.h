// SPDX-License-Identifier: GPL-3.0-or-later
// Reads one macro program back out of the keyboard's macro area.
#ifndef KB_HID_MACRO_PROGRAM_DECODER_H
#define KB_HID_MACRO_PROGRAM_DECODER_H

#include <cstdint>
#include <span>

#include "virtual_keyboard.h"

namespace kb::hid {

// Decodes the program starting at `offset` of `area`. Fills *program (error text included)
// and up to actions.size() actions; false when the bytes do not form a program or it has more
// actions than fit.
bool DecodeMacroProgram(std::span<const uint8_t> area, uint32_t offset, vkb_macro_program& program,
                        std::span<vkb_macro_action> actions);

}  // namespace kb::hid

#endif
