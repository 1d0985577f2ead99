// SPDX-License-Identifier: GPL-3.0-or-later
// The program end to end: its main window on the offscreen platform against the virtual
// keyboard, driven by control names.

#include <dlfcn.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/app_fixture.h"
#include "app/hook_library.h"
#include "common/test_folders.h"
#include "device/transfer_parser.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "pages/common/program_messages.h"
#include "profile/app_links.h"
#include "profile/profile_exchange.h"
#include "profile/profile_record.h"
#include "ui/list.h"
#include "ui/menu.h"
#include "ui/session_end_watcher.h"

namespace kb::test {
namespace {

using DuiLib::CDuiString;

// Scripts the next box as one with OK only, titled `title`: the composed text kept in *shown.
void ExpectOkOnlyBox(kb::testing::ModalScript& script, const char16_t* title,
                     const char16_t* text_key, CDuiString* shown) {
  script.Then([title, text_key, shown](DuiLib::CWindowWnd& w) {
    auto* box = dynamic_cast<CMsgWnd*>(&w);
    ASSERT_NE(box, nullptr) << w.GetWindowClassName().ToUtf8();
    EXPECT_EQ(box->GetTextKey().ToUtf8(), CDuiString(text_key).ToUtf8());
    EXPECT_FALSE(kb::testing::Find(w, u"btn_cancel")->IsVisible());
    EXPECT_EQ(w.GetNativeTitleForTesting(), title);
    if (shown != nullptr) *shown = kb::testing::Find(w, u"warning")->GetShownText();
    kb::testing::Click(w, u"btn_ok");
  });
}

// A report of a file command: no Cancel to press.
void ExpectReport(kb::testing::ModalScript& script, const char16_t* text_key, CDuiString* shown) {
  ExpectOkOnlyBox(script, u"Done", text_key, shown);
}

template <typename T>
void WriteImage(const std::filesystem::path& path, const std::vector<const T*>& parts,
                std::size_t extra_bytes = 0) {
  std::ofstream out(path, std::ios::binary);
  for (const T* part : parts) out.write(reinterpret_cast<const char*>(part), sizeof(T));
  out << std::string(extra_bytes, '\x5A');
}

// A file path as a report shows it (a break may follow each '/').
std::u16string Shown(const std::filesystem::path& path) {
  std::u16string text;
  for (char16_t c : std::u16string(CDuiString(path.string()).view())) {
    text += c;
    if (c == u'/') text += u'\u200B';
  }
  return text;
}

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
  // Nothing is sent at start-up, and the pages the first frame does not show are not built.
  EXPECT_TRUE(keyboard.TakeLog().empty());
  EXPECT_EQ(Find(u"list_kb_3_macro"), nullptr);
  EXPECT_EQ(Find(u"combo_kb_3_light_mode"), nullptr);
  // The sub-pages switch by their options; the macro page's list is empty and has no selection.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_light"));
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device_kb_3"))->GetCurSel(), 1);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  EXPECT_EQ(dynamic_cast<DuiLib::CTabLayoutUI*>(Find(u"tab_device_kb_3"))->GetCurSel(), 2);
  auto* macros = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"));
  ASSERT_NE(macros, nullptr);
  EXPECT_EQ(macros->GetCount(), 0);
  EXPECT_EQ(macros->GetCurSel(), -1);
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

TEST_F(AppFixture, EditsNotAppliedAreShownAndSurviveTheExitAndATerminationSignal) {
  Start();
  const auto disable = [&](int key) {
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), CDuiString("btn_kb_3_key_" + std::to_string(key))));
    ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(u"kb_3_command_4"));
    DuiLib::Testing::ProcessEvents();
  };
  const auto disabled = [&](int key) {
    return Data().Lock().current()->banks[0].keys[key].kind == KindByte(AssignmentKind::Disabled);
  };
  EXPECT_FALSE(Page().keyboard_behind_shown());
  disable(3);
  PumpUntil([&] { return Page().keyboard_behind_shown(); });
  EXPECT_NE(Find(u"btn_kb_3_apply")->GetToolTip().Find(u"does not have"), -1);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();
  PumpUntil([&] { return !Page().keyboard_behind_shown(); });

  // The exit button, with an edit the keyboard never got: it is there at the next start.
  disable(5);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_exit"));
  DuiLib::Testing::ProcessEvents();
  ASSERT_FALSE(wnd->IsWindow());
  Start();
  EXPECT_TRUE(disabled(5));

  // A termination signal (a logout, `kill`) ends the program the same way.
  DuiLib::CSessionEndWatcher watcher;
  ASSERT_TRUE(watcher.Start(wnd->GetHWND(), messages::kSessionEnd));
  disable(14);
  ASSERT_EQ(std::raise(SIGTERM), 0);
  PumpUntil([&] { return !wnd->IsWindow(); });
  watcher.Stop();
  Start();
  EXPECT_TRUE(disabled(14));
  EXPECT_TRUE(disabled(5));
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

  // Deleting the last of three while it is selected leaves the second current, and the
  // application links follow: the deleted profile's go, the others keep their profile.
  kb::AppLinks links;
  ASSERT_TRUE(links.Link(1, "game.exe").ok());
  ASSERT_TRUE(links.Link(2, "work").ok());
  links.set_default_profile(2);
  const std::filesystem::path links_file = kb::AppLinksPathOf(ProfileStore());
  ASSERT_TRUE(kb::SaveAppLinks(links_file, links, {}).ok());
  ExpectBox(u"warning_2_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_del");
  EXPECT_EQ(Combo()->GetCount(), 2);
  EXPECT_EQ(Combo()->GetText(), u"Game");
  EXPECT_EQ(StoredInt(ProfileStore(), 0), 1);
  EXPECT_EQ(kb::FormatAppLinks(kb::LoadAppLinks(links_file).links),
            "kbconfig-app-links\t1\nautomatic\t1\nlink\t1\tgame.exe\n");
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
  // The lighting page, built when first shown, shows the mode the keyboard switched to before.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_light"));
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
    // A title of its own, and nothing to cancel.
    EXPECT_EQ(w.GetNativeTitleForTesting(), u"Warning");
    DuiLib::CControlUI* cancel = w.GetPaintManager()->FindControl(u"btn_cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_FALSE(cancel->IsVisible());
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

// The tray icon asks the session bus, which the first frame does not wait for: it comes shortly
// after the window, or at once where the window must know whether it can hide.
TEST_F(AppFixture, TheTrayIconComesAfterTheWindowOrWhenItIsNeeded) {
  CreateWindow();
  EXPECT_FALSE(wnd->tray().IsCreated());
  PumpUntil([&] { return wnd->tray().IsCreated(); });
  wnd.reset();
  CreateWindow();
  wnd->ShowAtLogin();
  EXPECT_TRUE(wnd->tray().IsCreated());
  EXPECT_FALSE(wnd->IsWindowVisible()) << "hidden into the tray";
}

// The tray's menu and, for desktops without a tray, the profile menu of the window.
TEST_F(AppFixture, TheTrayMenuAndTheProfileMenuStartTheProgramAtLoginOrNot) {
  const kb::testing::TempFolder config("autostart");
  ASSERT_TRUE(config.ok());
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  const std::filesystem::path entry = config.path() / "autostart/kbconfig.desktop";
  Start();
  PumpUntil([&] { return wnd->tray().IsCreated(); });
  bool from_tray = true;
  auto open_menu = [&] {
    if (from_tray)
      wnd->tray().SimulateClickForTesting(true);
    else
      EXPECT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_profile_dot"));
    from_tray = !from_tray;
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
  // Started at login, it waits minimised: hidden, nothing would bring it back.
  wnd->ShowAtLogin();
  DuiLib::Testing::ProcessEvents();
  EXPECT_TRUE(wnd->IsWindowVisible());
  EXPECT_TRUE(wnd->IsMinimized());
  wnd->BringToFront();
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
  CDuiString said;
  ExpectReport(script, u"report_profile_exported_text", &said);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_export");
  EXPECT_EQ(said, u"The profile \u201CProfile_1\u201D was written to " + Shown(dir / "Game.kpo"));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].filter_label, u"Keyboard Profile File");
  EXPECT_EQ(requests[0].filter_pattern, u"*.kpo;*.KPO");
  EXPECT_TRUE(requests[0].save);
  EXPECT_EQ(FileSize(dir / "Game.kpo"), 48784u);
  file_answers.push_back(CDuiString((dir / "Game.kpo").string()));
  ExpectReport(script, u"report_profile_imported_text", &said);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(said, u"Added the profile \u201CGame\u201D.");
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
  ExpectReport(script, u"report_macro_imported_text", nullptr);
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(requests.back().filter_label, u"Macro Flie");
  file_answers.push_back(CDuiString((dir / "Burst.mco").string()));
  ExpectReport(script, u"report_macro_imported_text", &said);
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(said, u"Added the macro \u201CBurst_1\u201D.");
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
  ExpectReport(script, u"report_macro_exported_text", &said);
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_export");
  EXPECT_EQ(said, u"The macro \u201CBurst_1\u201D was written to " + Shown(dir / "Out.mco"));
  EXPECT_EQ(FileSize(dir / "Out.mco"), sizeof(MacroRecord));
  // Exporting over a store is refused.
  file_answers.push_back(CDuiString(MacroStore().string()));
  ExpectBox(u"warning_file_save_text");
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_export");
  EXPECT_EQ(FileSize(MacroStore()), 2 * sizeof(MacroRecord));
  // So is exporting to where the other model's store will be: it would be read as one.
  const std::filesystem::path kb4_store = dir / "Data/kb/kb_4/macro.mcos";
  file_answers.push_back(CDuiString(kb4_store.string()));
  ExpectBox(u"warning_file_save_text");
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_export");
  EXPECT_FALSE(std::filesystem::exists(kb4_store));
  EXPECT_EQ(script.unexpected(), 0);
}

