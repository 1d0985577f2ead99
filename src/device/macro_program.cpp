// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/macro_program.h"

#include <algorithm>

namespace kb {
namespace {

void AppendBigEndian16(std::uint32_t value, std::vector<std::uint8_t>& out) {
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void AppendLongDelay(int delay, std::vector<std::uint8_t>& out) {
  out.push_back(kLongDelayHigh);
  out.push_back(kLongDelayLow);
  AppendBigEndian16(static_cast<std::uint32_t>(delay / kLongDelayUnit), out);
}

std::uint8_t Distance(std::int32_t value) {
  const auto low = static_cast<std::uint8_t>(value & 0xFF);
  return value < 0 ? static_cast<std::uint8_t>(low | kMoveDistanceSign) : low;
}

}  // namespace

void AppendMacroAction(const MacroAction& action, std::vector<std::uint8_t>& out) {
  const int delay = action.delay == 0 ? 1 : action.delay;
  if (action.action_kind == kActionMove) {
    out.push_back(kMoveOpcodeHigh);
    out.push_back(kMoveOpcodeLow);
    out.push_back(Distance(action.x));
    out.push_back(Distance(action.y));
    if (delay <= kMoveShortDelayMax) {
      out.push_back(static_cast<std::uint8_t>(delay));
      out.push_back(0);
    } else {
      out.push_back(static_cast<std::uint8_t>(delay % kLongDelayUnit));
      out.push_back(0);
      AppendLongDelay(delay, out);
    }
    return;
  }
  const std::uint8_t flag = action.action_kind == kActionPress ? kPressFlag : kReleaseFlag;
  if (delay <= kKeyShortDelayMax) {
    out.push_back(static_cast<std::uint8_t>(delay | flag));
    out.push_back(action.action_code);
  } else {
    out.push_back(static_cast<std::uint8_t>((delay % kLongDelayUnit) | flag));
    out.push_back(action.action_code);
    AppendLongDelay(delay, out);
  }
}

std::vector<std::uint8_t> EncodeMacroProgram(const MacroRecord& macro, std::int32_t loops) {
  std::vector<std::uint8_t> out;
  AppendBigEndian16(static_cast<std::uint32_t>(loops) & 0xFFFF, out);
  const int count = std::clamp(macro.action_count, 0, kMaxMacroActions);
  for (int i = 0; i < count; ++i) AppendMacroAction(macro.actions[i], out);
  out.insert(out.end(), kProgramEndMarkSize, 0);
  return out;
}

}  // namespace kb
