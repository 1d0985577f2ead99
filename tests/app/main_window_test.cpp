// The program end to end: its main window on the offscreen platform against the virtual
// keyboard, driven by control names.

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/hook_library.h"
#include "app_fixture.h"
#include "common/test_folders.h"
#include "device/transfer_parser.h"
#include "keys/gui/program_messages.h"
#include "profile/profile_record.h"
#include "ui/list.h"
#include "ui/menu.h"

namespace kb::test {
namespace {

using DuiLib::CDuiString;

TEST_F(AppFixture, FirstStartCreatesTheStoreAndShowsTheKeyboardPage) {
  Start();
  EXPECT_EQ(FileSize(ProfileStore()), 48628u);
  EXPECT_EQ(Combo()->GetText(), u"Profile_1");
  EXPECT_EQ(Combo()->GetCurSel(), 0);
  EXPECT_TRUE(wnd->IsWindowVisible());
  EXPECT_TRUE(wnd->has_device());
  EXPECT_TRUE(Find(u"option_kb_3")->IsVisible());
  EXPECT_FALSE(Find(u"option_kb_4")->IsVisible());
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device"))->GetCurSel(), 0);
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device_kb"))->GetCurSel(), 1);
  EXPECT_EQ(wnd->GetWindowText(), u"Keyboard Configuration");
  // The keyboard picture: Esc where it belongs, F9 on its Fn slot, nothing where no key is.
  EXPECT_EQ(Find(u"btn_kb_3_key_0")->GetShownText(), u"Esc");
  EXPECT_TRUE(Find(u"btn_kb_3_fn_key_0")->IsVisible());
  EXPECT_EQ(Find(u"btn_kb_3_fn_key_0")->GetShownText(), u"F9");
  EXPECT_FALSE(Find(u"btn_kb_3_key_60")->IsVisible());
  EXPECT_FALSE(Find(u"btn_kb_3_key_6")->IsVisible());
  EXPECT_EQ(Find(u"btn_kb_3_key_0")->GetBkImage(), u"");
  // Nothing is sent at start-up; the macro page's list is empty and has no selection.
  EXPECT_TRUE(keyboard.TakeLog().empty());
  auto* macros = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"));
  ASSERT_NE(macros, nullptr);
  EXPECT_EQ(macros->GetCount(), 0);
  EXPECT_EQ(macros->GetCurSel(), -1);
  // The sub-pages switch by their options.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_light"));
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device_kb_3"))->GetCurSel(), 1);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device_kb_3"))->GetCurSel(), 2);
}

TEST_F(AppFixture, ADamagedStoreIsToldAtStartUp) {
  std::filesystem::create_directories(ProfileStore().parent_path());
  {
    ProfileRecord record{};
    std::ofstream out(ProfileStore(), std::ios::binary);
    out << std::string(44, '\0');
    out.write(reinterpret_cast<const char*>(&record), sizeof record);
    out << "half a record";
  }
  ExpectBox(u"warning_store_damaged_text");
  Start();
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(script.opened(), 1);
  EXPECT_EQ(Combo()->GetCount(), 1);
}

