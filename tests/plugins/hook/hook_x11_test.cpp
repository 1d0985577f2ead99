// SPDX-License-Identifier: GPL-3.0-or-later
// "Quillet.so" as the program uses it, on a private Xvfb with input injected through XTest.
//
// To show that an event is NOT delivered, a marker event of the other channel is injected after
// it: the server reports both in order on the library's one connection, so once the marker has
// arrived the blocked event has been seen and dropped.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "hook_event_recorder.h"
#include "loaded_hook_library.h"
#include "xvfb_environment.h"

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Status

namespace kb::testing {
namespace {

constexpr std::uint32_t kKey = KB_HOOK_KEY_MESSAGE;
constexpr std::uint32_t kMouse = KB_HOOK_MOUSE_MESSAGE;
constexpr HookEvent kLeftDown{kMouse, 0x201, 0};
constexpr HookEvent kLeftUp{kMouse, 0x202, 0};

[[maybe_unused]] ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new kb::testing::XvfbEnvironment);

class HookX11Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = new LoadedHookLibrary(KB_HOOK_LIBRARY_PATH); }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(kb::testing::XvfbEnvironment::display(), nullptr);
    ASSERT_TRUE(library_->ok()) << library_->error();
    injector_ = XOpenDisplay(kb::testing::XvfbEnvironment::display()->name().c_str());
    ASSERT_NE(injector_, nullptr);
    int event_base, error_base, major, minor;
    ASSERT_TRUE(XTestQueryExtension(injector_, &event_base, &error_base, &major, &minor));
  }

  void TearDown() override {
    fn().removehook();
    fn().removemousehook();
    fn().mousewheelenable(1);
    if (injector_ != nullptr) XCloseDisplay(injector_);
  }

  static const HookFunctions& fn() { return library_->fn(); }

  void Key(KeySym keysym, bool press) {
    const KeyCode code = XKeysymToKeycode(injector_, keysym);
    ASSERT_NE(code, 0) << "no keycode for keysym " << keysym;
    XTestFakeKeyEvent(injector_, code, press ? True : False, CurrentTime);
    XSync(injector_, False);
  }
  void Tap(KeySym keysym) {
    Key(keysym, true);
    Key(keysym, false);
  }
  void Button(unsigned button, bool press) {
    XTestFakeButtonEvent(injector_, button, press ? True : False, CurrentTime);
    XSync(injector_, False);
  }
  void Click(unsigned button) {
    Button(button, true);
    Button(button, false);
  }

  static LoadedHookLibrary* library_;
  Display* injector_ = nullptr;
  HookEventRecorder recorder_;
};

LoadedHookLibrary* HookX11Test::library_ = nullptr;

TEST_F(HookX11Test, KeyAPressAndReleaseArriveAsVirtualKey41) {
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablehook(1), 1);
  Tap(XK_a);
  ASSERT_TRUE(recorder_.WaitForCount(2));
  const std::vector<HookEvent> events = recorder_.events();
  EXPECT_EQ(events[0], (HookEvent{kKey, 0x41, 0}));
  EXPECT_EQ(events[1].message, kKey);
  EXPECT_EQ(events[1].wparam, 0x41u);
  EXPECT_NE(events[1].lparam, 0);
}

struct PhysicalKey {
  KeySym keysym;
  std::uintptr_t vk;
};

class HookX11KeyTest : public HookX11Test, public ::testing::WithParamInterface<PhysicalKey> {};