// A warning that names a limit: OK only.
void ExpectLimitBox(kb::testing::ModalScript& script, const char16_t* text_key, CDuiString* shown) {
  ExpectOkOnlyBox(script, u"Warning", text_key, shown);
}

// The stores stop at 1000 macros: "+" and both imports say so in a box that names the limit,
// and a profile file whose macros do not all fit adds nothing at all.
TEST_F(AppFixture, TheStoresStopAtTheirLimitAndARefusedImportAddsNothing) {
  const std::filesystem::path dir = folder->path();
  {
    std::filesystem::create_directories(MacroStore().parent_path());
    std::ofstream out(MacroStore(), std::ios::binary);
    for (int i = 0; i < 998; ++i) {
      MacroRecord macro{};
      StoreFieldText(macro.name, std::u16string(u"M") + char16_t(u'0' + i % 10));
      macro.loop_time = 1;
      out.write(reinterpret_cast<const char*>(&macro), sizeof macro);
    }
  }
  Start();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  DuiLib::Testing::ProcessEvents();
  auto* list = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"));
  ASSERT_EQ(list->GetCount(), 998);
  const auto add = [&] {
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_add_macro"));
    DuiLib::Testing::ProcessEvents();
  };
  ExpectNameDialog(u"Nine99");
  add();
  ASSERT_EQ(list->GetCount(), 999);

  // A profile whose two keys run the file's two macros: one more than there is room for.
  {
    ProfileRecord profile = *Data().Lock().current();
    MacroList own;
    for (int key : {1, 2}) {
      KeyEntry& entry = profile.banks[0].keys[key];
      entry.kind = KindByte(AssignmentKind::MacroBinding);
      entry.macro_index = static_cast<std::int32_t>(own.size());
      own.push_back(std::make_unique<MacroRecord>());
      own.back()->loop_time = 1;
    }
    ASSERT_TRUE(
        ExportProfileFile(dir / "Two.kpo", MakeModelTag(u"KB_3"), profile, own, Model::KB_3).ok());
    MacroRecord macro{};
    macro.loop_time = 1;
    std::ofstream(dir / "Burst.mco", std::ios::binary)
        .write(reinterpret_cast<const char*>(&macro), sizeof macro);
  }
  const auto profile_bytes = FileSize(ProfileStore());
  CDuiString said;
  file_answers.push_back(CDuiString((dir / "Two.kpo").string()));
  ExpectLimitBox(script, u"warning_import_full_text", &said);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_NE(said.ToUtf8().find("1000 profiles and 1000 macros"), std::string::npos)
      << said.ToUtf8();
  EXPECT_EQ(Combo()->GetCount(), 1);
  EXPECT_EQ(Data().Lock().profiles().size(), 1u);
  EXPECT_EQ(Data().Lock().macros().size(), 999u);
  EXPECT_EQ(list->GetCount(), 999);
  EXPECT_EQ(FileSize(ProfileStore()), profile_bytes);
  EXPECT_EQ(FileSize(MacroStore()), 999 * sizeof(MacroRecord));

  // The thousandth macro is the last: "+" then asks for no name, and an import adds nothing.
  ExpectNameDialog(u"Last");
  add();
  ASSERT_EQ(list->GetCount(), 1000);
  ExpectLimitBox(script, u"warning_macros_full_text", &said);
  add();
  EXPECT_NE(said.ToUtf8().find("the limit is 1000"), std::string::npos) << said.ToUtf8();
  file_answers.push_back(CDuiString((dir / "Burst.mco").string()));
  ExpectLimitBox(script, u"warning_macros_full_text", &said);
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(list->GetCount(), 1000);
  EXPECT_EQ(Data().Lock().macros().size(), 1000u);
  EXPECT_EQ(FileSize(MacroStore()), 1000 * sizeof(MacroRecord));
  EXPECT_EQ(script.unexpected(), 0);
}

