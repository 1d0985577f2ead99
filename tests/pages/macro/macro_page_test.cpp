// SPDX-License-Identifier: GPL-3.0-or-later
// The macro page driven by control name in the main window, with hook events posted to the main
// window as the input-hook library posts them: recording in each delay mode, insertion after
// the selected action, key capture, the fields' corrections, the limits, deleting a macro that
// keys are bound to, and the keyboard-memory indicator against what an apply leaves out.

#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "keys/assignment_kind.h"
#include "keys/key_layout.h"
#include "macro/macro_working_state.h"
#include "pages/macro/macro_page.h"
#include "profile/profile_record.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/list.h"

namespace kb::test {
namespace {

using Clock = CMacroPage::Clock;

class MacroPageTest : public AppFixture {
 protected:
  void StartOnMacroPage() {
    Start();
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
    DuiLib::Testing::ProcessEvents();
    Macros().SetClockForTesting([this] { return now; });
  }
  CMacroPage& Macros() { return *dynamic_cast<CMacroPage*>(Find(u"kb_3_macro")); }
  void AddMacro(std::u16string name) {
    ExpectNameDialog(std::move(name));
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_add_macro"));
    DuiLib::Testing::ProcessEvents();
  }
  void Key(unsigned vk, bool release, int after_ms = 0) {
    now += std::chrono::milliseconds(after_ms);
    wnd->PostMessage(KB_HOOK_KEY_MESSAGE, vk, release ? 1 : 0);
    DuiLib::Testing::ProcessEvents();
  }
  void Mouse(unsigned message, int extra = 0) {
    wnd->PostMessage(KB_HOOK_MOUSE_MESSAGE, message, extra);
    DuiLib::Testing::ProcessEvents();
  }
  void ToggleRecord() { ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_record")); }
  MacroRecord Stored(int index) { return *Data().Lock().macros().at(index); }
  void Type(const char16_t* field, std::u16string_view text) {
    kb::testing::Type(*wnd, field, text);
  }
  void Leave() { pm().SetFocus(nullptr); }
  DuiLib::CListUI* Actions() {
    return dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro_action"));
  }

  Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
};

TEST_F(MacroPageTest, RecordingInEachDelayModeAndAfterTheSelectedAction) {
  StartOnMacroPage();
  AddMacro(u"Word");
  EXPECT_EQ(Label(u"edit_kb_3_loop_time"), u"1");
  // Delays of the field beside (the default option): press A 10, release 1. A held key repeats
  // its press: one press. The wheel gives nothing.
  ToggleRecord();
  ASSERT_TRUE(Macros().recording());
  EXPECT_EQ(Find(u"btn_kb_3_record")->GetText(), u"macro_11_text");
  Key(0x41, false);
  Key(0x41, false);
  Key(0x41, false);
  Mouse(0x20A);
  Key(0x41, true);
  ToggleRecord();
  EXPECT_FALSE(Macros().recording());
  MacroRecord m = Stored(0);
  ASSERT_EQ(m.action_count, 2);
  EXPECT_EQ(m.actions[0].action_code, 0x04);
  EXPECT_EQ(m.actions[0].action_kind, kPressKind);
  EXPECT_EQ(m.actions[0].delay, 10);
  EXPECT_EQ(m.actions[1].action_kind, kReleaseKind);
  EXPECT_EQ(m.actions[1].delay, 1);
  EXPECT_EQ(Actions()->GetCount(), 2);

  // Measured: the press of a key held 250 ms gets 250. The last action is selected, so the
  // recording goes in after it.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro_delay_3"));
  ToggleRecord();
  Key(0x42, false, 5);
  Key(0x42, true, 250);
  Mouse(0x201);
  Mouse(0x202);
  ToggleRecord();
  m = Stored(0);
  ASSERT_EQ(m.action_count, 6);
  EXPECT_EQ(m.actions[2].action_code, 0x05);
  EXPECT_EQ(m.actions[2].delay, 250);
  EXPECT_EQ(m.actions[4].action_code, 0xF0);
  EXPECT_EQ(m.actions[1].delay, 1);  // the action before an insertion keeps its delay

  // 1 ms, inserted after action 0: the old action 1 follows the new ones.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro_delay_1"));
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 0));
  ToggleRecord();
  Key(0x43, false);
  Key(0x43, true);
  ToggleRecord();
  m = Stored(0);
  ASSERT_EQ(m.action_count, 8);
  EXPECT_EQ(m.actions[1].action_code, 0x06);
  EXPECT_EQ(m.actions[2].action_code, 0x06);
  EXPECT_EQ(m.actions[2].delay, 1);
  EXPECT_EQ(m.actions[3].action_code, 0x04);  // the old release of A
  EXPECT_EQ(m.actions[3].action_kind, kReleaseKind);
  // The capture bytes are given back when recording ends.
  EXPECT_EQ(wnd->capture_flags()[12], 0);
}

TEST_F(MacroPageTest, KeyCaptureFieldCorrectionsAndTheFilter) {
  StartOnMacroPage();
  AddMacro(u"Edit");
  ToggleRecord();
  Key(0x41, false);
  Key(0x41, true);
  ToggleRecord();
  // Key capture: the selected action (the last) takes the key; the event that ended the
  // capture is not recorded by the next recording.
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 0));
  ASSERT_TRUE(DuiLib::Testing::Click(Find(u"edit_kb_3_macro_action")));
  Key(0x5A, false);
  EXPECT_EQ(Stored(0).actions[0].action_code, 0x1D);  // Z
  EXPECT_EQ(Stored(0).actions[0].action_kind, kPressKind);
  EXPECT_EQ(Stored(0).actions[1].action_code, 0x04);  // the release is untouched
  EXPECT_EQ(Label(u"edit_kb_3_macro_action"), u"Z");
  Leave();
  ToggleRecord();    // after the selected action 0
  Key(0x5A, false);  // the same as the last event seen
  Key(0x5A, true);
  ToggleRecord();
  ASSERT_EQ(Stored(0).action_count, 3);
  EXPECT_EQ(Stored(0).actions[1].action_code, 0x1D);
  EXPECT_EQ(Stored(0).actions[1].action_kind, kReleaseKind);

  // Corrections as the fields lose the focus.
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 0));
  for (const auto& [typed, kept] : {std::pair{u"0", 1}, std::pair{u"70000", 65535}}) {
    Type(u"edit_kb_3_macro_delay", typed);
    Leave();
    EXPECT_EQ(Stored(0).actions[0].delay, kept);
    EXPECT_EQ(Label(u"edit_kb_3_macro_delay"), DuiLib::CDuiString(std::to_string(kept)));
  }
  Type(u"edit_kb_3_loop_time", u"0");
  Leave();
  EXPECT_EQ(Stored(0).loop_time, 1);
  Type(u"edit_kb_3_insert_x", u"12a-3");
  EXPECT_EQ(Label(u"edit_kb_3_insert_x"), u"12-3");
  Leave();
  EXPECT_EQ(Label(u"edit_kb_3_insert_x"), u"12-3");  // 12 is in range: kept as typed
  Type(u"edit_kb_3_insert_y", u"200");
  Leave();
  EXPECT_EQ(Label(u"edit_kb_3_insert_y"), u"127");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_insert_move"));
  ASSERT_EQ(Stored(0).action_count, 4);  // after the selected action 0
  EXPECT_EQ(Stored(0).actions[1].action_code, kMouseMoveCode);
  EXPECT_EQ(Stored(0).actions[1].x, 12);
  EXPECT_EQ(Stored(0).actions[1].y, 127);
  EXPECT_TRUE(Find(u"hor_kb_3_macro_mouse_move")->IsVisible())
      << Macros().working().selected() << " " << Find(u"hor_kb_3_macro_mouse_move")->IsOwnVisible()
      << " " << Actions()->GetCurSel();
}

