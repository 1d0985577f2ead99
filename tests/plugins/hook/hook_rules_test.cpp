// SPDX-License-Identifier: GPL-3.0-or-later
// The hook's rules without an X server: key positions, button numbers and the delivery gate.

#include <gtest/gtest.h>

#include "hook_dispatcher.h"
#include "hook_event_recorder.h"
#include "hook_library.h"
#include "mouse_message_map.h"
#include "virtual_key_map.h"

namespace kb::hook {
namespace {

using kb::testing::HookEvent;
using kb::testing::HookEventRecorder;

// Evdev codes from linux/input-event-codes.h.
struct KeyRow {
  unsigned evdev;
  std::uint8_t vk;
  const char* key;
};

class VirtualKeyTest : public ::testing::TestWithParam<KeyRow> {};

TEST_P(VirtualKeyTest, MapsThePhysicalKeyByItsUsPosition) {
  EXPECT_EQ(VirtualKeyFromEvdev(GetParam().evdev), GetParam().vk) << GetParam().key;
  EXPECT_EQ(VirtualKeyFromX11Keycode(GetParam().evdev + 8), GetParam().vk) << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyTest,
    ::testing::Values(
        KeyRow{1, 0x1B, "Esc"}, KeyRow{2, 0x31, "1"}, KeyRow{11, 0x30, "0"},
        KeyRow{12, 0xBD, "minus"}, KeyRow{13, 0xBB, "equal"}, KeyRow{14, 0x08, "Backspace"},
        KeyRow{15, 0x09, "Tab"}, KeyRow{16, 0x51, "Q"}, KeyRow{26, 0xDB, "["},
        KeyRow{28, 0x0D, "Enter"}, KeyRow{29, 0xA2, "Left Ctrl"}, KeyRow{30, 0x41, "A"},
        KeyRow{38, 0x4C, "L"}, KeyRow{39, 0xBA, ";"}, KeyRow{40, 0xDE, "'"}, KeyRow{41, 0xC0, "`"},
        KeyRow{42, 0xA0, "Left Shift"}, KeyRow{43, 0xDC, "backslash"}, KeyRow{44, 0x5A, "Z"},
        KeyRow{50, 0x4D, "M"}, KeyRow{53, 0xBF, "/"}, KeyRow{54, 0xA1, "Right Shift"},
        KeyRow{55, 0x6A, "keypad *"}, KeyRow{56, 0xA4, "Left Alt"}, KeyRow{57, 0x20, "Space"},
        KeyRow{58, 0x14, "Caps Lock"}, KeyRow{59, 0x70, "F1"}, KeyRow{68, 0x79, "F10"},
        KeyRow{87, 0x7A, "F11"}, KeyRow{88, 0x7B, "F12"}, KeyRow{69, 0x90, "Num Lock"},
        KeyRow{70, 0x91, "Scroll Lock"}, KeyRow{71, 0x67, "keypad 7"}, KeyRow{74, 0x6D, "keypad -"},
        KeyRow{78, 0x6B, "keypad +"}, KeyRow{82, 0x60, "keypad 0"}, KeyRow{83, 0x6E, "keypad ."},
        KeyRow{86, 0xE2, "ISO extra key"}, KeyRow{96, 0x0D, "keypad Enter"},
        KeyRow{97, 0xA3, "Right Ctrl"}, KeyRow{98, 0x6F, "keypad /"},
        KeyRow{99, 0x2C, "Print Screen"}, KeyRow{100, 0xA5, "Right Alt"}, KeyRow{102, 0x24, "Home"},
        KeyRow{103, 0x26, "Up"}, KeyRow{104, 0x21, "Page Up"}, KeyRow{105, 0x25, "Left"},
        KeyRow{106, 0x27, "Right"}, KeyRow{107, 0x23, "End"}, KeyRow{108, 0x28, "Down"},
        KeyRow{109, 0x22, "Page Down"}, KeyRow{110, 0x2D, "Insert"}, KeyRow{111, 0x2E, "Delete"},
        KeyRow{113, 0xAD, "Mute"}, KeyRow{119, 0x13, "Pause"}, KeyRow{125, 0x5B, "Left Win"},
        KeyRow{126, 0x5C, "Right Win"}, KeyRow{127, 0x5D, "Menu"}, KeyRow{164, 0xB3, "Play/Pause"},
        KeyRow{183, 0x7C, "F13"}, KeyRow{194, 0x87, "F24"}));

TEST(VirtualKeyTest, KeysWithoutAVirtualKeyGiveZero) {
  EXPECT_EQ(VirtualKeyFromEvdev(0), 0);
  EXPECT_EQ(VirtualKeyFromEvdev(84), 0);
  EXPECT_EQ(VirtualKeyFromEvdev(255), 0);
  EXPECT_EQ(VirtualKeyFromEvdev(256), 0);
  EXPECT_EQ(VirtualKeyFromEvdev(100000), 0);
  EXPECT_EQ(VirtualKeyFromX11Keycode(0), 0);
  EXPECT_EQ(VirtualKeyFromX11Keycode(7), 0);
}

struct ButtonRow {
  unsigned button;
  bool press;
  std::optional<MouseEvent> event;
};

class MouseEventTest : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(MouseEventTest, GivesTheWindowsMouseMessage) {
  EXPECT_EQ(MouseEventFromButton(GetParam().button, GetParam().press), GetParam().event)
      << "button " << GetParam().button << (GetParam().press ? " down" : " up");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseEventTest,
    ::testing::Values(
        ButtonRow{1, true, MouseEvent{0x201, 0}}, ButtonRow{1, false, MouseEvent{0x202, 0}},
        ButtonRow{3, true, MouseEvent{0x204, 0}}, ButtonRow{3, false, MouseEvent{0x205, 0}},
        ButtonRow{2, true, MouseEvent{0x207, 0}}, ButtonRow{2, false, MouseEvent{0x208, 0}},
        ButtonRow{4, true, MouseEvent{0x20A, 120}}, ButtonRow{4, false, std::nullopt},
        ButtonRow{5, true, MouseEvent{0x20A, -120}}, ButtonRow{5, false, std::nullopt},
        ButtonRow{6, true, std::nullopt}, ButtonRow{7, false, std::nullopt},
        ButtonRow{8, true, MouseEvent{0x20B, 1}}, ButtonRow{8, false, MouseEvent{0x20C, 1}},
        ButtonRow{9, true, MouseEvent{0x20B, 2}}, ButtonRow{9, false, MouseEvent{0x20C, 2}},
        ButtonRow{10, true, std::nullopt}, ButtonRow{0, true, std::nullopt}));

constexpr unsigned kKeycodeA = 38;  // evdev 30 + 8
constexpr HookEvent kPressA{KB_HOOK_KEY_MESSAGE, 0x41, 0};
constexpr HookEvent kReleaseA{KB_HOOK_KEY_MESSAGE, 0x41, 1};
constexpr HookEvent kLeftDown{KB_HOOK_MOUSE_MESSAGE, 0x201, 0};

TEST(HookDispatcherTest, DeliversKeysAfterInstall) {
  HookDispatcher dispatcher;
  HookEventRecorder recorder;
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, recorder.target()));
  dispatcher.OnKey(kKeycodeA, true);
  dispatcher.OnKey(kKeycodeA, false);
  EXPECT_EQ(recorder.events(), (std::vector<HookEvent>{kPressA, kReleaseA}));
}