// The file dialogs offer the profile's or macro's name in the home folder, then start where the
// last file of this run was chosen.
TEST_F(AppFixture, FileDialogsOfferTheNameInTheHomeFolderThenTheLastFolderUsed) {
  const std::filesystem::path home = folder->path() / "home";
  const std::filesystem::path elsewhere = folder->path() / "elsewhere";
  std::filesystem::create_directories(home);
  std::filesystem::create_directories(elsewhere);
  const char* old_home = std::getenv("HOME");
  const std::string saved_home = old_home != nullptr ? old_home : "";
  setenv("HOME", home.c_str(), 1);
  Start();
  // Cancelled: where it started and what it offered.
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_export");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].suggested_name, u"Profile_1.kpo");
  EXPECT_EQ(requests[0].initial_path.ToUtf8(), (home / "Profile_1.kpo").string());

  file_answers.push_back(CDuiString((elsewhere / "Mine").string()));
  ExpectReport(script, u"report_profile_exported_text", nullptr);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_export");
  EXPECT_EQ(FileSize(elsewhere / "Mine.kpo"), 48784u);
  // The next dialog, an open one, starts in that folder and offers no name.
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_FALSE(requests[2].save);
  EXPECT_EQ(requests[2].initial_path.ToUtf8(), elsewhere.string());

  // A macro's export offers the macro's name with its extension; a '/' cannot be in a file name.
  {
    auto edit = Data().Lock();
    auto macro = std::make_unique<MacroRecord>();
    StoreFieldText(macro->name, u"Copy/Paste");
    macro->loop_time = 1;
    edit.macros().push_back(std::move(macro));
  }
  Page().macro_page()->FillMacroList();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  ASSERT_TRUE(
      DuiLib::Testing::ClickListItem(dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro")), 0));
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_export");
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[3].suggested_name, u"Copy_Paste.mco");
  EXPECT_EQ(requests[3].initial_path.ToUtf8(), (elsewhere / "Copy_Paste.mco").string());
  EXPECT_EQ(script.unexpected(), 0);
  if (old_home != nullptr) setenv("HOME", saved_home.c_str(), 1);
}

// Noise of a profile file's size is no profile file; a profile file of the other model is one
// of another model. Each says so, and nothing is imported.
TEST_F(AppFixture, NoiseIsNoProfileFileAndAnotherModelsFileIsAnotherModels) {
  Start();
  const std::filesystem::path dir = folder->path();
  {
    std::string noise(48784 + 36108, '\0');
    std::uint32_t state = 99;
    for (char& byte : noise) {
      state = state * 1103515245u + 12345u;
      byte = static_cast<char>(state >> 16);
    }
    std::ofstream(dir / "Noise.kpo", std::ios::binary) << noise;
    ProfileList profiles;
    ProfileRecord& other = NewDefaultProfile(u"x", Model::KB_4, profiles);
    ASSERT_TRUE(
        ExportProfileFile(dir / "Other.kpo", MakeModelTag(u"KB_4"), other, {}, Model::KB_4).ok());
  }
  std::u16string seen;
  script.Then([&](DuiLib::CWindowWnd& w) {
    auto* box = dynamic_cast<CMsgWnd*>(&w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetTextKey(), u"warning_not_profile_text");
    seen = std::u16string(kb::testing::Find(w, u"warning")->GetShownText().view());
    EXPECT_EQ(w.GetNativeTitleForTesting(), u"Warning");
    kb::testing::Click(w, u"btn_ok");
  });
  file_answers.push_back(CDuiString((dir / "Noise.kpo").string()));
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(seen, u"This file is not a profile file and cannot be imported.");
  file_answers.push_back(CDuiString((dir / "Other.kpo").string()));
  ExpectBox(u"warning_15_text");
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(Combo()->GetCount(), 1);
  EXPECT_EQ(FileSize(ProfileStore()), 44u + 48584u);
  EXPECT_EQ(script.unexpected(), 0);
}

// A profile import that brings macros adds their rows; the macro being edited stays selected
// with its actions and its selected action.
TEST_F(AppFixture, ProfileImportBringingMacrosKeepsTheMacroBeingEdited) {
  std::filesystem::create_directories(MacroStore().parent_path());
  MacroRecord edited{};
  StoreFieldText(edited.name, u"Edited");
  edited.loop_time = 1;
  edited.action_count = 4;
  edited.actions[0] = {0x04, 1, 10, 0, 0};
  edited.actions[1] = {0x04, 2, 10, 0, 0};
  edited.actions[2] = {0x05, 1, 10, 0, 0};
  edited.actions[3] = {0x05, 2, 10, 0, 0};
  WriteImage<MacroRecord>(MacroStore(), {&edited});
  Start();
  const std::filesystem::path dir = folder->path();
  {
    ProfileList profiles;
    ProfileRecord& source = NewDefaultProfile(u"x", Model::KB_3, profiles);
    MacroList macros;
    for (const char16_t* name : {u"Burst", u"Edited"}) {
      macros.push_back(std::make_unique<MacroRecord>());
      StoreFieldText(macros.back()->name, name);
      macros.back()->loop_time = 1;
    }
    for (auto [key, index] : {std::pair{14, 0}, std::pair{15, 1}}) {
      KeyEntry& entry = source.banks[0].keys[key];
      entry.kind = KindByte(AssignmentKind::MacroBinding);
      WriteKeyCode(entry.code, kMacroCode);
      entry.macro_index = index;
    }
    ASSERT_TRUE(
        ExportProfileFile(dir / "Fight.kpo", MakeModelTag(u"KB_3"), source, macros, Model::KB_3)
            .ok());
  }
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  auto* list = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"));
  auto* actions = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro_action"));
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(list, 0));
  ASSERT_TRUE(DuiLib::Testing::ClickListItem(actions, 2));
  ASSERT_EQ(actions->GetCount(), 4);

  file_answers.push_back(CDuiString((dir / "Fight.kpo").string()));
  CDuiString said;
  ExpectReport(script, u"report_profile_imported_text", &said);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(said,
            u"Added the profile \u201CFight\u201D. Macros added with it: \u201CBurst\u201D, "
            u"\u201CEdited_1\u201D.");
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetItemAt(1)->GetText(), u"Burst");
  EXPECT_EQ(list->GetItemAt(2)->GetText(), u"Edited_1");
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_EQ(Page().macro_page()->working().count(), 4);
  EXPECT_EQ(actions->GetCount(), 4);
  EXPECT_EQ(actions->GetCurSel(), 2);
  EXPECT_EQ(Page().macro_page()->working().selected(), 2);
  // The editor still edits that macro: a delay typed now lands in it.
  kb::testing::Type(*wnd, u"edit_kb_3_macro_delay", u"77");
  pm().SetFocus(nullptr);
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(Data().Lock().macros().at(0)->actions[2].delay, 77);
  EXPECT_EQ(script.unexpected(), 0);
}

