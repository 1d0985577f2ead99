// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/macro_program.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/device_test_profiles.h"

namespace kb {
namespace {

using test::Action;
using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const MacroAction& action) {
  Bytes out;
  AppendMacroAction(action, out);
  return out;
}

struct ActionCase {
  const char* name;
  MacroAction action;
  Bytes expected;
};

class MacroActionBytes : public ::testing::TestWithParam<ActionCase> {};

TEST_P(MacroActionBytes, Encodes) { EXPECT_EQ(Encode(GetParam().action), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    DelayForms, MacroActionBytes,
    ::testing::Values(
        // Pointer moves: 00 02 X Y, delay, 00 (short) or d%100, 00, 00 01, d/100 (long).
        ActionCase{
            "MoveDelay0CountsAs1", Action(0xF6, 0, 0, 5, 6), {0x00, 0x02, 0x05, 0x06, 0x01, 0x00}},
        ActionCase{
            "MoveDelay255Short", Action(0xF6, 0, 255, 1, 2), {0x00, 0x02, 0x01, 0x02, 0xFF, 0x00}},
        ActionCase{"MoveDelay256Long",
                   Action(0xF6, 0, 256, 0, 0),
                   {0x00, 0x02, 0x00, 0x00, 56, 0x00, 0x00, 0x01, 0x00, 0x02}},
        ActionCase{"MoveDelay300",
                   Action(0xF6, 0, 300, 0x10, 0x20),
                   {0x00, 0x02, 0x10, 0x20, 0x00, 0x00, 0x00, 0x01, 0x00, 0x03}},
        ActionCase{"MoveDelay65535",
                   Action(0xF6, 0, 65535, 0, 0),
                   {0x00, 0x02, 0x00, 0x00, 35, 0x00, 0x00, 0x01, 0x02, 0x8F}},
        ActionCase{
            "MoveNegative", Action(0xF6, 0, 1, -1, -127), {0x00, 0x02, 0xFF, 0x81, 0x01, 0x00}},
        ActionCase{"MoveNegativeOutOfRangeKeepsSign",
                   Action(0xF6, 0, 1, -200, 200),
                   {0x00, 0x02, 0xB8, 0xC8, 0x01, 0x00}},
        // Key and button actions: (d OR flag), code; long: (d%100 OR flag), code, 00 01, d/100.
        ActionCase{"PressDelay10", Action(0x04, 1, 10), {0x0B, 0x04}},
        ActionCase{"PressDelay0CountsAs1", Action(0x04, 1, 0), {0x01, 0x04}},
        ActionCase{"PressDelay127Short", Action(0x05, 1, 127), {0x7F, 0x05}},
        // 128 OR the press flag would be 0x81, the release marker: the long form keeps it a press.
        ActionCase{
            "PressDelay128Long", Action(0x05, 1, 128), {28 | 0x01, 0x05, 0x00, 0x01, 0x00, 0x01}},
        ActionCase{
            "ReleaseDelay128Long", Action(0x05, 2, 128), {28 | 0x81, 0x05, 0x00, 0x01, 0x00, 0x01}},
        ActionCase{
            "PressDelay129Long", Action(0x05, 1, 129), {29 | 0x01, 0x05, 0x00, 0x01, 0x00, 0x01}},
        ActionCase{"PressDelay250", Action(0x06, 1, 250), {0x33, 0x06, 0x00, 0x01, 0x00, 0x02}},
        ActionCase{"ReleaseDelay10", Action(0x04, 2, 10), {0x8B, 0x04}},
        ActionCase{"ReleaseDelay1000", Action(0xF0, 2, 1000), {0x81, 0xF0, 0x00, 0x01, 0x00, 0x0A}},
        ActionCase{"OtherKindIsARelease", Action(0x07, 9, 20), {20 | 0x81, 0x07}},
        ActionCase{"MouseButtonPress", Action(0xF1, 1, 2), {0x03, 0xF1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MacroProgram, LoopsBigEndianActionsThenEndMark) {
  auto macro = test::EmptyMacro();
  test::AddAction(*macro, Action(0x04, 1, 10));
  test::AddAction(*macro, Action(0xF6, 0, 300, 3, -3));
  test::AddAction(*macro, Action(0x04, 2, 250));
  const Bytes expected{0x01, 0x2C,  // 300 loops
                       0x0B, 0x04,  // press A, 10 ms
                       0x00, 0x02, 0x03, 0xFD, 0x00, 0x00,
                       0x00, 0x01, 0x00, 0x03,              // move (3, -3), 300 ms
                       0xB3, 0x04, 0x00, 0x01, 0x00, 0x02,  // release A, 250 ms
                       0x00, 0x00};
  EXPECT_EQ(EncodeMacroProgram(*macro, 300), expected);
}

TEST(MacroProgram, NoActionsGivesLoopsAndEndMark) {
  const auto macro = test::EmptyMacro();
  EXPECT_EQ(EncodeMacroProgram(*macro, 1), (Bytes{0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(EncodeMacroProgram(*macro, 0x12345), (Bytes{0x23, 0x45, 0x00, 0x00})) << "low 16 bits";
}

TEST(MacroProgram, DamagedActionCountNeverReadsPastTheActions) {
  auto macro = test::EmptyMacro();
  macro->action_count = 5000;
  // Zeroed actions are moves with delay 0 (sent as 1): 6 bytes each.
  EXPECT_EQ(EncodeMacroProgram(*macro, 1).size(), 2u + 6u * kMaxMacroActions + 2u);
  macro->action_count = -4;
  EXPECT_EQ(EncodeMacroProgram(*macro, 1).size(), 4u);
}

}  // namespace
}  // namespace kb