TEST_F(AppFixture, EnterAndSpacePressNoButtonDuringACaptureAndResumeShakesHandsAfterTheTimer) {
  Start();
  Find(u"btn_kb_3_apply")->SetFocus();
  // Each capture byte (a capture dialog's, either macro page's recording) holds the two keys.
  for (int byte = kFirstCaptureByte; byte <= kLastCaptureByte; ++byte) {
    SCOPED_TRACE(byte);
    wnd->capture_flags()[byte] = 1;
    ASSERT_TRUE(DuiLib::Testing::PressKey(pm(), DuiLib::VK_RETURN));
    ASSERT_TRUE(DuiLib::Testing::PressKey(pm(), DuiLib::VK_SPACE));
    Settle();
    EXPECT_TRUE(keyboard.TakeLog().empty());
    EXPECT_FALSE(Find(u"label_kb_3_apply_status")->IsVisible());
    wnd->capture_flags()[byte] = 0;
  }
  // Without a capture they press the focused button.
  ASSERT_TRUE(DuiLib::Testing::PressKey(pm(), DuiLib::VK_RETURN));
  Settle();
  EXPECT_FALSE(keyboard.TakeLog().empty());
  EXPECT_EQ(Find(u"label_kb_3_apply_status")->GetUserData(), u"apply_done_text");
  ASSERT_TRUE(DuiLib::Testing::PressKey(pm(), DuiLib::VK_SPACE));
  Settle();
  EXPECT_EQ(keyboard.TakeLog().size(), 6u);  // the second apply: nothing changed

  wnd->SendMessage(messages::kPowerBroadcast, messages::kResumeAutomatic, 0);
  Settle();
  EXPECT_TRUE(keyboard.TakeLog().empty());  // not before the timer
  ASSERT_TRUE(wnd->FireTimerForTesting(messages::kResumeTimer));
  Settle();
  const auto parsed = ParseLog(keyboard.TakeLog());
  ASSERT_EQ(parsed.transfers.size(), 2u);  // begin, end 0x66
  EXPECT_EQ(parsed.transfers[1].command, 0x08);
  EXPECT_EQ(parsed.transfers[1].index, 0x66);
  EXPECT_FALSE(wnd->FireTimerForTesting(messages::kResumeTimer));  // stopped
}

TEST_F(AppFixture, ProfileMenuAddsDeletesAndRenames) {
  Start();
  // Add: a name dialog, then the new profile is current and stored.
  ExpectNameDialog(u"Game");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_add");
  EXPECT_EQ(Combo()->GetCount(), 2);
  EXPECT_EQ(Combo()->GetText(), u"Game");
  EXPECT_EQ(FileSize(ProfileStore()), 44u + 2 * 48584u);
  ExpectNameDialog(u"Work");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_add");
  ASSERT_EQ(Combo()->GetCount(), 3);
  EXPECT_EQ(Combo()->GetCurSel(), 2);

  // Deleting the last of three while it is selected leaves the second current.
  ExpectBox(u"warning_2_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_del");
  EXPECT_EQ(Combo()->GetCount(), 2);
  EXPECT_EQ(Combo()->GetText(), u"Game");
  EXPECT_EQ(StoredInt(ProfileStore(), 0), 1);
  EXPECT_EQ(FileSize(ProfileStore()), 44u + 2 * 48584u);
  {
    auto edit = Data().Lock();
    ASSERT_NE(edit.current(), nullptr);
    EXPECT_EQ(FieldText(edit.current()->name), u"Game");
  }

  // Rename the current profile.
  ExpectNameDialog(u"Racing");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_rename");
  EXPECT_EQ(Combo()->GetText(), u"Racing");
  EXPECT_EQ(Data().Lock().current()->name[0], u'R');

  // A cancelled delete changes nothing; the last profile cannot be deleted.
  ExpectBox(u"warning_2_text", false);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_del");
  EXPECT_EQ(Combo()->GetCount(), 2);
  ExpectBox(u"warning_2_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_del");
  ExpectBox(u"warning_12_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_del");
  EXPECT_EQ(Combo()->GetCount(), 1);
  EXPECT_EQ(script.unexpected(), 0);
  EXPECT_EQ(script.pending(), 0u);
}

TEST_F(AppFixture, AddWithTenProfilesWarnsWithoutADialog) {
  Start();
  {
    auto edit = Data().Lock();
    for (int i = 2; i <= 10; ++i) {
      const char16_t name[] = {u'P', static_cast<char16_t>(u'0' + i % 10), 0};
      NewDefaultProfile(name, Model::KB_3, edit.profiles());
    }
  }
  ExpectBox(u"warning_13_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_add");
  EXPECT_EQ(script.opened(), 1);
  EXPECT_EQ(script.unexpected(), 0);
  EXPECT_EQ(Data().Lock().profiles().size(), 10u);
}

