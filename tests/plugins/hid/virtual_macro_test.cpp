// SPDX-License-Identifier: GPL-3.0-or-later
// Macro programs written in every delay form decode back into their actions; malformed
// programs are refused with the reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plugins/hid/virtual_keyboard_fixture.h"

namespace kb::test {
namespace {

using ::testing::HasSubstr;

constexpr size_t kAreaBytes = VKB_MACRO_AREA_BYTES;
constexpr uint32_t kAreaLimit = 10000;
constexpr uint8_t kMoveCode = 0xF6;

// Puts `bytes` at `offset` of an otherwise zero macro area and uploads the pages it touches.
void UploadArea(uint32_t offset, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> area(kAreaBytes, 0);
  std::copy(bytes.begin(), bytes.end(), area.begin() + offset);
  size_t first = offset / kPageBytes;
  size_t last = (offset + bytes.size() - 1) / kPageBytes;
  VirtualKeyboardTest::Begin();
  for (size_t p = first; p <= last && p < VKB_MACRO_PAGES; ++p) {
    PageBytes page{};
    std::memcpy(page.data(), area.data() + p * kPageBytes, kPageBytes);
    VirtualKeyboardTest::Upload(kMacro, static_cast<uint8_t>(p), page);
  }
  VirtualKeyboardTest::Begin();
  VirtualKeyboardTest::End();
}

std::vector<uint8_t> Program(uint16_t loops, const std::vector<uint8_t>& actions) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(loops >> 8), static_cast<uint8_t>(loops & 0xFF)};
  bytes.insert(bytes.end(), actions.begin(), actions.end());
  bytes.push_back(0x00);
  bytes.push_back(0x00);
  return bytes;
}

struct DelayFormCase {
  const char* name;
  std::vector<uint8_t> wire;
  vkb_macro_action expected;
};

const DelayFormCase kDelayForms[] = {
    {"MoveShortDelayOne", {0x00, 0x02, 0x05, 0xFD, 0x01, 0x00}, {kMoveCode, 0, 1, 5, -3}},
    {"MoveShortDelay255", {0x00, 0x02, 0x7F, 0x81, 0xFF, 0x00}, {kMoveCode, 0, 255, 127, -127}},
    {"MoveLongDelay300",
     {0x00, 0x02, 0x05, 0x06, 0x00, 0x00, 0x00, 0x01, 0x00, 0x03},
     {kMoveCode, 0, 300, 5, 6}},
    {"MoveLongDelay1234",
     {0x00, 0x02, 0x00, 0x80, 0x22, 0x00, 0x00, 0x01, 0x00, 0x0C},
     {kMoveCode, 0, 1234, 0, -128}},
    {"MoveLongDelay65535",
     {0x00, 0x02, 0x01, 0x01, 0x23, 0x00, 0x00, 0x01, 0x02, 0x8F},
     {kMoveCode, 0, 65535, 1, 1}},
    {"PressShortDelay10", {0x0B, 0x04}, {0x04, 1, 10, 0, 0}},
    {"PressShortOddDelayLosesLowBit", {0x7F, 0x04}, {0x04, 1, 126, 0, 0}},
    {"PressShortDelayOne", {0x01, 0xF1}, {0xF1, 1, 0, 0, 0}},
    {"PressLongDelay250", {0x33, 0x04, 0x00, 0x01, 0x00, 0x02}, {0x04, 1, 250, 0, 0}},
    {"PressLongDelay65535", {0x23, 0x1D, 0x00, 0x01, 0x02, 0x8F}, {0x1D, 1, 65534, 0, 0}},
    {"ReleaseShortDelay10", {0x8B, 0x04}, {0x04, 2, 10, 0, 0}},
    {"ReleaseFlagAlone", {0x81, 0xF0}, {0xF0, 2, 0, 0, 0}},
    {"ReleaseLongDelay250", {0xB3, 0x04, 0x00, 0x01, 0x00, 0x02}, {0x04, 2, 250, 0, 0}},
};

class MacroDelayFormTest : public VirtualKeyboardTest,
                           public ::testing::WithParamInterface<DelayFormCase> {};

TEST_P(MacroDelayFormTest, DecodesToItsAction) {
  std::vector<uint8_t> bytes = Program(3, GetParam().wire);
  UploadArea(0, bytes);
  ASSERT_TRUE(Violations().empty());
  vkb_macro_program program;
  vkb_macro_action actions[4];
  ASSERT_EQ(vkb().decode_macro(0, &program, actions, 4), 1) << program.error;
  EXPECT_STREQ(program.error, "");
  EXPECT_EQ(program.loops, 3);
  EXPECT_EQ(program.length, bytes.size());
  ASSERT_EQ(program.action_count, 1u);
  const vkb_macro_action& got = actions[0];
  const vkb_macro_action& want = GetParam().expected;
  EXPECT_EQ(got.action_code, want.action_code);
  EXPECT_EQ(got.action_kind, want.action_kind);
  EXPECT_EQ(got.delay, want.delay);
  EXPECT_EQ(got.x, want.x);
  EXPECT_EQ(got.y, want.y);
}

