// Losing the X server while hooks are installed must not end the program (Xlib's default
// reaction is exit()) nor hang it: the hook goes quiet and every call still returns.

#include <gtest/gtest.h>

#include "hook_event_recorder.h"
#include "loaded_hook_library.h"
#include "xvfb_display.h"

namespace kb::testing {
namespace {

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

}  // namespace
}  // namespace kb::testing
