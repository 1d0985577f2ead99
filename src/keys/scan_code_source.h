// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The platform's answer to "which scan code does this virtual key have in the current keyboard
// layout" (virtual key to scan code, set-1 make code). 0 means no translation.

#include <cstdint>
#include <functional>

namespace kb {

// Safe from any thread.
std::uint32_t ScanCodeOfVirtualKey(std::uint32_t virtual_key);

// Test seam: answers ScanCodeOfVirtualKey with `source` instead of the platform, so that tests
// can stand in for a keyboard layout. An empty function restores the platform.
using ScanCodeSource = std::function<std::uint32_t(std::uint32_t virtual_key)>;
void SetScanCodeSourceForTesting(ScanCodeSource source);

}  // namespace kb