INSTANTIATE_TEST_SUITE_P(Forms, MacroDelayFormTest, ::testing::ValuesIn(kDelayForms),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualKeyboardTest, ProgramAcrossAPageBoundaryDecodesInOrder) {
  constexpr uint32_t kOffset = 505;  // the program starts in page 0 and ends in page 1
  std::vector<uint8_t> bytes =
      Program(0x1234, {0x0B, 0x04,                                                  // press A, 10
                       0x00, 0x02, 0x02, 0xFE, 0x00, 0x00, 0x00, 0x01, 0x00, 0x03,  // move, 300
                       0x8B, 0x04});                                                // release A, 10
  UploadArea(kOffset, bytes);
  vkb_macro_program program;
  vkb_macro_action actions[8];
  ASSERT_EQ(vkb().decode_macro(kOffset, &program, actions, 8), 1) << program.error;
  EXPECT_EQ(program.loops, 0x1234);
  EXPECT_EQ(program.length, bytes.size());
  ASSERT_EQ(program.action_count, 3u);
  EXPECT_EQ(actions[0].action_kind, 1);
  EXPECT_EQ(actions[1].action_kind, 0);
  EXPECT_EQ(actions[1].delay, 300);
  EXPECT_EQ(actions[1].x, 2);
  EXPECT_EQ(actions[1].y, -2);
  EXPECT_EQ(actions[2].action_kind, 2);
  EXPECT_EQ(State()->macro_page_mask, 0b11u);
}

TEST_F(VirtualKeyboardTest, ProgramWithoutActionsIsLoopsAndEndMark) {
  UploadArea(100, Program(1, {}));
  vkb_macro_program program;
  ASSERT_EQ(vkb().decode_macro(100, &program, nullptr, 0), 1) << program.error;
  EXPECT_EQ(program.loops, 1);
  EXPECT_EQ(program.action_count, 0u);
  EXPECT_EQ(program.length, 4u);
}

struct MalformedCase {
  const char* name;
  uint32_t place;  // where the bytes go
  std::vector<uint8_t> bytes;
  uint32_t decode_at;
  uint32_t capacity;
  const char* reason;
};

const MalformedCase kMalformed[] = {
    {"OffsetPastTheArea",
     0,
     {0x00, 0x01, 0x00, 0x00},
     kAreaLimit,
     4,
     "leaves no room for the loop count"},
    {"OffsetAtTheLastByte",
     0,
     {0x00, 0x01, 0x00, 0x00},
     kAreaLimit - 1,
     4,
     "leaves no room for the loop count"},
    {"EvenFirstByte", 0, {0x00, 0x01, 0x02, 0x04, 0x00, 0x00}, 0, 4, "offset 2 starts no element"},
    {"LongDelayFirst",
     0,
     {0x00, 0x01, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00},
     0,
     4,
     "long delay at offset 2 follows no action"},
    {"MoveSixthByteSet",
     0,
     {0x00, 0x01, 0x00, 0x02, 0x01, 0x01, 0x05, 0x07, 0x00, 0x00},
     0,
     4,
     "move at offset 2 has a nonzero sixth byte"},
    {"NoEndMark",
     kAreaLimit - 6,
     {0x00, 0x01, 0x0B, 0x04, 0x0B, 0x04},
     kAreaLimit - 6,
     8,
     "program runs past the area at offset 10000"},
    {"MoveCutByTheAreaEnd",
     kAreaLimit - 6,
     {0x00, 0x01, 0x00, 0x02, 0x01, 0x01},
     kAreaLimit - 6,
     8,
     "move at offset 9996 is cut off"},
    {"MoreActionsThanRoom",
     0,
     {0x00, 0x01, 0x0B, 0x04, 0x0B, 0x05, 0x00, 0x00},
     0,
     1,
     "more actions than the caller's array"},
};

class MacroMalformedTest : public VirtualKeyboardTest,
                           public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MacroMalformedTest, IsRefusedWithItsReason) {
  const MalformedCase& c = GetParam();
  UploadArea(c.place, c.bytes);
  vkb_macro_program program;
  vkb_macro_action actions[8];
  EXPECT_EQ(vkb().decode_macro(c.decode_at, &program, actions, c.capacity), 0);
  EXPECT_THAT(program.error, HasSubstr(c.reason));
}

INSTANTIATE_TEST_SUITE_P(Programs, MacroMalformedTest, ::testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualKeyboardTest, DecodeRefusesNullArguments) {
  vkb_macro_program program;
  EXPECT_EQ(vkb().decode_macro(0, nullptr, nullptr, 0), 0);
  EXPECT_EQ(vkb().decode_macro(0, &program, nullptr, 3), 0);
}

}  // namespace
}  // namespace kb::test
