// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language key of a usage ID's display name. The texts themselves live in the skin's
// language file; this is only the mapping from usage to key.

#include <cstdint>
#include <string_view>

namespace kb {

// The name key of `usage` (for example "key_A" for 0x04, "L_Button" for 0xF0), or "" for a
// value without a name. Safe from any thread.
std::string_view KeyNameFromUsage(std::uint32_t usage);

}  // namespace kb