TEST_F(AppFixture, ApplySendsWhatChangedAndSaysHowItEnded) {
  Start();
  ExpectNameDialog(u"Game");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_add");
  Settle();
  EXPECT_TRUE(keyboard.TakeLog().empty());  // selecting a profile sends nothing

  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();
  const std::size_t full = keyboard.TakeLog().size();
  EXPECT_EQ(full, 123u);  // the whole profile
  EXPECT_TRUE(Find(u"label_kb_3_apply_status")->IsVisible());
  EXPECT_EQ(Find(u"label_kb_3_apply_status")->GetUserData(), u"apply_done_text");
  EXPECT_FALSE(Find(u"apply_ring")->IsVisible());
  EXPECT_GE(Label(u"label_kb_3_apply_progress").Find(u"123 / 123"), 0);

  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();
  EXPECT_EQ(keyboard.TakeLog().size(), 6u);  // unchanged

  // A changed key is marked on the picture after the page refresh.
  {
    auto edit = Data().Lock();
    WriteKeyCode(KeyAt(ActiveBank(*edit.current()), 5).code, 0x0000'00E0);
    WriteKeyCode(KeyAt(ActiveBank(*edit.current()), 81).code, 0x0000'0004);
  }
  Page().RefreshPage();
  EXPECT_EQ(Find(u"btn_kb_3_key_5")->GetBkImage(), u"skins/KB/key_1.png");
  EXPECT_EQ(Find(u"btn_kb_3_key_81")->GetBkImage(), u"skins/KB/enter_1.png");
  EXPECT_EQ(Find(u"btn_kb_3_key_81")->GetShownText(), u"A");

  // Reset keeps the name, sends at once and the store is written.
  const auto before = std::filesystem::last_write_time(ProfileStore());
  ExpectBox(u"warning_5_text");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_reset"));
  Settle();
  EXPECT_EQ(keyboard.TakeLog().size(), full);
  EXPECT_EQ(FieldText(Data().Lock().current()->name), u"Game");
  EXPECT_EQ(Find(u"btn_kb_3_key_5")->GetBkImage(), u"");
  EXPECT_GE(std::filesystem::last_write_time(ProfileStore()), before);

  // An apply that finds no keyboard (pulled while it was asked for) says so, never "applied".
  ASSERT_TRUE(keyboard.Unplug());
  PumpUntil([&] { return !Page().device_open(); });
  ASSERT_TRUE(Page().worker()->Post(messages::kWorkerApply));
  Settle();
  EXPECT_EQ(Find(u"label_kb_3_apply_status")->GetUserData(), u"apply_absent_text");
}

TEST_F(AppFixture, TheKeyboardsSwitchesReachProfileStoreAndPages) {
  Start();
  ASSERT_TRUE(keyboard.SwitchBank(1));
  PumpUntil([&] { return Data().Lock().current()->active_bank == 1; });
  EXPECT_EQ(StoredInt(ProfileStore(), 44 + offsetof(ProfileRecord, active_bank)), 1);

  ASSERT_TRUE(keyboard.SwitchLightMode(4));
  PumpUntil([&] { return ActiveBank(*Data().Lock().current()).light_mode == 4; });
  auto* modes = dynamic_cast<DuiLib::CComboUI*>(Find(u"combo_kb_3_light_mode"));
  ASSERT_NE(modes, nullptr);
  EXPECT_EQ(modes->GetCurSel(), 4);
  EXPECT_EQ(StoredInt(ProfileStore(), 44 + offsetof(ProfileRecord, banks) + sizeof(ProfileBank) +
                                          offsetof(ProfileBank, light_mode)),
            4);
}

TEST_F(AppFixture, UnplugHidesTheWindowAndReplugMakesItShowableOnly) {
  Start();
  ASSERT_TRUE(keyboard.Unplug());
  PumpUntil([&] { return !wnd->IsWindowVisible(); });
  EXPECT_FALSE(wnd->has_device());
  EXPECT_FALSE(Find(u"option_kb_3")->IsOwnVisible());

  // Without a keyboard the tray click shows the no-device box, once.
  script.Then([&](DuiLib::CWindowWnd& w) {
    EXPECT_EQ(dynamic_cast<CMsgWnd*>(&w)->GetTextKey(), u"warning_6_text");
    EXPECT_TRUE(wnd->no_device_box_open());
    wnd->tray().SimulateClickForTesting(false);  // a second click while it is up
    DuiLib::Testing::ProcessEvents();
    w.Close(1);
  });
  wnd->tray().SimulateClickForTesting(false);
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(script.opened(), 1);
  EXPECT_FALSE(wnd->IsWindowVisible());

  ASSERT_TRUE(keyboard.PlugIn());
  PumpUntil([&] { return wnd->has_device(); });
  EXPECT_FALSE(wnd->IsWindowVisible());
  EXPECT_TRUE(Find(u"option_kb_3")->IsOwnVisible());
  // A second start's request brings the window forward.
  wnd->SendMessage(messages::kShowRequest, 0, 0);
  DuiLib::Testing::ProcessEvents();
  EXPECT_TRUE(wnd->IsWindowVisible());
  // The tray menu's "exit" ends the program.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_min"));
  EXPECT_FALSE(wnd->IsWindowVisible());
  wnd->tray().SimulateClickForTesting(true);
  DuiLib::Testing::ProcessEvents();
  ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(u"configuration"));
  DuiLib::Testing::ProcessEvents();
  EXPECT_TRUE(wnd->IsWindowVisible());
  wnd->tray().SimulateClickForTesting(true);
  DuiLib::Testing::ProcessEvents();
  ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(u"exit"));
  DuiLib::Testing::ProcessEvents();
  EXPECT_FALSE(wnd->IsWindow());
}

