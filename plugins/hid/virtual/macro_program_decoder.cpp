// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/macro_program_decoder.h"

#include <cstdio>
#include <cstring>

#include "virtual/keyboard_protocol.h"

namespace kb::hid {
namespace {

constexpr size_t kLoopBytes = 2;
constexpr size_t kElementHead = 2;
constexpr size_t kMoveBytes = 6;       // 00 02 X Y delay 00
constexpr size_t kLongDelayBytes = 4;  // 00 01 n(16-bit big-endian)
constexpr size_t kMoveX = 2;
constexpr size_t kMoveY = 3;
constexpr size_t kMoveDelay = 4;
constexpr size_t kMovePad = 5;

class Reader {
 public:
  Reader(std::span<const uint8_t> area, size_t position) : area_(area), position_(position) {}
  size_t position() const { return position_; }
  bool Has(size_t bytes) const {
    return position_ <= area_.size() && area_.size() - position_ >= bytes;
  }
  uint8_t At(size_t relative) const { return area_[position_ + relative]; }
  void Skip(size_t bytes) { position_ += bytes; }

  // A long-delay element may follow any action and lengthens its delay.
  uint32_t TakeLongDelay() {
    if (!Has(kLongDelayBytes) || At(0) != wire::kElementControl ||
        At(1) != wire::kElementLongDelay) {
      return 0;
    }
    uint32_t hundreds = (uint32_t{At(2)} << 8) | At(3);
    Skip(kLongDelayBytes);
    return hundreds * wire::kLongDelayUnit;
  }

 private:
  std::span<const uint8_t> area_;
  size_t position_;
};

bool Fail(vkb_macro_program& program, const char* format, size_t offset) {
  std::snprintf(program.error, sizeof program.error, format, offset);
  return false;
}

uint16_t ClampDelay(uint32_t delay) {
  return delay > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(delay);
}

}  // namespace

bool DecodeMacroProgram(std::span<const uint8_t> area, uint32_t offset, vkb_macro_program& program,
                        std::span<vkb_macro_action> actions) {
  std::memset(&program, 0, sizeof program);
  Reader reader(area, offset);
  if (!reader.Has(kLoopBytes))
    return Fail(program, "offset %zu leaves no room for the loop count", offset);
  program.loops = static_cast<uint16_t>((reader.At(0) << 8) | reader.At(1));
  reader.Skip(kLoopBytes);

  for (;;) {
    size_t at = reader.position();
    if (!reader.Has(kElementHead))
      return Fail(program, "program runs past the area at offset %zu", at);
    uint8_t first = reader.At(0);
    uint8_t second = reader.At(1);
    vkb_macro_action action{};
    if (first == wire::kElementControl && second == wire::kElementEnd) {
      reader.Skip(kElementHead);
      break;
    }
    if (first == wire::kElementControl && second == wire::kElementMove) {
      if (!reader.Has(kMoveBytes)) return Fail(program, "move at offset %zu is cut off", at);
      if (reader.At(kMovePad) != 0)
        return Fail(program, "move at offset %zu has a nonzero sixth byte", at);
      action.action_code = wire::kMoveActionCode;
      action.action_kind = 0;
      action.x = static_cast<int8_t>(reader.At(kMoveX));
      action.y = static_cast<int8_t>(reader.At(kMoveY));
      uint32_t delay = reader.At(kMoveDelay);
      reader.Skip(kMoveBytes);
      action.delay = ClampDelay(delay + reader.TakeLongDelay());
    } else if (first & wire::kKeyActionFlag) {
      action.action_code = second;
      action.action_kind = (first & wire::kReleaseFlag) ? 2 : 1;
      uint32_t delay = first & wire::kKeyDelayMask;
      reader.Skip(kElementHead);
      action.delay = ClampDelay(delay + reader.TakeLongDelay());
    } else if (first == wire::kElementControl && second == wire::kElementLongDelay) {
      return Fail(program, "long delay at offset %zu follows no action", at);
    } else {
      return Fail(program, "offset %zu starts no element", at);
    }
    if (program.action_count >= actions.size()) {
      return Fail(program, "more actions than the caller's array holds at offset %zu", at);
    }
    actions[program.action_count++] = action;
  }
  program.length = static_cast<uint32_t>(reader.position() - offset);
  return true;
}

}  // namespace kb::hid