// A profile file whose bound keys come without macro bytes (another exporter's way with keys
// whose index names no macro): the profile imports and those keys get their factory assignment.
TEST_F(AppFixture, ProfileFileWithoutItsMacrosImportsWithThoseKeysAtTheirDefault) {
  Start();
  const std::filesystem::path dir = folder->path();
  ProfileRecord source{};
  {
    ProfileList profiles;
    source = NewDefaultProfile(u"x", Model::KB_3, profiles);
  }
  for (int key : {14, 20}) {
    KeyEntry& entry = source.banks[0].keys[key];
    entry.kind = KindByte(AssignmentKind::MacroBinding);
    WriteKeyCode(entry.code, kMacroCode);
    entry.macro_index = 6;
    StoreFieldText(entry.macro_name, u"Gone");
  }
  source.banks[0].keys[3].kind = KindByte(AssignmentKind::Disabled);
  {
    const ModelTag tag = MakeModelTag(u"KB_3");
    std::ofstream out(dir / "Old.kpo", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&tag), sizeof tag);
    out.write(reinterpret_cast<const char*>(&source), sizeof source);
  }
  file_answers.push_back(CDuiString((dir / "Old.kpo").string()));
  CDuiString said;
  ExpectReport(script, u"report_profile_imported_text", &said);
  Menu(u"btn_kb_3_profile_dot", u"kb_3_profile_import");
  EXPECT_EQ(said,
            u"Added the profile \u201COld\u201D. Keys bound to a macro the file does not hold now "
            u"have their factory assignment: 2.");
  ASSERT_EQ(Combo()->GetCount(), 2);
  EXPECT_EQ(Combo()->GetText(), u"Old");
  {
    auto edit = Data().Lock();
    ASSERT_NE(edit.current(), nullptr);
    EXPECT_EQ(edit.header().selected_index, 1);
    for (int key : {14, 20}) {
      EXPECT_EQ(edit.current()->banks[0].keys[key].kind, KindByte(AssignmentKind::Default));
      EXPECT_EQ(edit.current()->banks[0].keys[key].macro_index, -1);
    }
    EXPECT_EQ(edit.current()->banks[0].keys[3].kind, KindByte(AssignmentKind::Disabled));
    EXPECT_TRUE(edit.macros().empty());
  }
  // The key page shows W at its factory place, not a macro.
  EXPECT_EQ(Find(u"btn_kb_3_key_14")->GetShownText(), u"W");
  EXPECT_EQ(FileSize(ProfileStore()), 44u + 2 * 48584u);
  EXPECT_EQ(script.unexpected(), 0);
}

