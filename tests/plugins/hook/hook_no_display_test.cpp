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
