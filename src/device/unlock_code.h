// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The eight ASCII digits that follow every begin command.

#include <array>
#include <cstdint>

#include "device/device_protocol.h"

namespace kb {

using UnlockCode = std::array<std::uint8_t, kShortTransferSize>;

// Assembled on each call from the two halves in kb_device_ids.h, so the whole code never sits
// in one constant of the binary.
UnlockCode MakeUnlockCode();

}  // namespace kb
