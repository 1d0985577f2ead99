// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows virtual-key codes, as the input-hook library reports them, to the usage IDs of the
// physical keys. The letter, digit, punctuation and F-key rows carry the US-layout scan code of
// their position, which turns a layout-dependent virtual key back into the key the user hit.

#include <cstdint>
#include <span>

namespace kb {

struct VirtualKeyRow {
  std::uint32_t virtual_key;
  std::uint32_t usage;
  std::uint32_t scan_code;  // set-1 make code on a US layout; 0 = no part in the layout correction
};

inline constexpr int kVirtualKeyRows = 111;

// The 111 rows. Virtual keys, usages and non-zero scan codes are each unique.
std::span<const VirtualKeyRow> VirtualKeyTable();

struct UsageLookup {
  bool found;
  std::uint32_t usage;  // 0 when not found
};

// The usage ID of the physical key behind `virtual_key` in the current keyboard layout. Keys
// whose first answer lies in 0x04..0x45 are corrected through ScanCodeOfVirtualKey; all others
// (navigation, keypad, modifiers, mouse buttons) come from the table alone.
UsageLookup UsageFromVirtualKey(std::uint32_t virtual_key);

}  // namespace kb
