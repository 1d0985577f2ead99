// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/device_link.h"

#include <gtest/gtest.h>

#include <cstring>

#include "device/device_test_profiles.h"
#include "device/lighting_block.h"
#include "device/transfer_parser.h"
#include "keys/key_code.h"
#include "profile/profile_store.h"
#include "session/link_fixture.h"

namespace kb {
namespace {

using test::Action;
using test::BindMacro;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kBegin = 0x0E, kEnd = 0x08, kLight = 0x01;
constexpr std::size_t kFullApplyReports = 123;

std::int32_t Packed(int r, int g, int b) { return (b << 16) | (g << 8) | r; }
int Offset(const KeyEntry& e) { return (e.device_macro_offset[0] << 8) | e.device_macro_offset[1]; }

// A profile with edits in both banks and three keys bound to macros whose actions use presses,
// releases and moves with short and long delays. Key-action delays are even: the keyboard reads
// the low bit of a key action's first byte as part of its flag.
void MakeRoundTripProfile(ProfileRecord& r, MacroList& macros) {
  auto burst = test::EmptyMacro(u"burst");
  test::AddAction(*burst, Action(0x04, 1, 10));
  test::AddAction(*burst, Action(0x04, 2, 250));
  test::AddAction(*burst, Action(0xF0, 1, 1000));
  test::AddAction(*burst, Action(0xF0, 2, 20));
  auto sweep = test::EmptyMacro(u"sweep");
  test::AddAction(*sweep, Action(0xF6, 0, 1, 10, -10));
  test::AddAction(*sweep, Action(0xF6, 0, 300, -127, 127));
  test::AddAction(*sweep, Action(0xF6, 0, 5000, 5, 5));
  test::AddAction(*sweep, Action(0x2C, 1, 64));
  test::AddAction(*sweep, Action(0x2C, 2, 2));
  auto mixed = test::EmptyMacro(u"mixed");
  test::AddAction(*mixed, Action(0xE1, 1, 100));
  test::AddAction(*mixed, Action(0xF6, 0, 255, 1, 2));
  test::AddAction(*mixed, Action(0xE1, 2, 30000));
  macros.push_back(std::move(burst));
  macros.push_back(std::move(sweep));
  macros.push_back(std::move(mixed));

  ProfileBank& b0 = r.banks[0];
  ProfileBank& b1 = r.banks[1];
  b0.light_mode = 5;
  b0.light_speed[5] = 0;
  b0.light_brightness[5] = 3;
  b0.light_color[5] = Packed(200, 0, 100);
  b0.light_color_mode[5] = 9;
  b0.light_aux2[5] = 7;
  b0.light_brightness[18] = 2;
  b0.light_color[11] = Packed(20, 30, 40);
  b1.light_mode = 18;
  b1.light_color[0] = Packed(10, 20, 30);
  b1.light_speed[12] = 4;
  b1.light_brightness[18] = 0;
  b0.custom_colors[0][0] = Packed(1, 2, 3);
  b0.custom_colors[3][131] = Packed(255, 255, 255);
  b1.custom_colors[0][5] = Packed(50, 60, 70);
  b1.custom_colors[0][46] = 0;

  KeyEntry& shortcut = b0.keys[30];
  shortcut.kind = KindByte(AssignmentKind::Shortcut);
  shortcut.kind_param = 0x02;
  WriteKeyCode(shortcut.code, KeyboardCode(0x06, 0x02));
  KeyEntry& media = b1.keys[31];
  media.kind = KindByte(AssignmentKind::MediaPlayPause);
  WriteKeyCode(media.code, 0x0400'00CD);
  KeyEntry& disabled = b0.keys[32];
  disabled.kind = KindByte(AssignmentKind::Disabled);
  WriteKeyCode(disabled.code, kNoFunction);
  KeyEntry& single = b1.keys[40];
  single.kind = KindByte(AssignmentKind::SingleKey);
  WriteKeyCode(single.code, 0x29);
  BindMacro(b0.keys[10], 0, 3, 1);
  BindMacro(b1.keys[20], 1, 1, 0);
  BindMacro(b0.fn_keys[4], 2, 65535, 4);
}

std::uint32_t ExpectedWord(const KeyEntry& e) {
  if (e.kind == KindByte(AssignmentKind::MacroBinding)) {
    return static_cast<std::uint32_t>(e.device_macro_offset[0]) |
           (static_cast<std::uint32_t>(e.device_macro_offset[1]) << 8) |
           (static_cast<std::uint32_t>(e.macro_repeat_mode & 0xFF) << 16) |
           (static_cast<std::uint32_t>(e.code[0]) << 24);
  }
  return ReadKeyCode(e.code);
}

// The keyboard's state must equal what the profile says for the bank it sent lighting and
// colours from, and both banks' key maps.
void ExpectKeyboardHolds(const vkb_state& s, const ProfileRecord& r, int sent_bank) {
  const ProfileBank& lit = r.banks[sent_bank];
  const vkb_bank_lighting& l = s.banks[sent_bank].lighting;
  EXPECT_EQ(l.light_mode, lit.light_mode);
  for (int k = 0; k < 18; ++k) {
    const std::int32_t c = lit.light_color[k];
    const int red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
    const int sent_blue = (red > 100 || green > 100) ? blue * 6 / 10 : blue;
    EXPECT_EQ(l.slots[k].color_mode, lit.light_color_mode[k] & 0xFF) << k;
    EXPECT_EQ(l.slots[k].brightness, (lit.light_brightness[k] + 1) & 0xFF) << k;
    EXPECT_EQ(l.slots[k].speed, lit.light_speed[k] & 0xFF) << k;
    EXPECT_EQ(l.slots[k].blue, sent_blue) << k;
    EXPECT_EQ(l.slots[k].red, red) << k;
    EXPECT_EQ(l.slots[k].green, green) << k;
    EXPECT_EQ(l.slots[k].aux1, lit.light_aux1[k]) << k;
    EXPECT_EQ(l.slots[k].aux2, lit.light_aux2[k]) << k;
    EXPECT_EQ(l.slots[k].aux3, lit.light_aux3[k]) << k;
  }
  EXPECT_EQ(l.custom_brightness, (lit.light_brightness[18] + 1) & 0xFF);
  for (int half = 0; half < 2; ++half) {
    for (int set = 0; set < kCustomColorSets; ++set) {
      for (int key = 0; key < kKeyCount; ++key) {
        const std::int32_t c = lit.custom_colors[set][key];
        ASSERT_EQ(s.banks[half].colors[set].red[key], c & 0xFF) << half << "/" << set << "/" << key;
        ASSERT_EQ(s.banks[half].colors[set].green[key], (c >> 8) & 0xFF);
        ASSERT_EQ(s.banks[half].colors[set].blue[key], (c >> 16) & 0xFF);
      }
    }
  }
  for (int b = 0; b < 2; ++b) {
    for (int k = 0; k < kKeyCount; ++k)
      ASSERT_EQ(s.banks[b].key_words[k], ExpectedWord(r.banks[b].keys[k])) << b << "/" << k;
    for (int f = 0; f < kFnSlotCount; ++f) {
      ASSERT_EQ(s.banks[b].fn_words[f], ExpectedWord(r.banks[b].fn_keys[f])) << b << "/" << f;
      ASSERT_EQ(s.banks[b].fn2_words[f], ReadKeyCode(r.banks[b].fn_keys[f].code2));
    }
  }
}

void ExpectProgram(test::VirtualKeyboard& keyboard, const KeyEntry& key, const MacroRecord& macro) {
  vkb_macro_program program{};
  std::vector<vkb_macro_action> actions;
  ASSERT_TRUE(keyboard.DecodeMacro(static_cast<std::uint32_t>(Offset(key)), program, actions))
      << program.error;
  EXPECT_EQ(program.loops, key.macro_loops & 0xFFFF);
  ASSERT_EQ(actions.size(), static_cast<std::size_t>(macro.action_count));
  for (int i = 0; i < macro.action_count; ++i) {
    const MacroAction& a = macro.actions[i];
    EXPECT_EQ(actions[i].action_code, a.action_code) << i;
    EXPECT_EQ(actions[i].action_kind, a.action_kind) << i;
    EXPECT_EQ(actions[i].delay, a.delay == 0 ? 1 : a.delay) << i;
    EXPECT_EQ(actions[i].x, a.x) << i;
    EXPECT_EQ(actions[i].y, a.y) << i;
  }
}

class DeviceLinkTest : public test::LinkFixture {};

TEST_F(DeviceLinkTest, StartUpOpensTheKeyboardAndReportsTheFirmwareVersion) {
  EXPECT_TRUE(start.open.Problems().empty());
  EXPECT_EQ(data->device_state(), DeviceState::Present);
  EXPECT_EQ(observer.state_changes(), 1);
  EXPECT_EQ(observer.version(), "1.05");
}

TEST_F(DeviceLinkTest, FullApplyOfTheDefaultProfile) {
  const ApplyOutcome outcome = link->ApplyProfile();
  ASSERT_TRUE(outcome.reached()) << outcome.transfer.status.reason();
  EXPECT_EQ(outcome.transfer.reports, kFullApplyReports);
  EXPECT_EQ(sleeper.count(), kFullApplyReports);
  const auto log = TakeLog();
  EXPECT_EQ(log.size(), kFullApplyReports);
  EXPECT_TRUE(test::ParseLog(log).error.empty());
  EXPECT_TRUE(keyboard.TakeViolations().empty());
  EXPECT_EQ(observer.ring(), (std::vector<bool>{true, false}));
  EXPECT_TRUE(outcome.store_saved.ok());
  EXPECT_FALSE(data->full_apply_pending());
}

TEST_F(DeviceLinkTest, RoundTripOfBothBanksAndMacrosThenNoChange) {
  {
    auto edit = data->Lock();
    MakeRoundTripProfile(*edit.current(), edit.macros());
  }
  const ApplyOutcome first = link->ApplyProfile();
  ASSERT_TRUE(first.reached()) << first.transfer.status.reason();
  EXPECT_EQ(first.transfer.macro_programs, 3);
  EXPECT_TRUE(keyboard.TakeViolations().empty());
  const auto current = data->CopyOfCurrent();
  ExpectKeyboardHolds(*keyboard.State(), *current, 0);
  {
    auto edit = data->Lock();
    ExpectProgram(keyboard, current->banks[0].keys[10], *edit.macros()[0]);
    ExpectProgram(keyboard, current->banks[1].keys[20], *edit.macros()[1]);
    ExpectProgram(keyboard, current->banks[0].fn_keys[4], *edit.macros()[2]);
  }
  EXPECT_EQ(Offset(current->banks[0].keys[10]), 0) << "offsets are written back into the profile";
  EXPECT_GT(Offset(current->banks[1].keys[20]), Offset(current->banks[0].fn_keys[4]));
  TakeLog();

  const ApplyOutcome second = link->ApplyProfile();
  ASSERT_TRUE(second.reached());
  const auto log = TakeLog();
  EXPECT_EQ(log.size(), 6u);
  EXPECT_EQ(test::Commands(test::ParseLog(log)), (Bytes{kBegin, kBegin, kEnd}));

  // The keyboard switches to bank 1: the profile follows, and a full apply sends bank 1's
  // lighting and colours.
  ASSERT_TRUE(keyboard.SwitchBank(1));
  ASSERT_TRUE(Deliver(kDeviceDataMessage).ok());
  EXPECT_EQ(data->CopyOfCurrent()->active_bank, 1);
  data->Lock().RequestFullApply();
  ASSERT_TRUE(link->ApplyProfile().reached());
  const auto state = keyboard.State();
  EXPECT_EQ(state->active_bank, 1);
  ExpectKeyboardHolds(*state, *data->CopyOfCurrent(), 1);
  EXPECT_EQ(state->banks[0].lighting.light_mode, 5) << "bank 0 keeps what it was sent first";
  EXPECT_TRUE(keyboard.TakeViolations().empty());
}

TEST_F(DeviceLinkTest, ChangingOnlyTheSpeedOfAnotherModeSendsTheLightingBlock) {
  ASSERT_TRUE(link->ApplyProfile().reached());
  TakeLog();
  ActiveBank(*data->Lock().current()).light_speed[7] = 0;
  ASSERT_TRUE(link->ApplyProfile().reached());
  EXPECT_EQ(test::Commands(test::ParseLog(TakeLog())), (Bytes{kBegin, kLight, kBegin, kEnd}));
}

TEST_F(DeviceLinkTest, ApplyAfterSelectingAnotherProfileSendsEverything) {
  {
    auto edit = data->Lock();
    NewDefaultProfile(u"Second", Model::KB_3, edit.profiles());
  }
  ASSERT_TRUE(link->ApplyProfile().reached());
  TakeLog();
  data->Lock().SelectProfile(1);  // equal to the last-applied copy but for the name
  ASSERT_TRUE(link->ApplyProfile().reached());
  EXPECT_EQ(TakeLog().size(), kFullApplyReports);
}

TEST_F(DeviceLinkTest, ApplyWithTheKeyboardAbsentSendsNothingSavesAndKeepsTheCopy) {
  ASSERT_TRUE(keyboard.Unplug());
  ASSERT_TRUE(Deliver(kDeviceChangeMessage).ok());
  EXPECT_EQ(data->device_state(), DeviceState::Absent);
  EXPECT_EQ(observer.state_changes(), 2);
  TakeLog();
  std::filesystem::remove(paths.profile_store);
  const auto before = data->CopyOfLastApplied();
  ActiveBank(*data->Lock().current()).light_mode = 9;

  const ApplyOutcome outcome = link->ApplyProfile();
  EXPECT_EQ(outcome.result, ApplyOutcome::Result::Absent);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_EQ(keyboard.State()->counters.feature_reports, 0u);
  EXPECT_EQ(sleeper.count(), 0u);
  EXPECT_TRUE(outcome.store_saved.ok());
  EXPECT_TRUE(std::filesystem::exists(paths.profile_store));
  EXPECT_EQ(std::memcmp(before.get(), data->CopyOfLastApplied().get(), sizeof(ProfileRecord)), 0);
  EXPECT_TRUE(data->full_apply_pending());
  EXPECT_TRUE(observer.ring().empty());

  // Back again: after the settle pause the channels reopen and the next apply sends it all.
  ASSERT_TRUE(keyboard.PlugIn());
  ASSERT_TRUE(Deliver(kDeviceChangeMessage).ok());
  EXPECT_EQ(sleeper.sleeps(),
            (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(500)}));
  EXPECT_EQ(data->device_state(), DeviceState::Present);
  EXPECT_EQ(observer.state_changes(), 3);
  ASSERT_TRUE(link->ApplyProfile().reached());
  EXPECT_EQ(TakeLog().size(), kFullApplyReports);
}

TEST_F(DeviceLinkTest, RepeatedPresenceNotificationsDoNothing) {
  // Arrival while present.
  ASSERT_TRUE(link->OnDeviceNotification(0x7F000001).ok());
  EXPECT_EQ(sleeper.count(), 0u);
  EXPECT_EQ(observer.state_changes(), 1);
  ASSERT_TRUE(link->OnDeviceNotification(0x7F000002).ok());
  ASSERT_TRUE(link->OnDeviceNotification(0x7F000002).ok());
  EXPECT_EQ(observer.state_changes(), 2);
}

TEST_F(DeviceLinkTest, EditDuringAnApplyGoesOutWithTheNextOne) {
  ASSERT_TRUE(link->ApplyProfile().reached());
  TakeLog();
  // Change a key, and while that apply runs (the lock is free during the pauses) change the
  // lighting and the key again.
  WriteKeyCode(data->Lock().current()->banks[0].keys[50].code, 0x07);
  sleeper.Clear();
  sleeper.OnSleep([&](std::size_t n) {
    if (n != 10) return;
    auto edit = data->Lock();
    edit.current()->banks[1].light_speed[3] = 0;
    WriteKeyCode(edit.current()->banks[0].keys[50].code, 0x08);
  });
  ASSERT_TRUE(link->ApplyProfile().reached());
  sleeper.OnSleep(nullptr);
  EXPECT_EQ(test::Commands(test::ParseLog(TakeLog())), (Bytes{kBegin, 2, 2, 2, 2, kBegin, kEnd}));
  const auto copy = data->CopyOfLastApplied();
  EXPECT_EQ(ReadKeyCode(copy->banks[0].keys[50].code), 0x07u) << "the copy is what was sent";
  EXPECT_EQ(copy->banks[1].light_speed[3], 2);
  EXPECT_EQ(keyboard.State()->banks[0].key_words[50], 0x07u);

  ASSERT_TRUE(link->ApplyProfile().reached());
  EXPECT_EQ(test::Commands(test::ParseLog(TakeLog())),
            (Bytes{kBegin, kLight, 2, 2, 2, 2, kBegin, kEnd}));
  EXPECT_EQ(keyboard.State()->banks[0].key_words[50], 0x08u);
}

TEST_F(DeviceLinkTest, MacroEditDuringAnApplyGoesOutWithTheNextOne) {
  {
    auto edit = data->Lock();
    edit.macros().push_back(test::EmptyMacro(u"m"));
    test::AddAction(*edit.macros()[0], Action(0x04, 1, 10));
    BindMacro(edit.current()->banks[0].keys[3], 0);
  }
  sleeper.OnSleep([&](std::size_t n) {
    if (n == 5) data->Lock().macros()[0]->actions[0].delay = 40;
  });
  ASSERT_TRUE(link->ApplyProfile().reached());
  sleeper.OnSleep(nullptr);
  TakeLog();
  vkb_macro_program program{};
  std::vector<vkb_macro_action> actions;
  ASSERT_TRUE(keyboard.DecodeMacro(0, program, actions));
  EXPECT_EQ(actions.at(0).delay, 10);
  ASSERT_TRUE(link->ApplyProfile().reached());
  EXPECT_EQ(test::Commands(test::ParseLog(TakeLog())),
            (Bytes{kBegin, 4, 2, 2, 2, 2, kBegin, kEnd}));
  ASSERT_TRUE(keyboard.DecodeMacro(0, program, actions));
  EXPECT_EQ(actions.at(0).delay, 40);
}

TEST_F(DeviceLinkTest, FailedCallKeepsTheFullApplyFlagAndTheCopyButSavesTheStore) {
  ASSERT_TRUE(link->ApplyProfile().reached());
  TakeLog();
  ActiveBank(*data->Lock().current()).light_mode = 3;
  const auto before = data->CopyOfLastApplied();
  std::filesystem::remove(paths.profile_store);
  sleeper.Clear();
  sleeper.OnSleep([&](std::size_t n) {
    if (n == 4) keyboard.Unplug();  // in the middle of the lighting block
  });
  const ApplyOutcome outcome = link->ApplyProfile();
  sleeper.OnSleep(nullptr);
  // The call failed because the cable went: the outcome says so.
  EXPECT_EQ(outcome.result, ApplyOutcome::Result::Lost);
  EXPECT_NE(outcome.transfer.status.reason().find("WriteHIDUSB"), std::string::npos)
      << outcome.transfer.status.reason();
  EXPECT_EQ(outcome.transfer.reports, 5u) << "nothing is sent after the failed call";
  EXPECT_TRUE(data->full_apply_pending());
  EXPECT_EQ(std::memcmp(before.get(), data->CopyOfLastApplied().get(), sizeof(ProfileRecord)), 0);
  EXPECT_TRUE(outcome.store_saved.ok());
  EXPECT_TRUE(std::filesystem::exists(paths.profile_store));
  EXPECT_EQ(observer.ring(), (std::vector<bool>{true, false, true, false}));

  ASSERT_TRUE(Deliver(kDeviceChangeMessage).ok());  // the removal
  ASSERT_TRUE(keyboard.PlugIn());
  ASSERT_TRUE(Deliver(kDeviceChangeMessage).ok());
  TakeLog();
  ASSERT_TRUE(link->ApplyProfile().reached());
  EXPECT_EQ(TakeLog().size(), kFullApplyReports);
}

TEST_F(DeviceLinkTest, LightModeAndBankNotificationsChangeTheProfileAndSave) {
  ASSERT_TRUE(keyboard.SwitchLightMode(4));
  ASSERT_TRUE(Deliver(kDeviceDataMessage).ok());
  EXPECT_EQ(ActiveBank(*data->CopyOfCurrent()).light_mode, 4);
  EXPECT_EQ(observer.light_modes(), (std::vector<int>{4}));
  StoreHeader header{};
  ProfileList saved;
  (void)LoadProfileStore(paths.profile_store, Model::KB_3, u"x", header, saved);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0]->banks[0].light_mode, 4);