TEST(HookDispatcherTest, NothingBeforeInstall) {
  HookDispatcher dispatcher;
  dispatcher.Enable(Channel::kKeyboard, true);
  dispatcher.Enable(Channel::kMouse, true);
  dispatcher.OnKey(kKeycodeA, true);
  dispatcher.OnButton(1, true);
  EXPECT_FALSE(dispatcher.Installed(Channel::kKeyboard));
  EXPECT_FALSE(dispatcher.Installed(Channel::kMouse));
}

TEST(HookDispatcherTest, InstallWithoutTargetFailsAndChangesNothing) {
  HookDispatcher dispatcher;
  kb_message_target no_post{nullptr, nullptr};
  EXPECT_FALSE(dispatcher.Install(Channel::kKeyboard, nullptr));
  EXPECT_FALSE(dispatcher.Install(Channel::kMouse, &no_post));
  EXPECT_FALSE(dispatcher.Installed(Channel::kKeyboard));
  EXPECT_FALSE(dispatcher.Installed(Channel::kMouse));
}

TEST(HookDispatcherTest, DisabledChannelHoldsEventsBack) {
  HookDispatcher dispatcher;
  HookEventRecorder recorder;
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, recorder.target()));
  ASSERT_TRUE(dispatcher.Install(Channel::kMouse, recorder.target()));
  dispatcher.Enable(Channel::kKeyboard, false);
  dispatcher.OnKey(kKeycodeA, true);
  dispatcher.OnButton(1, true);
  EXPECT_EQ(recorder.events(), (std::vector<HookEvent>{kLeftDown}));
  dispatcher.Enable(Channel::kKeyboard, true);
  dispatcher.Enable(Channel::kMouse, false);
  dispatcher.OnKey(kKeycodeA, true);
  dispatcher.OnButton(1, true);
  EXPECT_EQ(recorder.events(), (std::vector<HookEvent>{kLeftDown, kPressA}));
}