TEST_F(MacroPageTest, LimitsOfTheActionTable) {
  StartOnMacroPage();
  AddMacro(u"Long");
  AddMacro(u"Other");
  {
    auto edit = Data().Lock();
    MacroRecord& m = *edit.macros()[0];
    m.action_count = kMaxMouseMoveInsertCount;
    for (int i = 0; i < m.action_count; ++i) m.actions[i] = {0x04, kPressKind, 1, 0, 0};
  }
  ASSERT_TRUE(
      DuiLib::Testing::ClickListItem(dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro")), 0));
  ASSERT_EQ(Actions()->GetCount(), kMaxMouseMoveInsertCount);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_insert_move"));
  EXPECT_EQ(Stored(0).action_count, kMaxMouseMoveInsertCount);  // refused
  // Recording still goes on to 3000, then stops by itself and saves.
  ToggleRecord();
  ASSERT_TRUE(Macros().recording());
  for (int i = 0; i < 3000 && Macros().recording(); ++i) Key(0x41 + (i % 2), i % 4 >= 2);
  EXPECT_FALSE(Macros().recording());
  EXPECT_EQ(Stored(0).action_count, 3000);

  // Full in the middle: the last recorded action stays selected, not the last row.
  {
    auto edit = Data().Lock();
    edit.macros()[1]->action_count = 2998;
  }
  ASSERT_TRUE(
      DuiLib::Testing::ClickListItem(dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro")), 1));
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 9));
  ToggleRecord();
  Key(0x43, false);
  Key(0x43, true);
  EXPECT_FALSE(Macros().recording());
  EXPECT_EQ(Actions()->GetCurSel(), 11);
  EXPECT_EQ(Macros().working().selected(), 11);
}

TEST_F(MacroPageTest, TheActionCommandsKeepTheMovedActionSelectedAlsoWhileRecording) {
  StartOnMacroPage();
  AddMacro(u"Order");
  ToggleRecord();
  for (unsigned vk : {0x41u, 0x42u, 0x43u, 0x44u}) Key(vk, false);
  ToggleRecord();
  const auto codes = [&] {
    const MacroRecord m = Stored(0);
    std::vector<int> out;
    for (int i = 0; i < m.action_count; ++i) out.push_back(m.actions[i].action_code);
    return out;
  };
  ASSERT_EQ(codes(), (std::vector<int>{0x04, 0x05, 0x06, 0x07}));
  // Two Move ups take D two rows up, and it stays the selected action.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_macro_move_up"));
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_macro_move_up"));
  EXPECT_EQ(codes(), (std::vector<int>{0x04, 0x07, 0x05, 0x06}));
  EXPECT_EQ(Actions()->GetCurSel(), 1);
  EXPECT_EQ(Label(u"edit_kb_3_macro_action"), u"D");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_macro_move_down"));
  EXPECT_EQ(codes(), (std::vector<int>{0x04, 0x05, 0x07, 0x06}));
  EXPECT_EQ(Actions()->GetCurSel(), 2);
  // Delete selects the action that took the row's place.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_macro_action_delete"));
  EXPECT_EQ(codes(), (std::vector<int>{0x04, 0x05, 0x06}));
  EXPECT_EQ(Actions()->GetCurSel(), 2);
  EXPECT_EQ(Macros().working().selected(), 2);
  EXPECT_EQ(Label(u"edit_kb_3_macro_action"), u"C");

  // During a recording into the middle the commands work, and the recording keeps going in
  // between the same neighbours: after B and Q here, with A deleted meanwhile.
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 1));
  ToggleRecord();
  Key(0x51, false);  // Q
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 0));
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_macro_action_delete"));
  Key(0x57, false);  // W
  ToggleRecord();
  EXPECT_EQ(codes(), (std::vector<int>{0x05, 0x14, 0x1A, 0x06}));

  // A delay typed with its sign is read as any C library reads it.
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(Actions(), 0));
  Type(u"edit_kb_3_macro_delay", u"+5");
  Leave();
  EXPECT_EQ(Stored(0).actions[0].delay, 5);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_macro_clear_all"));
  EXPECT_TRUE(codes().empty());
  EXPECT_EQ(Actions()->GetCount(), 0);
}