TEST_P(HookX11KeyTest, ReportsTheVirtualKeyOfThePhysicalKey) {
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablehook(1), 1);
  Tap(GetParam().keysym);
  ASSERT_TRUE(recorder_.WaitForCount(2));
  EXPECT_EQ(recorder_.events(),
            (std::vector<HookEvent>{{kKey, GetParam().vk, 0}, {kKey, GetParam().vk, 1}}));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HookX11KeyTest,
    ::testing::Values(PhysicalKey{XK_Control_L, 0xA2}, PhysicalKey{XK_Control_R, 0xA3},
                      PhysicalKey{XK_Shift_L, 0xA0}, PhysicalKey{XK_Shift_R, 0xA1},
                      PhysicalKey{XK_Alt_L, 0xA4}, PhysicalKey{XK_Escape, 0x1B},
                      PhysicalKey{XK_F5, 0x74}, PhysicalKey{XK_F12, 0x7B},
                      PhysicalKey{XK_Left, 0x25}, PhysicalKey{XK_Page_Down, 0x22},
                      PhysicalKey{XK_KP_Add, 0x6B}, PhysicalKey{XK_KP_Enter, 0x0D},
                      PhysicalKey{XK_space, 0x20}, PhysicalKey{XK_z, 0x5A},
                      PhysicalKey{XK_semicolon, 0xBA}, PhysicalKey{XK_5, 0x35}));

TEST_F(HookX11Test, MouseButtonsAndWheelArriveAsMouseMessages) {
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  Click(1);
  Click(3);
  Click(2);
  Click(8);
  Click(9);
  Click(4);
  Click(5);
  const std::vector<HookEvent> expected{kLeftDown,
                                        kLeftUp,
                                        {kMouse, 0x204, 0},
                                        {kMouse, 0x205, 0},
                                        {kMouse, 0x207, 0},
                                        {kMouse, 0x208, 0},
                                        {kMouse, 0x20B, 1},
                                        {kMouse, 0x20C, 1},
                                        {kMouse, 0x20B, 2},
                                        {kMouse, 0x20C, 2},
                                        {kMouse, 0x20A, 120},
                                        {kMouse, 0x20A, -120}};
  ASSERT_TRUE(recorder_.WaitForCount(expected.size()));
  EXPECT_EQ(recorder_.events(), expected);
}

TEST_F(HookX11Test, PointerMovementIsNotReported) {
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  XTestFakeMotionEvent(injector_, -1, 100, 100, CurrentTime);
  XTestFakeRelativeMotionEvent(injector_, 30, -20, CurrentTime);
  Click(1);
  ASSERT_TRUE(recorder_.WaitFor(kLeftUp));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{kLeftDown, kLeftUp}));
}

TEST_F(HookX11Test, WheelCanBeSwitchedOff) {
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  ASSERT_EQ(fn().mousewheelenable(0), 1);
  Click(4);
  Click(1);
  ASSERT_TRUE(recorder_.WaitFor(kLeftUp));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{kLeftDown, kLeftUp}));
  ASSERT_EQ(fn().mousewheelenable(1), 1);
  Click(5);
  EXPECT_TRUE(recorder_.WaitFor({kMouse, 0x20A, -120}));
}

TEST_F(HookX11Test, DisabledKeyboardHoldsKeysBack) {
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablehook(0), 1);
  Tap(XK_a);
  Click(1);
  ASSERT_TRUE(recorder_.WaitFor(kLeftUp));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{kLeftDown, kLeftUp}));

  ASSERT_EQ(fn().enablehook(1), 1);
  Tap(XK_a);
  EXPECT_TRUE(recorder_.WaitFor({kKey, 0x41, 1}));
}

TEST_F(HookX11Test, DisabledMouseHoldsButtonsBack) {
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablehook(1), 1);
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablemousehook(0), 1);
  Click(1);
  Click(4);
  Tap(XK_a);
  ASSERT_TRUE(recorder_.WaitFor({kKey, 0x41, 1}));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{{kKey, 0x41, 0}, {kKey, 0x41, 1}}));

  ASSERT_EQ(fn().enablemousehook(1), 1);
  Click(3);
  EXPECT_TRUE(recorder_.WaitFor({kMouse, 0x205, 0}));
}

TEST_F(HookX11Test, NothingArrivesAfterRemoval) {
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablehook(1), 1);
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  ASSERT_EQ(fn().removehook(), 1);
  Tap(XK_a);
  Click(1);
  ASSERT_TRUE(recorder_.WaitFor(kLeftUp));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{kLeftDown, kLeftUp}));

  recorder_.Clear();
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().removemousehook(), 1);
  Click(1);
  Tap(XK_b);
  ASSERT_TRUE(recorder_.WaitFor({kKey, 0x42, 1}));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{{kKey, 0x42, 0}, {kKey, 0x42, 1}}));
}