TEST_F(AppFixture, TheTrayMenuStartsTheProgramAtLoginOrNot) {
  const kb::testing::TempFolder config("autostart");
  ASSERT_TRUE(config.ok());
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  const std::filesystem::path entry = config.path() / "autostart/kbconfig.desktop";
  Start();
  auto open_menu = [&] {
    wnd->tray().SimulateClickForTesting(true);
    DuiLib::Testing::ProcessEvents();
    DuiLib::CMenuWnd* menu = DuiLib::CMenuWnd::GetTopMenuForTesting();
    EXPECT_NE(menu, nullptr);
    return menu != nullptr ? menu->FindItem(u"autostart") : nullptr;
  };
  for (const bool expected : {true, false, true}) {
    DuiLib::CMenuElementUI* item = open_menu();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->IsChecked(), !expected) << "the menu shows the entry's presence";
    ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(u"autostart"));
    DuiLib::Testing::ProcessEvents();
    EXPECT_EQ(std::filesystem::exists(entry), expected);
  }
  // Removed behind the program's back: the next opening shows it unchecked.
  std::filesystem::remove(entry);
  DuiLib::CMenuElementUI* item = open_menu();
  ASSERT_NE(item, nullptr);
  EXPECT_FALSE(item->IsChecked());
  unsetenv("XDG_CONFIG_HOME");
}

TEST_F(AppFixture, WithoutATrayTheWindowStaysUpOnTheNoKeyboardPage) {
  Start(/*tray=*/false);
  ASSERT_TRUE(keyboard.Unplug());
  PumpUntil([&] { return !wnd->has_device(); });
  DuiLib::Testing::ProcessEvents();
  EXPECT_TRUE(wnd->IsWindowVisible());
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device"))->GetCurSel(), 1);
  EXPECT_TRUE(Find(u"label_no_keyboard")->IsVisible());
  // Minimise replaces hiding.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_min"));
  DuiLib::Testing::ProcessEvents();
  EXPECT_TRUE(wnd->IsWindowVisible());
  ASSERT_TRUE(keyboard.PlugIn());
  PumpUntil([&] { return wnd->has_device(); });
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device"))->GetCurSel(), 0);
}

