// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/media_commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kb {
namespace {

struct Row {
  int number;
  int kind;
  KeyCode code;
};

class MediaCommandTest : public ::testing::TestWithParam<Row> {};

TEST_P(MediaCommandTest, StoresItsKindAndCode) {
  const MediaCommand* command = MediaCommandByNumber(GetParam().number);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->number, GetParam().number);
  EXPECT_EQ(KindByte(command->kind), GetParam().kind);
  EXPECT_EQ(command->code, GetParam().code);
  EXPECT_EQ(command->hover_text_key,
            "kb_command_media_" + std::to_string(GetParam().number) + "_text");
  EXPECT_EQ(MediaCommandOfKind(static_cast<std::uint8_t>(GetParam().kind)), command);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MediaCommandTest,
    ::testing::Values(Row{1, 68, 0x0400'00B5}, Row{2, 67, 0x0400'00B6}, Row{3, 66, 0x0400'00B7},
                      Row{4, 72, 0x0000'0000}, Row{5, 65, 0x0400'00CD}, Row{6, 71, 0x0400'00E2},
                      Row{7, 69, 0x0400'00E9}, Row{8, 70, 0x0400'00EA}, Row{9, 64, 0x0400'0183},
                      Row{10, 88, 0x0400'0192}, Row{11, 87, 0x0400'018A}, Row{12, 89, 0x0400'0194},
                      Row{13, 86, 0x0400'0221}, Row{14, 80, 0x0400'0223}, Row{15, 83, 0x0400'0224},
                      Row{16, 82, 0x0400'0225}, Row{17, 84, 0x0400'0226}, Row{18, 85, 0x0400'0227},
                      Row{19, 81, 0x0400'022A}));

TEST(MediaCommandsTest, NineteenRowsInCommandOrderCoveringEveryMediaKind) {
  ASSERT_EQ(MediaCommands().size(), 19u);
  std::set<int> kinds;
  for (std::size_t i = 0; i < MediaCommands().size(); ++i) {
    EXPECT_EQ(MediaCommands()[i].number, static_cast<int>(i) + 1);
    EXPECT_TRUE(IsMediaFunction(KindByte(MediaCommands()[i].kind)));
    kinds.insert(KindByte(MediaCommands()[i].kind));
  }
  EXPECT_EQ(kinds.size(), 19u);
}

TEST(MediaCommandsTest, EveryCodeButCommand4IsAConsumerCode) {
  for (const MediaCommand& command : MediaCommands()) {
    if (command.number == 4) continue;
    EXPECT_EQ(TypeOf(command.code), KeyCodeType::Consumer) << command.number;
  }
}

TEST(MediaCommandsTest, OutsideTheTable) {
  EXPECT_EQ(MediaCommandByNumber(0), nullptr);
  EXPECT_EQ(MediaCommandByNumber(20), nullptr);
  EXPECT_EQ(MediaCommandByNumber(-1), nullptr);
  for (int kind : {0, 16, 17, 63, 73, 79, 90, 120, 121, 122, 255})
    EXPECT_EQ(MediaCommandOfKind(static_cast<std::uint8_t>(kind)), nullptr) << kind;
}

}  // namespace
}  // namespace kb
