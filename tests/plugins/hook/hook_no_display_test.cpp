// SPDX-License-Identifier: GPL-3.0-or-later
// Without an X display the library loads, every call succeeds in any order, nothing arrives.

#include <gtest/gtest.h>

#include <cstdlib>

#include "hook_event_recorder.h"
#include "loaded_hook_library.h"

namespace kb::testing {
namespace {

TEST(HookWithoutDisplayTest, EveryCallSucceedsInAnyOrder) {
  ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "this test needs DISPLAY unset";
  LoadedHookLibrary library(KB_HOOK_LIBRARY_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  const HookFunctions& fn = library.fn();
  HookEventRecorder recorder;

  EXPECT_EQ(fn.removehook(), 1);
  EXPECT_EQ(fn.removemousehook(), 1);
  EXPECT_EQ(fn.enablehook(1), 1);
  EXPECT_EQ(fn.enablemousehook(0), 1);
  EXPECT_EQ(fn.mousewheelenable(0), 1);
  EXPECT_EQ(fn.installmousehook(recorder.target()), 1);
  EXPECT_EQ(fn.installhook(recorder.target()), 1);
  EXPECT_EQ(fn.enablehook(0), 1);
  EXPECT_EQ(fn.enablemousehook(1), 1);
  EXPECT_EQ(fn.installhook(recorder.target()), 1);
  EXPECT_EQ(fn.removehook(), 1);
  EXPECT_EQ(fn.removehook(), 1);
  EXPECT_EQ(fn.removemousehook(), 1);
  EXPECT_EQ(fn.mousewheelenable(1), 1);
  EXPECT_TRUE(recorder.events().empty());
}

// With no display to hear, the program's own windows are the only source, under the same rules.
TEST(HookWithoutDisplayTest, OwnWindowEventsFollowTheHookRules) {
  LoadedHookLibrary library(KB_HOOK_LIBRARY_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  const HookFunctions& fn = library.fn();
  HookEventRecorder recorder;
  constexpr unsigned kKeyA = 30 + 8, kRightAlt = 100 + 8;
  constexpr bool kOnX = true;

  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_KEY, kKeyA, true, kOnX), 0);  // nothing installed
  ASSERT_EQ(fn.installhook(recorder.target()), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_KEY, kKeyA, true, kOnX), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_KEY, kRightAlt, false, !kOnX), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_BUTTON, 1, true, kOnX), 0);  // no mouse hook
  ASSERT_EQ(fn.installmousehook(recorder.target()), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_BUTTON, 9, true, kOnX), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_BUTTON, 5, true, kOnX), 1);
  ASSERT_EQ(fn.mousewheelenable(0), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_BUTTON, 4, true, kOnX), 0);
  ASSERT_EQ(fn.enablehook(0), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_KEY, kKeyA, false, kOnX), 0);
  ASSERT_EQ(fn.enablehook(1), 1);
  ASSERT_EQ(fn.removehook(), 1);
  EXPECT_EQ(library.WindowInput(KB_HOOK_WINDOW_KEY, kKeyA, false, kOnX), 0);
  EXPECT_EQ(library.WindowInput(7, kKeyA, false, kOnX), 0);  // no such kind

  EXPECT_EQ(recorder.events(), (std::vector<HookEvent>{{KB_HOOK_KEY_MESSAGE, 0x41, 0},
                                                       {KB_HOOK_KEY_MESSAGE, 0xA5, 1},
                                                       {KB_HOOK_MOUSE_MESSAGE, 0x20B, 2},
                                                       {KB_HOOK_MOUSE_MESSAGE, 0x20A, -120}}));
  ASSERT_EQ(fn.removemousehook(), 1);
  ASSERT_EQ(fn.mousewheelenable(1), 1);
}

TEST(HookWithoutDisplayTest, LoadsAndUnloadsRepeatedly) {
  HookEventRecorder recorder;
  for (int round = 0; round < 3; ++round) {
    LoadedHookLibrary library(KB_HOOK_LIBRARY_PATH);
    ASSERT_TRUE(library.ok()) << library.error();
    EXPECT_EQ(library.fn().installhook(recorder.target()), 1);
    EXPECT_EQ(library.fn().installmousehook(recorder.target()), 1);
  }
  EXPECT_TRUE(recorder.events().empty());
}

}  // namespace
}  // namespace kb::testing
