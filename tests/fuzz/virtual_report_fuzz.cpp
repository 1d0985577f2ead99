// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the virtual keyboard's report decoder on any sequence of reports, then the
// macro programs read back out of what it stored. Input: records of one selector byte (even: an
// 8-byte feature report follows, odd: a 64-byte output report) until the bytes run out; seeds
// are the report streams of real applies (scripts/make-fuzz-seeds.sh).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "virtual/keyboard_emulator.h"
#include "virtual/keyboard_protocol.h"
#include "virtual/macro_program_decoder.h"

namespace wire = kb::hid::wire;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kb::hid::KeyboardEmulator keyboard;
  std::size_t at = 0;
  while (at < size) {
    const bool feature = (data[at] & 1) == 0;
    const std::size_t length = feature ? wire::kFeatureReportBytes : wire::kOutputReportBytes;
    if (size - at - 1 < length) break;
    const std::uint8_t* report = data + at + 1;
    if (feature)
      keyboard.OnFeatureReport(std::span<const std::uint8_t, wire::kFeatureReportBytes>(
          report, wire::kFeatureReportBytes));
    else
      keyboard.OnOutputReport(std::span<const std::uint8_t, wire::kOutputReportBytes>(
          report, wire::kOutputReportBytes));
    at += 1 + length;
  }
  vkb_state state{};
  keyboard.FillState(state, true);
  kb::hid::KeyboardEmulator::InputReport input{};
  while (keyboard.TakeInputReport(input)) {
  }

  // The programs lie one after the other from the area's start, as the program writes them.
  const std::span<const std::uint8_t> area = keyboard.macro_area().first(wire::kMacroAreaLimit);
  std::vector<vkb_macro_action> actions(3000);
  std::uint32_t offset = 0;
  while (offset < area.size()) {
    vkb_macro_program program{};
    if (!kb::hid::DecodeMacroProgram(area, offset, program, actions)) break;
    if (program.length == 0 || program.action_count > actions.size() ||
        program.length > area.size() - offset)
      std::abort();
    offset += program.length;
  }
  return 0;
}