TEST_F(MacroPageTest, DeletingAMacroMovesLaterBindingsDownAndResetsItsKeys) {
  StartOnMacroPage();
  for (const char16_t* name : {u"M0", u"M1", u"M2", u"M3", u"M4"}) AddMacro(name);
  {
    auto edit = Data().Lock();
    ProfileBank& bank = ActiveBank(*edit.current());
    for (int key : {3, 14}) {
      KeyEntry& e = bank.keys[key];
      e.kind = KindByte(AssignmentKind::MacroBinding);
      WriteKeyCode(e.code, 0x1000'0000);
      e.macro_index = key == 3 ? 1 : 2;
    }
  }
  ASSERT_TRUE(
      DuiLib::Testing::ClickListItem(dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro")), 1));
  ExpectBox(u"warning_3_text");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_delete_macro"));
  Settle();
  const ProfileBank bank = ActiveBank(*Data().Lock().current());
  EXPECT_EQ(bank.keys[3].kind, KindByte(AssignmentKind::Default));
  EXPECT_EQ(ReadKeyCode(bank.keys[3].code), LayoutOf(Model::KB_3).default_key_codes[3]);
  EXPECT_EQ(bank.keys[3].macro_index, -1);
  EXPECT_EQ(bank.keys[14].macro_index, 1);  // still M2
  EXPECT_EQ(FieldText(Data().Lock().macros()[1]->name), u"M2");
  EXPECT_EQ(Find(u"btn_kb_3_key_3")->GetBkImage(), u"");
  EXPECT_EQ(Data().Lock().macros().size(), 4u);
}

TEST_F(MacroPageTest, AMacroStoreThatCannotBeWrittenIsSaidAndTheMacroStays) {
  StartOnMacroPage();
  AddMacro(u"Kept");
  // A folder where the store was: no save can replace it.
  std::filesystem::remove(MacroStore());
  std::filesystem::create_directories(MacroStore() / "in the way");
  ExpectNameDialog(u"Unsaved");
  ExpectBox(u"warning_store_save_text");
  const int opened = script.opened();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_add_macro"));
  Settle();
  EXPECT_EQ(script.opened(), opened + 2) << "the name dialog, then the box";
  EXPECT_EQ(Data().Lock().macros().size(), 2u);
  EXPECT_EQ(dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"))->GetCount(), 2);
}

TEST_F(MacroPageTest, TheMemoryIndicatorNamesWhatAnApplyLeavesOut) {
  StartOnMacroPage();
  AddMacro(u"Small");
  AddMacro(u"Huge");
  {
    auto edit = Data().Lock();
    for (int i = 0; i < 2; ++i) {
      MacroRecord& m = *edit.macros()[i];
      m.action_count = i == 0 ? 10 : 3000;
      for (int a = 0; a < m.action_count; ++a)
        m.actions[a] = {static_cast<std::uint8_t>(0x04 + a % 20), a % 2 ? kReleaseKind : kPressKind,
                        static_cast<std::uint16_t>(200 + a), 0, 0};
    }
    ProfileBank& bank = ActiveBank(*edit.current());
    for (int key : {3, 14}) {
      KeyEntry& e = bank.keys[key];
      e.kind = KindByte(AssignmentKind::MacroBinding);
      WriteKeyCode(e.code, 0x1000'0000);
      e.macro_index = key == 3 ? 0 : 1;
    }
  }
  Macros().ShowMacroMemory();
  EXPECT_NE(Label(u"label_kb_3_macro_memory").Find(u"of 10000 bytes"), -1);
  EXPECT_TRUE(Find(u"label_kb_3_macro_left_out")->IsVisible());
  EXPECT_NE(Label(u"label_kb_3_macro_left_out").Find(u"Huge"), -1);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();
  EXPECT_NE(Label(u"label_kb_3_apply_status").Find(u"Huge"), -1);
  // The macro that fits still plays on the keyboard.
  const auto state = keyboard.State();
  std::vector<vkb_macro_action> actions;
  vkb_macro_program program{};
  ASSERT_TRUE(keyboard.DecodeMacro(state->banks[0].key_words[3] & 0xFFFF, program, actions));
  EXPECT_EQ(actions.size(), 10u);
}

TEST_F(MacroPageTest, ARecordedMacroBoundThroughThePickerPlaysOnTheKeyboard) {
  StartOnMacroPage();
  AddMacro(u"Played");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro_delay_3"));
  ToggleRecord();
  Key(0x48, false);
  Key(0x48, true, 35);
  Mouse(0x204);
  now += std::chrono::milliseconds(300);
  Mouse(0x205);
  ToggleRecord();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_custom"));
  script.Then([](DuiLib::CWindowWnd& w) {
    ASSERT_TRUE(DuiLib::Testing::ClickListItem(
        dynamic_cast<DuiLib::CListUI*>(kb::testing::Find(w, u"list_macro")), 0));
    kb::testing::Click(w, u"btn_ok");
  });
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_key_3"));
  ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(u"kb_3_command_3"));
  DuiLib::Testing::ProcessEvents();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();
  const MacroRecord m = Stored(0);
  ASSERT_EQ(m.action_count, 4);
  const auto state = keyboard.State();
  std::vector<vkb_macro_action> actions;
  vkb_macro_program program{};
  ASSERT_TRUE(keyboard.DecodeMacro(state->banks[0].key_words[3] & 0xFFFF, program, actions));
  ASSERT_EQ(actions.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(actions[i].action_code, m.actions[i].action_code) << i;
    EXPECT_EQ(actions[i].action_kind, m.actions[i].action_kind) << i;
    // The flag shares a key action's delay byte: the keyboard reads odd delays one lower.
    EXPECT_EQ(actions[i].delay, m.actions[i].delay & ~1) << i;
  }
  EXPECT_EQ(m.actions[0].delay, 35);
  EXPECT_EQ(m.actions[2].delay, 300);
  EXPECT_EQ(m.actions[2].action_code, 0xF1);
  EXPECT_EQ(script.unexpected(), 0);
}

}  // namespace
}  // namespace kb::test