TEST_F(HookX11Test, InstallAfterDisableDeliversAgain) {
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablemousehook(0), 1);
  ASSERT_EQ(fn().removemousehook(), 1);
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  Click(1);
  ASSERT_TRUE(recorder_.WaitFor(kLeftUp));

  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().enablehook(0), 1);
  ASSERT_EQ(fn().removehook(), 1);
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  Tap(XK_a);
  EXPECT_TRUE(recorder_.WaitFor({kKey, 0x41, 1}));
}

TEST_F(HookX11Test, ANewInstallMovesEventsToTheNewTarget) {
  HookEventRecorder second;
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().installhook(second.target()), 1);
  Tap(XK_a);
  ASSERT_TRUE(second.WaitFor({kKey, 0x41, 1}));
  EXPECT_TRUE(recorder_.events().empty());
  ASSERT_EQ(fn().removehook(), 1);
}

TEST_F(HookX11Test, InstallWithoutTargetFails) {
  const kb_message_target no_post{nullptr, nullptr};
  EXPECT_EQ(fn().installhook(nullptr), 0);
  EXPECT_EQ(fn().installmousehook(&no_post), 0);
}

TEST_F(HookX11Test, CallsFromManyThreadsLeaveTheLibraryWorking) {
  std::atomic<bool> stop{false};
  HookEventRecorder noise;
  auto churn = [&](int seed) {
    unsigned step = static_cast<unsigned>(seed);
    while (!stop.load()) {
      step = step * 1103515245u + 12345u;
      switch ((step >> 16) % 7) {
        case 0:
          fn().installmousehook(noise.target());
          break;
        case 1:
          fn().removemousehook();
          break;
        case 2:
          fn().enablemousehook(static_cast<int>(step & 1));
          break;
        case 3:
          fn().installhook(noise.target());
          break;
        case 4:
          fn().removehook();
          break;
        case 5:
          fn().enablehook(static_cast<int>(step & 1));
          break;
        case 6:
          fn().mousewheelenable(static_cast<int>(step & 1));
          break;
      }
    }
  };
  std::thread a(churn, 1), b(churn, 2), c(churn, 3);
  // The installs after the join replace every hook that points at noise before it goes away.
  for (int i = 0; i < 50; ++i) {
    Tap(XK_a);
    Click(1);
  }
  stop = true;
  a.join();
  b.join();
  c.join();

  ASSERT_EQ(fn().mousewheelenable(1), 1);
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  ASSERT_EQ(fn().installmousehook(recorder_.target()), 1);
  Tap(XK_c);
  Click(2);
  EXPECT_TRUE(recorder_.WaitFor({kKey, 0x43, 1}));
  EXPECT_TRUE(recorder_.WaitFor({kMouse, 0x208, 0}));
}

// The program's own windows on this display are heard through XInput already: handing their
// events over as well must not deliver them twice. Windows elsewhere (a Wayland window beside
// Xwayland) are delivered.
TEST_F(HookX11Test, OwnWindowEventsOfTheListenedDisplayAreNotDeliveredTwice) {
  ASSERT_EQ(fn().installhook(recorder_.target()), 1);
  constexpr unsigned kKeyA = 30 + 8;
  EXPECT_EQ(library_->WindowInput(KB_HOOK_WINDOW_KEY, kKeyA, true, /*on_x_display=*/true), 0);
  EXPECT_EQ(library_->WindowInput(KB_HOOK_WINDOW_KEY, kKeyA, true, /*on_x_display=*/false), 1);
  Key(XK_b, true);
  ASSERT_TRUE(recorder_.WaitForCount(2));
  EXPECT_EQ(recorder_.events(), (std::vector<HookEvent>{{kKey, 0x41, 0}, {kKey, 0x42, 0}}));
  Key(XK_b, false);
}

}  // namespace
}  // namespace kb::testing
