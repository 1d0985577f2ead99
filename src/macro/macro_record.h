// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A macro as one fixed-size record, the same in memory, in the macro store and in .mco files.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "names/name_units.h"

namespace kb {

inline constexpr int kMaxMacroActions = 3000;

struct MacroAction {
  std::uint8_t action_code;  // usage ID, 0xF0..0xF4 mouse button, 0xF6 mouse move
  std::uint8_t action_kind;  // 1 press, 2 release, 0 mouse move
  std::uint16_t delay;       // ms after this action, 1..65535
  std::int32_t x;            // relative move, -127..127
  std::int32_t y;
};

static_assert(sizeof(MacroAction) == 12);
static_assert(offsetof(MacroAction, action_code) == 0);
static_assert(offsetof(MacroAction, action_kind) == 1);
static_assert(offsetof(MacroAction, delay) == 2);
static_assert(offsetof(MacroAction, x) == 4);
static_assert(offsetof(MacroAction, y) == 8);

struct MacroRecord {
  char16_t name[kNameUnits];
  std::int32_t loop_time;     // 1..65535
  std::int32_t action_count;  // 0..3000
  MacroAction actions[kMaxMacroActions];

  // Each record lives in pages of its own, which the system hands out zeroed: the actions past
  // the last one used (most of a record, as most macros are short) take no memory until they
  // are written. `new MacroRecord` is thus all zeros even without an initializer.
  static void* operator new(std::size_t size);
  static void operator delete(void* record, std::size_t size) noexcept;
};

static_assert(sizeof(MacroRecord) == 36108);
static_assert(offsetof(MacroRecord, name) == 0);
static_assert(offsetof(MacroRecord, loop_time) == 100);
static_assert(offsetof(MacroRecord, action_count) == 104);
static_assert(offsetof(MacroRecord, actions) == 108);

using MacroList = std::vector<std::unique_ptr<MacroRecord>>;

// A new record holding `bytes` (one record's image). The pages of `bytes` that hold only zeros
// are not written, so they stay out of memory.
std::unique_ptr<MacroRecord> MacroRecordFromBytes(
    std::span<const std::uint8_t, sizeof(MacroRecord)> bytes);

}  // namespace kb