TEST(HookDispatcherTest, InstallStartsDeliveryAfreshAfterDisable) {
  HookDispatcher dispatcher;
  HookEventRecorder recorder;
  dispatcher.Enable(Channel::kMouse, false);
  ASSERT_TRUE(dispatcher.Install(Channel::kMouse, recorder.target()));
  dispatcher.OnButton(1, true);
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, recorder.target()));
  dispatcher.Enable(Channel::kKeyboard, false);
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, recorder.target()));
  dispatcher.OnKey(kKeycodeA, true);
  EXPECT_EQ(recorder.events(), (std::vector<HookEvent>{kLeftDown, kPressA}));
}

TEST(HookDispatcherTest, RemoveEndsDelivery) {
  HookDispatcher dispatcher;
  HookEventRecorder recorder;
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, recorder.target()));
  ASSERT_TRUE(dispatcher.Install(Channel::kMouse, recorder.target()));
  dispatcher.Remove(Channel::kKeyboard);
  dispatcher.Remove(Channel::kMouse);
  dispatcher.Enable(Channel::kKeyboard, true);
  dispatcher.OnKey(kKeycodeA, true);
  dispatcher.OnButton(1, true);
  EXPECT_TRUE(recorder.events().empty());
}

TEST(HookDispatcherTest, ANewInstallReplacesTheTarget) {
  HookDispatcher dispatcher;
  HookEventRecorder first, second;
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, first.target()));
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, second.target()));
  dispatcher.OnKey(kKeycodeA, true);
  EXPECT_TRUE(first.events().empty());
  EXPECT_EQ(second.events(), (std::vector<HookEvent>{kPressA}));
}

TEST(HookDispatcherTest, WheelSwitchesOffAndOn) {
  HookDispatcher dispatcher;
  HookEventRecorder recorder;
  ASSERT_TRUE(dispatcher.Install(Channel::kMouse, recorder.target()));
  dispatcher.EnableWheel(false);
  dispatcher.OnButton(4, true);
  dispatcher.OnButton(1, true);
  dispatcher.EnableWheel(true);
  dispatcher.OnButton(5, true);
  EXPECT_EQ(recorder.events(),
            (std::vector<HookEvent>{kLeftDown, {KB_HOOK_MOUSE_MESSAGE, 0x20A, -120}}));
}

TEST(HookDispatcherTest, UnknownKeysAndButtonsAreNotReported) {
  HookDispatcher dispatcher;
  HookEventRecorder recorder;
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, recorder.target()));
  ASSERT_TRUE(dispatcher.Install(Channel::kMouse, recorder.target()));
  dispatcher.OnKey(0, true);
  dispatcher.OnKey(84 + 8, true);
  dispatcher.OnButton(6, true);
  dispatcher.OnButton(12, true);
  EXPECT_TRUE(recorder.events().empty());
}

// A target that removes its own hook from inside post(), as a careless caller might.
struct SelfRemovingTarget {
  HookDispatcher* dispatcher;
  int posts = 0;
  bool inside_delivery_seen = false;
  kb_message_target target{&SelfRemovingTarget::Post, this};
  static void Post(void* context, std::uint32_t, std::uintptr_t, std::intptr_t) {
    auto* self = static_cast<SelfRemovingTarget*>(context);
    ++self->posts;
    self->inside_delivery_seen = HookDispatcher::InsideDelivery();
    self->dispatcher->Remove(Channel::kKeyboard);
  }
};

TEST(HookDispatcherTest, ATargetMayRemoveItselfWhileBeingPosted) {
  HookDispatcher dispatcher;
  SelfRemovingTarget target{&dispatcher};
  ASSERT_TRUE(dispatcher.Install(Channel::kKeyboard, &target.target));
  dispatcher.OnKey(kKeycodeA, true);
  dispatcher.OnKey(kKeycodeA, false);
  EXPECT_EQ(target.posts, 1);
  EXPECT_TRUE(target.inside_delivery_seen);
  EXPECT_FALSE(HookDispatcher::InsideDelivery());
  EXPECT_FALSE(dispatcher.Installed(Channel::kKeyboard));
}

}  // namespace
}  // namespace kb::hook
