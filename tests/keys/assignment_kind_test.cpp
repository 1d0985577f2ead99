// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/assignment_kind.h"

#include <gtest/gtest.h>

#include <set>

namespace kb {
namespace {

TEST(AssignmentKindTest, ValuesOfTheNamedKinds) {
  EXPECT_EQ(KindByte(AssignmentKind::Disabled), 0);
  EXPECT_EQ(KindByte(AssignmentKind::Shortcut), 16);
  EXPECT_EQ(KindByte(AssignmentKind::MacroBinding), 17);
  EXPECT_EQ(KindByte(AssignmentKind::MacroOffset18), 18);
  EXPECT_EQ(KindByte(AssignmentKind::MacroOffset25), 25);
  EXPECT_EQ(KindByte(AssignmentKind::Default), 120);
  EXPECT_EQ(KindByte(AssignmentKind::SingleKey), 121);
  EXPECT_EQ(KindByte(AssignmentKind::FixedChord), 122);
}

// Media command K (1..19) makes this kind.
TEST(AssignmentKindTest, MediaCommandsMakeTheirKinds) {
  const AssignmentKind by_command[19] = {AssignmentKind::MediaNextTrack,
                                         AssignmentKind::MediaPreviousTrack,
                                         AssignmentKind::MediaStop,
                                         AssignmentKind::MediaCommand4,
                                         AssignmentKind::MediaPlayPause,
                                         AssignmentKind::MediaMute,
                                         AssignmentKind::MediaVolumeUp,
                                         AssignmentKind::MediaVolumeDown,
                                         AssignmentKind::MediaConsumerControlConfig,
                                         AssignmentKind::MediaCalculator,
                                         AssignmentKind::MediaEmail,
                                         AssignmentKind::MediaLocalBrowser,
                                         AssignmentKind::MediaSearch,
                                         AssignmentKind::MediaHome,
                                         AssignmentKind::MediaBack,
                                         AssignmentKind::MediaForward,
                                         AssignmentKind::MediaBrowserStop,
                                         AssignmentKind::MediaRefresh,
                                         AssignmentKind::MediaBookmarks};
  const int expected[19] = {68, 67, 66, 72, 65, 71, 69, 70, 64, 88,
                            87, 89, 86, 80, 83, 82, 84, 85, 81};
  std::set<int> distinct;
  for (int k = 0; k < 19; ++k) {
    EXPECT_EQ(KindByte(by_command[k]), expected[k]) << "media command " << k + 1;
    distinct.insert(KindByte(by_command[k]));
  }
  EXPECT_EQ(distinct.size(), 19u);
}

TEST(AssignmentKindTest, MediaRangesAreExactly64To72And80To89) {
  int count = 0;
  for (int kind = 0; kind < 256; ++kind) {
    const bool media = IsMediaFunction(static_cast<std::uint8_t>(kind));
    EXPECT_EQ(media, (kind >= 64 && kind <= 72) || (kind >= 80 && kind <= 89)) << kind;
    count += media;
  }
  EXPECT_EQ(count, 19);
}

TEST(AssignmentKindTest, OnlyKinds17_18_25TakeADeviceMacroOffset) {
  for (int kind = 0; kind < 256; ++kind)
    EXPECT_EQ(TakesDeviceMacroOffset(static_cast<std::uint8_t>(kind)),
              kind == 17 || kind == 18 || kind == 25)
        << kind;
}

}  // namespace
}  // namespace kb
