// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Physical key → Windows virtual-key code, by the key's position on a US keyboard.
//
// The program's key tables speak Windows virtual-key codes and correct for the active layout
// themselves, so the hook reports the code a US layout gives the key at that position, never the
// symbol the user's layout prints on it.

#include <cstdint>

namespace kb::hook {

// The virtual-key code of the key with Linux input event code `evdev_code` (KEY_A = 30 → 0x41),
// or 0 when the key has none.
std::uint8_t VirtualKeyFromEvdev(unsigned evdev_code);

// The same for an X keycode. X servers on evdev and libinput (and Xwayland, Xvfb) number keys
// as the evdev code plus 8; lower keycodes do not exist there.
std::uint8_t VirtualKeyFromX11Keycode(unsigned keycode);

}  // namespace kb::hook