  // A mode outside 0..19 is ignored.
  ASSERT_TRUE(link->OnDeviceNotification(0x030B1600).ok());
  EXPECT_EQ(ActiveBank(*data->CopyOfCurrent()).light_mode, 4);
  EXPECT_EQ(observer.light_modes().size(), 1u);

  ASSERT_TRUE(link->OnDeviceNotification(0x05080001).ok());  // no switch flag
  EXPECT_EQ(data->CopyOfCurrent()->active_bank, 0);
  ASSERT_TRUE(link->OnDeviceNotification(0x05080101).ok());
  EXPECT_EQ(data->CopyOfCurrent()->active_bank, 1);
}

TEST_F(DeviceLinkTest, ResumeSequenceOnlyWhenPresentAndAllowed) {
  observer.SetResumeAllowed(false);
  EXPECT_FALSE(link->SendResumeSequence().sent);
  EXPECT_TRUE(TakeLog().empty());
  observer.SetResumeAllowed(true);
  const ResumeOutcome sent = link->SendResumeSequence();
  EXPECT_TRUE(sent.sent);
  EXPECT_TRUE(sent.status.ok());
  const auto parsed = test::ParseLog(TakeLog());
  ASSERT_EQ(parsed.transfers.size(), 2u);
  EXPECT_EQ(parsed.transfers[1].index, 0x66);
  EXPECT_EQ(keyboard.State()->last_end_index, 0x66);
  ASSERT_TRUE(keyboard.Unplug());
  ASSERT_TRUE(Deliver(kDeviceChangeMessage).ok());
  EXPECT_FALSE(link->SendResumeSequence().sent);
}

}  // namespace
}  // namespace kb