TEST_F(AppFixture, ProfileAndMacroFilesGoOutAndComeBack) {
  Start();
  const std::filesystem::path dir = folder->path();
  // Export the profile and import it back under the file's name.
  file_answers.push_back(CDuiString((dir / "Game").string()));
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_export");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].filter_label, u"Keyboard Profile File");
  EXPECT_EQ(requests[0].filter_pattern, u"*.kpo;*.KPO");
  EXPECT_TRUE(requests[0].save);
  EXPECT_EQ(FileSize(dir / "Game.kpo"), 48784u);
  file_answers.push_back(CDuiString((dir / "Game.kpo").string()));
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(Combo()->GetCount(), 2);
  EXPECT_EQ(Combo()->GetText(), u"Game");
  EXPECT_EQ(FileSize(ProfileStore()), 44u + 2 * 48584u);

  // Another model's file and a damaged one: a box each, nothing imported.
  {
    std::ifstream in(dir / "Game.kpo", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(dir / "Short.kpo", std::ios::binary) << bytes.substr(0, 5000);
    bytes[3 * 2] = '4';  // "KB_3" -> "KB_4" in the UTF-16 tag
    std::ofstream(dir / "Other.kpo", std::ios::binary) << bytes;
  }
  file_answers.push_back(CDuiString((dir / "Other.kpo").string()));
  ExpectBox(u"warning_15_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  file_answers.push_back(CDuiString((dir / "Short.kpo").string()));
  ExpectBox(u"warning_file_damaged_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(Combo()->GetCount(), 2);
  // A cancelled dialog ends the command.
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(Combo()->GetCount(), 2);

  // Macros: import a file twice, the list follows and the second gets a unique name.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  {
    MacroRecord macro{};
    StoreFieldText(macro.name, u"Inside");
    macro.loop_time = 1;
    std::ofstream(dir / "Burst.mco", std::ios::binary)
        .write(reinterpret_cast<const char*>(&macro), sizeof macro);
    std::ofstream(dir / "Broken.mco", std::ios::binary) << "garbage";
  }
  auto* list = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"));
  file_answers.push_back(CDuiString((dir / "Burst.mco").string()));
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(requests.back().filter_label, u"Macro Flie");
  file_answers.push_back(CDuiString((dir / "Burst.mco").string()));
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  ASSERT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_EQ(list->GetItemAt(1)->GetText(), u"Burst_1");
  EXPECT_EQ(FileSize(MacroStore()), 2 * sizeof(MacroRecord));
  file_answers.push_back(CDuiString((dir / "Broken.mco").string()));
  ExpectBox(u"warning_file_damaged_text");
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(list->GetCount(), 2);

  // Export the selected macro.
  file_answers.push_back(CDuiString((dir / "Out").string()));
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_export");
  EXPECT_EQ(FileSize(dir / "Out.mco"), sizeof(MacroRecord));
  // Exporting over a store is refused.
  file_answers.push_back(CDuiString(MacroStore().string()));
  ExpectBox(u"warning_file_save_text");
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_export");
  EXPECT_EQ(FileSize(MacroStore()), 2 * sizeof(MacroRecord));
  EXPECT_EQ(script.unexpected(), 0);
}

}  // namespace
}  // namespace kb::test

namespace kb::test {
namespace {

TEST(ProgramStartTest, TheHookLibraryIsBoundWithItsSevenEntriesOrNotAtAll) {
  HookLibrary bound;
  ASSERT_TRUE(bound.Load(DemoDirectory()).ok());
  const HookFunctionTable& table = bound.table();
  EXPECT_TRUE(table.installmousehook && table.removemousehook && table.enablemousehook &&
              table.installhook && table.removehook && table.enablehook && table.mousewheelenable);
  testing::TempFolder empty("kb_app_nohook");
  HookLibrary missing;
  EXPECT_FALSE(missing.Load(empty.path()).ok());
  EXPECT_FALSE(missing.table().bound());
}

TEST(ProgramStartTest, StoresThatCannotBeHeldRefuseTheStart) {
  testing::TempFolder folder("kb_app_lock");
  ASSERT_TRUE(folder.ok());
  const AppPaths paths{DemoDirectory(), folder.path()};
  std::vector<StoreLock> held;
  ASSERT_TRUE(app::HoldStores(paths, &held).ok());
  EXPECT_EQ(held.size(), 1u);  // the started model only
  held.clear();
  // A lock file that cannot be locked (here a folder in its place) ends the start at once.
  const auto lock_file = folder.path() / "Data/kb/kb_3/.kbconfig.lock";
  std::filesystem::remove(lock_file);
  std::filesystem::create_directory(lock_file);
  const Status refused = app::HoldStores(paths, &held);
  EXPECT_FALSE(refused.ok());
  EXPECT_TRUE(held.empty());
}

}  // namespace
}  // namespace kb::test
