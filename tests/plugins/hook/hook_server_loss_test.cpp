// SPDX-License-Identifier: GPL-3.0-or-later
// Losing the X server while hooks are installed must not end the program (Xlib's default
// reaction is exit()) nor hang it: the hook goes quiet and every call still returns.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "hook_event_recorder.h"
#include "loaded_hook_library.h"
#include "xvfb_display.h"

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Status

namespace kb::testing {
namespace {

int EntriesOf(const char* folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// A lost server leaves nothing behind: once the listener has seen it go, the library's end closes
// the connection all the same (its socket is the open descriptor that would stay).
TEST(HookServerLossTest, ALostConnectionIsClosedAllTheSame) {
  XvfbDisplay display;
  const kb::Status started = display.Start();
  ASSERT_TRUE(started.ok()) << started.reason();
  const int descriptors = EntriesOf("/proc/self/fd");
  const int threads = EntriesOf("/proc/self/task");
  HookEventRecorder recorder;
  {
    LoadedHookLibrary library(KB_HOOK_LIBRARY_PATH);
    ASSERT_TRUE(library.ok()) << library.error();
    ASSERT_EQ(library.fn().installhook(recorder.target()), 1);
    ASSERT_GT(EntriesOf("/proc/self/fd"), descriptors);
    display.Stop();
    // The listener thread ends when it has seen the server go.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (EntriesOf("/proc/self/task") > threads) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the listener did not end";
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(library.fn().removehook(), 1);
  }
  EXPECT_EQ(EntriesOf("/proc/self/fd"), descriptors);
}

TEST(HookServerLossTest, TheProgramOutlivesItsXServer) {
  XvfbDisplay display;
  const kb::Status started = display.Start();
  ASSERT_TRUE(started.ok()) << started.reason();
  HookEventRecorder recorder;
  {
    LoadedHookLibrary library(KB_HOOK_LIBRARY_PATH);
    ASSERT_TRUE(library.ok()) << library.error();
    const HookFunctions& fn = library.fn();
    ASSERT_EQ(fn.installhook(recorder.target()), 1);
    ASSERT_EQ(fn.installmousehook(recorder.target()), 1);

    display.Stop();

    EXPECT_EQ(fn.enablehook(1), 1);
    EXPECT_EQ(fn.removehook(), 1);
    EXPECT_EQ(fn.installhook(recorder.target()), 1);
    EXPECT_EQ(fn.enablemousehook(0), 1);
    EXPECT_EQ(fn.removemousehook(), 1);
    EXPECT_EQ(fn.installmousehook(recorder.target()), 1);
  }
  EXPECT_TRUE(recorder.events().empty());
}

TEST(HookServerLossTest, AnInstallationFindsANewServer) {
  XvfbDisplay first;
  const kb::Status started = first.Start();
  ASSERT_TRUE(started.ok()) << started.reason();
  LoadedHookLibrary library(KB_HOOK_LIBRARY_PATH);
  ASSERT_TRUE(library.ok()) << library.error();
  const HookFunctions& fn = library.fn();
  HookEventRecorder recorder;
  ASSERT_EQ(fn.installhook(recorder.target()), 1);
  first.Stop();

  XvfbDisplay second;
  const kb::Status restarted = second.Start();
  ASSERT_TRUE(restarted.ok()) << restarted.reason();
  Display* injector = XOpenDisplay(second.name().c_str());
  ASSERT_NE(injector, nullptr);
  const KeyCode a = XKeysymToKeycode(injector, XK_a);

  // The listener notices the lost server on its own thread, some time after the kill; until
  // it has, an installation still finds the old connection. Each round installs afresh and
  // taps A once.
  constexpr int kRounds = 25;
  constexpr std::chrono::milliseconds kRoundWait{200};
  bool delivered = false;
  for (int round = 0; round < kRounds && !delivered; ++round) {
    ASSERT_EQ(fn.installhook(recorder.target()), 1);
    XTestFakeKeyEvent(injector, a, True, CurrentTime);
    XTestFakeKeyEvent(injector, a, False, CurrentTime);
    XSync(injector, False);
    delivered = recorder.WaitFor({KB_HOOK_KEY_MESSAGE, 0x41, 1}, kRoundWait);
  }
  EXPECT_TRUE(delivered);
  EXPECT_EQ(fn.removehook(), 1);
  XCloseDisplay(injector);
}

}  // namespace
}  // namespace kb::testing