// A macro file longer than a record imports its first 36108 bytes; a shorter one is refused.
TEST_F(AppFixture, LongerMacroFileImportsItsFirstRecordAndAShorterOneIsRefused) {
  Start();
  const std::filesystem::path dir = folder->path();
  MacroRecord macro{};
  StoreFieldText(macro.name, u"Inside");
  macro.loop_time = 7;
  macro.action_count = 2;
  macro.actions[0] = {0x06, 1, 30, 0, 0};
  macro.actions[1] = {0x06, 2, 40, 0, 0};
  WriteImage<MacroRecord>(dir / "Long.mco", {&macro}, 5000);
  {
    std::ifstream in(dir / "Long.mco", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(dir / "Cut.mco", std::ios::binary) << bytes.substr(0, sizeof macro - 1);
  }
  ASSERT_EQ(FileSize(dir / "Long.mco"), sizeof macro + 5000);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  auto* list = dynamic_cast<DuiLib::CListUI*>(Find(u"list_kb_3_macro"));
  file_answers.push_back(CDuiString((dir / "Long.mco").string()));
  CDuiString said;
  ExpectReport(script, u"report_macro_imported_text", &said);
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(said, u"Added the macro \u201CLong\u201D.");
  ASSERT_EQ(list->GetCount(), 1);
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_EQ(Label(u"edit_kb_3_loop_time"), u"7");
  {
    auto edit = Data().Lock();
    ASSERT_EQ(edit.macros().size(), 1u);
    EXPECT_EQ(edit.macros()[0]->action_count, 2);
    EXPECT_EQ(edit.macros()[0]->actions[1].delay, 40);
  }
  EXPECT_EQ(FileSize(MacroStore()), sizeof macro);

  file_answers.push_back(CDuiString((dir / "Cut.mco").string()));
  ExpectBox(u"warning_file_damaged_text");
  Menu(u"btn_kb_3_menu_macro", u"kb_3_macro_import");
  EXPECT_EQ(list->GetCount(), 1);
  EXPECT_EQ(FileSize(MacroStore()), sizeof macro);
  EXPECT_EQ(script.unexpected(), 0);
}

}  // namespace
}  // namespace kb::test

namespace kb::test {
namespace {

TEST(ProgramStartTest, TheHookLibraryIsBoundWithItsSevenEntriesOrNotAtAll) {
  // The window's way: nothing is loaded until a page first asks whether hooks are there.
  const std::filesystem::path file = DemoDirectory() / "Quillet.so";
  const auto loaded = [&file] {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
  };
  {
    HookLibrary later;
    later.LoadOnFirstUse(DemoDirectory());
    EXPECT_FALSE(loaded());
    EXPECT_TRUE(later.table().bound());
    EXPECT_TRUE(loaded());
  }
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
