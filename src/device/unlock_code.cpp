// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/unlock_code.h"

#include <string_view>

#include "kb_device_ids.h"

namespace kb {
namespace {

constexpr std::size_t kHalfSize = kShortTransferSize / 2;
static_assert(std::string_view(KB_UNLOCK_CODE_HIGH).size() == kHalfSize);
static_assert(std::string_view(KB_UNLOCK_CODE_LOW).size() == kHalfSize);

}  // namespace

UnlockCode MakeUnlockCode() {
  const std::string_view high = KB_UNLOCK_CODE_HIGH;
  const std::string_view low = KB_UNLOCK_CODE_LOW;
  UnlockCode code{};
  for (std::size_t i = 0; i < kHalfSize; ++i) {
    code[i] = static_cast<std::uint8_t>(high[i]);
    code[kHalfSize + i] = static_cast<std::uint8_t>(low[i]);
  }
  return code;
}

}  // namespace kb
