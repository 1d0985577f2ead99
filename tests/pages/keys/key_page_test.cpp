// SPDX-License-Identifier: GPL-3.0-or-later
// The key page driven by control name in the main window, against the virtual keyboard: the key
// menu, every kind of command, the capture dialogs fed with the hook's key events, the macro
// picker, the hover panel and the highlights, and what an apply then sends.

#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "keys/assignment_kind.h"
#include "keys/key_layout.h"
#include "pages/keys/key_capture_dialogs.h"
#include "pages/keys/key_custom_page.h"
#include "pages/keys/macro_picker.h"
#include "profile/profile_record.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/list.h"

namespace kb::test {
namespace {

constexpr int kCapsLock = 3;
constexpr int kLeftCtrl = 5;
constexpr int kEnter = 81;
constexpr int kF9Slot = 0;  // F9 hands itself to Fn slot 0 on KB_3

class KeyPageTest : public AppFixture {
 protected:
  CKeyCustomPage& Keys() { return *dynamic_cast<CKeyCustomPage*>(Find(u"kb_3_custom")); }
  KeyEntry Key(int index, int bank = 0) { return Data().Lock().current()->banks[bank].keys[index]; }
  KeyEntry FnKey(int slot) { return Data().Lock().current()->banks[0].fn_keys[slot]; }
  // The key's menu, then one of its items, as the user clicks them.
  void Command(const DuiLib::CDuiString& key, const char16_t* item) {
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), key));
    ASSERT_NE(Keys().key_menu(), nullptr);
    ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(item));
    DuiLib::Testing::ProcessEvents();
  }
  DuiLib::CControlUI* Find(const DuiLib::CDuiString& name) { return pm().FindControl(name); }
  DuiLib::CControlUI* Find(const char16_t* name) { return pm().FindControl(name); }
  static DuiLib::CDuiString KeyName(int index) {
    return DuiLib::CDuiString("btn_kb_3_key_" + std::to_string(index));
  }
  // A key event as the hook library posts it to the window that installed the hook.
  static void HookKey(DuiLib::CWindowWnd& w, unsigned virtual_key) {
    w.PostMessage(KB_HOOK_KEY_MESSAGE, virtual_key, 0);
    DuiLib::Testing::ProcessEvents();
  }
  static void HookRelease(DuiLib::CWindowWnd& w, unsigned virtual_key) {
    w.PostMessage(KB_HOOK_KEY_MESSAGE, virtual_key, 1);
    DuiLib::Testing::ProcessEvents();
  }
  // A key as it comes on a desktop: the hook hears the press, the focused window gets it too,
  // then the hook hears the release.
  static void Stroke(DuiLib::CWindowWnd& w, unsigned virtual_key) {
    HookKey(w, virtual_key);
    DuiLib::Testing::PressKey(*w.GetPaintManager(), virtual_key);
    HookRelease(w, virtual_key);
  }
  static bool Focused(DuiLib::CWindowWnd& w, const char16_t* name) {
    return w.GetPaintManager()->GetFocus() == kb::testing::Find(w, name);
  }
  static DuiLib::CDuiString Shown(DuiLib::CWindowWnd& w, const char16_t* name) {
    return kb::testing::Find(w, name)->GetText();
  }
};

TEST_F(KeyPageTest, TheMenuOpensBelowTheKeyOneAtATimeAndItsDirectCommandsWrite) {
  Start();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), KeyName(kCapsLock)));
  const DuiLib::HWND first = Keys().key_menu();
  ASSERT_NE(first, nullptr);
  const DuiLib::RECT key = Find(KeyName(kCapsLock))->GetPos();
  const DuiLib::RECT menu = DuiLib::CWindowWnd::FromHandle(first)->GetWindowRect();
  EXPECT_EQ(menu.left, wnd->GetWindowRect().left + key.left);
  // Below the key; a screen too short for the whole menu moves it up just enough.
  EXPECT_TRUE(menu.top == wnd->GetWindowRect().top + key.bottom || menu.top < key.bottom);
  // A second key replaces the menu.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), KeyName(kLeftCtrl)));
  DuiLib::Testing::ProcessEvents();
  EXPECT_NE(Keys().key_menu(), first);
  EXPECT_EQ(DuiLib::CWindowWnd::FromHandle(first), nullptr);
  ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(u"kb_3_command_4"));
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(Key(kLeftCtrl).kind, KindByte(AssignmentKind::Disabled));
  EXPECT_EQ(ReadKeyCode(Key(kLeftCtrl).code), kNoFunction);
  EXPECT_EQ(Find(KeyName(kLeftCtrl))->GetAccessibleName(), u"Left Ctrl, disabled");
  EXPECT_EQ(Find(KeyName(kLeftCtrl))->GetBkImage(), u"skins/KB/key_1.png");

  const struct {
    const char16_t* item;
    std::uint8_t kind;
    KeyCode code;
    bool in_menu;
  } rows[] = {
      {u"kb_3_command_media_4", 72, 0x0000'0000, true},
      {u"kb_3_command_media_1", 68, 0x0400'00B5, true},
      {u"kb_3_command_7", 122, 0x0000'0A72, true},
      // Item names as the controller routes them: compared ignoring case, unknown ones too.
      {u"KB_3_COMMAND_4", 0, kNoFunction, false},
      {u"kb_3_command_5", 120, kNoFunction, false},  // no command 5: an unknown item
      {u"kb_3_command_6", 120, LayoutOf(Model::KB_3).default_key_codes[kCapsLock], true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(DuiLib::CDuiString(row.item).ToUtf8());
    if (row.in_menu)
      Command(KeyName(kCapsLock), row.item);
    else
      Keys().ApplyKeyCommand(row.item);
    EXPECT_EQ(Key(kCapsLock).kind, row.kind);
    EXPECT_EQ(ReadKeyCode(Key(kCapsLock).code), row.code);
  }
  EXPECT_EQ(Find(KeyName(kCapsLock))->GetBkImage(), u"");  // restored: no highlight
  // The hover names what an assignment does, also for codes that are no key of their own.
  const struct {
    std::uint8_t kind;
    KeyCode code;
    const char16_t* shown;
  } described[] = {
      {120, LayoutOf(Model::KB_3).default_key_codes[KeyIndexAt(10, 0)], u"F9"},  // Fn slot 0
      {120, 0x0400'00E2, u"Mute"},                                               // a consumer code
      {120, kNoFunction, u"Off"},
      {0, kNoFunction, u"Off"},
      {122, 0x0000'0A72, u"Chord"},
  };
  for (const auto& row : described) {
    KeyEntry entry{};
    entry.kind = row.kind;
    WriteKeyCode(entry.code, row.code);
    Keys().DescribeAssignment(entry);
    EXPECT_EQ(Find(u"label_kb_3_function")->GetShownText(), row.shown) << row.code;
  }

  // Restore default on an Fn button restores its own code only.
  {
    auto edit = Data().Lock();
    KeyEntry& slot = ActiveBank(*edit.current()).fn_keys[kF9Slot];
    WriteKeyCode(slot.code, 0x0000'0004);
    WriteKeyCode(slot.code2, 0x0000'0005);
  }
  Command(DuiLib::CDuiString(u"btn_kb_3_fn_key_0"), u"kb_3_command_6");
  EXPECT_EQ(ReadKeyCode(FnKey(kF9Slot).code), LayoutOf(Model::KB_3).default_fn_key_codes[kF9Slot]);
  EXPECT_EQ(ReadKeyCode(FnKey(kF9Slot).code2), 0x0000'0005u);
}

// A 1920 x 1080 screen at 200 % is 540 pixels high, less a panel: every menu of a key, the media
// functions in their submenu, fits in 500.
TEST_F(KeyPageTest, TheKeyMenuAndItsMediaSubmenuFitAFullHdScreenAtTwoHundredPercent) {
  constexpr int kScreenAtTwoHundredPercent = 1080 / 2 - 40;
  Start();
  auto height = [](DuiLib::CWindowWnd* w) {
    const DuiLib::RECT r = w->GetWindowRect();
    return r.bottom - r.top;
  };
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), KeyName(kCapsLock)));
  auto* menu = DuiLib::CMenuWnd::GetTopMenuForTesting();
  ASSERT_NE(menu, nullptr);
  EXPECT_LE(height(menu), kScreenAtTwoHundredPercent);
  ASSERT_TRUE(DuiLib::Testing::Click(menu->FindItem(u"keymenu_media")));
  DuiLib::CMenuWnd* media = menu->GetOpenSubmenu();
  ASSERT_NE(media, nullptr);
  EXPECT_LE(height(media), kScreenAtTwoHundredPercent);
  // All nineteen media functions are there, each reached by the driver through the submenu.
  for (int k = 1; k <= 19; ++k)
    EXPECT_NE(media->FindItem(DuiLib::CDuiString("kb_3_command_media_" + std::to_string(k))),
              nullptr);
  menu->Close();
  DuiLib::Testing::ProcessEvents();
  // The twin's menus, opened as its page would.
  for (const char16_t* file : {u"KB/KB_4/keymenu.xml", u"KB/KB_4/keymenu_media.xml"}) {
    auto* other = DuiLib::CMenuWnd::CreateMenu(file, {0, 0}, &pm());
    ASSERT_NE(other, nullptr);
    EXPECT_LE(height(other), kScreenAtTwoHundredPercent);
    other->Close();
    DuiLib::Testing::ProcessEvents();
  }
}

TEST_F(KeyPageTest, CaptureDialogsTakeTheHooksKeysWhileTheFieldHasTheFocus) {
  Start();
  // Single key: A then B gives B; focus away stops the capture.
  script.Then([](DuiLib::CWindowWnd& w) {
    auto& dialog = dynamic_cast<CSingleKeyWnd&>(w);
    EXPECT_EQ(Shown(w, u"edit_key"), u"Enter");  // the key's own usage to start from
    EXPECT_TRUE(dialog.capturing());
    HookKey(w, 0x41);
    HookKey(w, 0x42);
    EXPECT_EQ(dialog.usage(), 0x05);
    EXPECT_EQ(Shown(w, u"edit_key"), u"B");
    w.GetPaintManager()->SetFocus(nullptr);
    EXPECT_FALSE(dialog.capturing());
    HookKey(w, 0x43);
    EXPECT_EQ(dialog.usage(), 0x05);
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kEnter), u"kb_3_command_1");
  EXPECT_EQ(Key(kEnter).kind, KindByte(AssignmentKind::SingleKey));
  EXPECT_EQ(ReadKeyCode(Key(kEnter).code), 0x0000'0005u);
  EXPECT_EQ(Find(KeyName(kEnter))->GetBkImage(), u"skins/KB/enter_1.png");

  // A key the table lacks gives 0 and an empty field; Left Ctrl set to its own usage differs
  // from its factory code and is marked.
  script.Then([](DuiLib::CWindowWnd& w) {
    kb::testing::Click(w, u"edit_key");
    HookKey(w, 0x11);
    EXPECT_EQ(dynamic_cast<CSingleKeyWnd&>(w).usage(), 0);
    EXPECT_EQ(Shown(w, u"edit_key"), u"");
    HookKey(w, 0xA2);
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kLeftCtrl), u"kb_3_command_1");
  EXPECT_EQ(ReadKeyCode(Key(kLeftCtrl).code), 0x0000'00E0u);
  EXPECT_EQ(Find(KeyName(kLeftCtrl))->GetBkImage(), u"skins/KB/key_1.png");

  // Shortcut: boxes 1 and 3 with A.
  script.Then([](DuiLib::CWindowWnd& w) {
    kb::testing::Click(w, u"check_flag_1");
    kb::testing::Click(w, u"check_flag_3");
    kb::testing::Click(w, u"edit_key");
    HookKey(w, 0x41);
    EXPECT_EQ((dynamic_cast<CShortcutWnd&>(w).flags()), (std::array<std::uint8_t, 4>{1, 0, 1, 0}));
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kCapsLock), u"kb_3_command_2");
  EXPECT_EQ(Key(kCapsLock).kind, KindByte(AssignmentKind::Shortcut));
  EXPECT_EQ(Key(kCapsLock).kind_param, 0x05);
  EXPECT_EQ(ReadKeyCode(Key(kCapsLock).code), 0x0000'0504u);
  Keys().DescribeAssignment(Key(kCapsLock));
  EXPECT_EQ(Label(u"label_kb_3_function"), u"Ctrl+Alt+A");
  EXPECT_EQ(Find(KeyName(kCapsLock))->GetAccessibleName(), u"Caps Lock, changed: Ctrl+Alt+A");
  // The panel shows over the key, inside the page, and goes when the pointer leaves.
  ASSERT_TRUE(DuiLib::Testing::Hover(Find(KeyName(kCapsLock))));
  EXPECT_TRUE(Find(u"ver_kb_3_function")->IsVisible());
  const DuiLib::RECT panel = Find(u"ver_kb_3_function")->GetPos();
  const DuiLib::RECT key = Find(KeyName(kCapsLock))->GetPos();
  EXPECT_TRUE(panel.bottom <= key.top || panel.top >= key.bottom);
  ASSERT_TRUE(DuiLib::Testing::Hover(Find(u"btn_kb_3_apply")));
  EXPECT_FALSE(Find(u"ver_kb_3_function")->IsVisible());

  // A shortcut with no modifier and no key disables the key.
  script.Then([](DuiLib::CWindowWnd& w) {
    kb::testing::Click(w, u"check_flag_1");
    kb::testing::Click(w, u"check_flag_3");
    kb::testing::Click(w, u"edit_key");
    HookKey(w, 0x11);
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kCapsLock), u"kb_3_command_2");
  EXPECT_EQ(Key(kCapsLock).kind, KindByte(AssignmentKind::Disabled));
  EXPECT_EQ(ReadKeyCode(Key(kCapsLock).code), kNoFunction);
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(KeyPageTest, CapsLockBecomesEscapeWithTheKeyboardAlone) {
  Start();
  script.Then([](DuiLib::CWindowWnd& w) {
    auto& dialog = dynamic_cast<CSingleKeyWnd&>(w);
    ASSERT_TRUE(dialog.capturing());  // the field has the focus as the dialog opens
    // Tab and Escape are captured, neither moving on nor cancelling; the focus then goes to OK.
    Stroke(w, DuiLib::VK_TAB);
    EXPECT_EQ(Shown(w, u"edit_key"), u"Tab");
    EXPECT_TRUE(Focused(w, u"btn_ok"));
    EXPECT_FALSE(dialog.capturing());
    DuiLib::Testing::PressKey(*w.GetPaintManager(), DuiLib::VK_TAB);  // back to the field
    ASSERT_TRUE(dialog.capturing());
    Stroke(w, DuiLib::VK_ESCAPE);
    ASSERT_TRUE(w.IsWindow());
    EXPECT_EQ(dialog.usage(), 0x29);
    EXPECT_TRUE(Focused(w, u"btn_ok"));
    DuiLib::Testing::PressKey(*w.GetPaintManager(), DuiLib::VK_RETURN);
  });
  Command(KeyName(kCapsLock), u"kb_3_command_1");
  EXPECT_EQ(Key(kCapsLock).kind, KindByte(AssignmentKind::SingleKey));
  EXPECT_EQ(ReadKeyCode(Key(kCapsLock).code), 0x0000'0029u);

  // The shortcut dialog ticks the modifiers held with the key; Escape there is a key too, and
  // once the key is in, Escape cancels.
  script.Then([](DuiLib::CWindowWnd& w) {
    auto& dialog = dynamic_cast<CShortcutWnd&>(w);
    HookKey(w, DuiLib::VK_ESCAPE);
    DuiLib::Testing::PressKey(*w.GetPaintManager(), DuiLib::VK_ESCAPE);
    ASSERT_TRUE(w.IsWindow());
    HookKey(w, 0xA2);  // Left Ctrl
    HookKey(w, 0xA0);  // Left Shift
    Stroke(w, 0x41);
    EXPECT_EQ(dialog.flags(), (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
    EXPECT_EQ(dialog.usage(), 0x04);
    DuiLib::Testing::PressKey(*w.GetPaintManager(), DuiLib::VK_SPACE);  // OK has the focus
  });
  Command(KeyName(kEnter), u"kb_3_command_2");
  EXPECT_EQ(Key(kEnter).kind, KindByte(AssignmentKind::Shortcut));
  EXPECT_EQ(ReadKeyCode(Key(kEnter).code), 0x0000'0304u);
  script.Then([](DuiLib::CWindowWnd& w) {
    Stroke(w, 0x42);
    DuiLib::Testing::PressKey(*w.GetPaintManager(), DuiLib::VK_ESCAPE);
  });
  Command(KeyName(kEnter), u"kb_3_command_2");
  EXPECT_EQ(ReadKeyCode(Key(kEnter).code), 0x0000'0304u);
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(KeyPageTest, ADialogWritesOnlyWhatItsCommandNames) {
  Start();
  {
    auto edit = Data().Lock();
    edit.macros().push_back(kb::testing::Macro(u"Kept"));
    KeyEntry& e = ActiveBank(*edit.current()).keys[kCapsLock];
    e.kind = KindByte(AssignmentKind::MacroBinding);
    WriteKeyCode(e.code, 0x1000'0000);
    e.macro_index = 0;
    e.macro_repeat_mode = 7;  // as an older file may carry them
    e.macro_loops = 0;
  }
  // While the picker is open an apply places the macro: its offset must survive the OK.
  script.Then([this](DuiLib::CWindowWnd& w) {
    EXPECT_EQ(Shown(w, u"edit_loop_time"), u"0");
    EXPECT_FALSE(kb::testing::Find(w, u"hor_loop_time")->IsVisible());
    ActiveBank(*Data().Lock().current()).keys[kCapsLock].device_macro_offset[1] = 0x34;
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kCapsLock), u"kb_3_command_3");
  EXPECT_EQ(Key(kCapsLock).macro_repeat_mode, 7);
  EXPECT_EQ(Key(kCapsLock).macro_loops, 0);
  EXPECT_EQ(Key(kCapsLock).device_macro_offset[1], 0x34);
  // The same for a captured key.
  script.Then([this](DuiLib::CWindowWnd& w) {
    ActiveBank(*Data().Lock().current()).keys[kCapsLock].device_macro_offset[1] = 0x45;
    HookKey(w, 0x41);
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kCapsLock), u"kb_3_command_1");
  EXPECT_EQ(ReadKeyCode(Key(kCapsLock).code), 0x0000'0004u);
  EXPECT_EQ(Key(kCapsLock).device_macro_offset[1], 0x45);
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(KeyPageTest, ThePickerBindsAMacroAndCancelKeepsTheBinding) {
  Start();
  {
    auto edit = Data().Lock();
    for (const char16_t* name : {u"Alpha", u"Beta", u"Gamma"})
      edit.macros().push_back(kb::testing::Macro(name));
  }
  script.Then([](DuiLib::CWindowWnd& w) {
    auto* list = dynamic_cast<DuiLib::CListUI*>(kb::testing::Find(w, u"list_macro"));
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetCurSel(), -1);
    ASSERT_TRUE(DuiLib::Testing::ClickListItem(list, 1));
    kb::testing::Click(w, u"repeat_3");
    EXPECT_FALSE(kb::testing::Find(w, u"hor_loop_time")->IsVisible());
    kb::testing::Click(w, u"repeat_2");
    EXPECT_TRUE(kb::testing::Find(w, u"hor_loop_time")->IsVisible());
    // Loop counts are corrected when the field loses the focus, which OK's click takes.
    kb::testing::Type(w, u"edit_loop_time", u"70000");
    kb::testing::Click(w, u"list_macro");
    EXPECT_EQ(Shown(w, u"edit_loop_time"), u"65535");
    kb::testing::Type(w, u"edit_loop_time", u"-7");
    kb::testing::Click(w, u"list_macro");
    EXPECT_EQ(Shown(w, u"edit_loop_time"), u"1");
    kb::testing::Type(w, u"edit_loop_time", u"12ab");
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kCapsLock), u"kb_3_command_3");
  KeyEntry bound = Key(kCapsLock);
  EXPECT_EQ(bound.kind, KindByte(AssignmentKind::MacroBinding));
  EXPECT_EQ(bound.macro_index, 1);
  EXPECT_EQ(bound.macro_repeat_mode, 1);
  EXPECT_EQ(bound.macro_loops, 12);
  EXPECT_EQ(FieldText(bound.macro_name), u"Beta");
  Keys().DescribeAssignment(bound);
  EXPECT_EQ(Label(u"label_kb_3_function"), u"Macro-Beta");

  // Cancel on a shortcut command of a bound key keeps the binding, without modifiers.
  {
    auto edit = Data().Lock();
    ActiveBank(*edit.current()).keys[kCapsLock].kind_param = 0x03;
  }
  script.Then([](DuiLib::CWindowWnd& w) { kb::testing::Click(w, u"btn_cancel"); });
  Command(KeyName(kCapsLock), u"kb_3_command_2");
  EXPECT_EQ(Key(kCapsLock).kind, KindByte(AssignmentKind::MacroBinding));
  EXPECT_EQ(Key(kCapsLock).kind_param, 0);

  // OK with nothing chosen changes nothing on KB_3.
  script.Then([](DuiLib::CWindowWnd& w) {
    auto* list = dynamic_cast<DuiLib::CListUI*>(kb::testing::Find(w, u"list_macro"));
    EXPECT_EQ(list->GetCurSel(), -1);  // an unbound key starts with no macro
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kLeftCtrl), u"kb_3_command_3");
  EXPECT_EQ(Key(kLeftCtrl).kind, KindByte(AssignmentKind::Default));
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(KeyPageTest, TheKb4PickerOffersTheFirstMacroInsteadOfClosingWithoutAChoice) {
  Start();
  MacroList macros;
  for (const char16_t* name : {u"One", u"Two", u"Three"})
    macros.push_back(kb::testing::Macro(name));
  CKB_4_SelectMacro picker(macros, -1, 0, 1);
  script.Then([](DuiLib::CWindowWnd& w) {
    kb::testing::Click(w, u"btn_ok");  // the warning opens; answered OK, the picker stays
    EXPECT_TRUE(w.IsWindow());
    EXPECT_EQ(dynamic_cast<DuiLib::CListUI*>(kb::testing::Find(w, u"list_macro"))->GetCurSel(), 0);
    kb::testing::Click(w, u"btn_ok");
  });
  ExpectBox(u"warning_16_text");
  EXPECT_EQ(picker.Run(wnd->GetHWND()), 1u);
  EXPECT_EQ(picker.selected(), 0);

  // With no macros at all, OK closes with no choice.
  MacroList none;
  CKB_4_SelectMacro empty(none, -1, 0, 1);
  script.Then([](DuiLib::CWindowWnd& w) { kb::testing::Click(w, u"btn_ok"); });
  EXPECT_EQ(empty.Run(wnd->GetHWND()), 1u);
  EXPECT_EQ(empty.selected(), -1);
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(KeyPageTest, KeysChangedOnThePageAreWhatTheKeyboardGetsOnApply) {
  Start();
  {
    auto edit = Data().Lock();
    edit.macros().push_back(kb::testing::Macro(u"Combo"));
  }
  Command(KeyName(kCapsLock), u"kb_3_command_4");
  Command(KeyName(kLeftCtrl), u"kb_3_command_media_7");
  script.Then([](DuiLib::CWindowWnd& w) {
    kb::testing::Click(w, u"check_flag_2");
    kb::testing::Click(w, u"edit_key");
    HookKey(w, 0x5A);
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kEnter), u"kb_3_command_2");
  script.Then([](DuiLib::CWindowWnd& w) {
    ASSERT_TRUE(DuiLib::Testing::ClickListItem(
        dynamic_cast<DuiLib::CListUI*>(kb::testing::Find(w, u"list_macro")), 0));
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(20), u"kb_3_command_3");
  Command(DuiLib::CDuiString(u"btn_kb_3_fn_key_0"), u"kb_3_command_media_5");
  // The second bank, as the keyboard's bank switch makes it the active one.
  ASSERT_TRUE(keyboard.SwitchBank(1));
  PumpUntil([&] { return Data().Lock().current()->active_bank == 1; });
  script.Then([](DuiLib::CWindowWnd& w) {
    kb::testing::Click(w, u"edit_key");
    HookKey(w, 0x51);
    kb::testing::Click(w, u"btn_ok");
  });
  Command(KeyName(kCapsLock), u"kb_3_command_1");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();

  const ProfileRecord record = *Data().Lock().current();
  EXPECT_EQ(record.banks[0].keys[kCapsLock].kind, KindByte(AssignmentKind::Disabled));
  EXPECT_EQ(ReadKeyCode(record.banks[1].keys[kCapsLock].code), 0x0000'0014u);  // Q
  EXPECT_EQ(ReadKeyCode(record.banks[0].keys[kEnter].code), 0x0000'021Du);     // Shift+Z
  EXPECT_EQ(record.banks[0].keys[20].kind, KindByte(AssignmentKind::MacroBinding));
  const auto state = keyboard.State();
  for (int b = 0; b < 2; ++b) {
    for (int k = 0; k < kKeyCount; ++k) {
      const KeyEntry& e = record.banks[b].keys[k];
      if (e.kind == KindByte(AssignmentKind::MacroBinding)) continue;  // sent as its program
      ASSERT_EQ(state->banks[b].key_words[k], ReadKeyCode(e.code)) << b << "/" << k;
    }
    for (int f = 0; f < kFnSlotCount; ++f)
      ASSERT_EQ(state->banks[b].fn_words[f], ReadKeyCode(record.banks[b].fn_keys[f].code))
          << b << "/" << f;
  }
  // The bound key carries its macro's program.
  std::vector<vkb_macro_action> actions;
  vkb_macro_program program{};
  const std::uint32_t word = state->banks[0].key_words[20];
  EXPECT_TRUE(keyboard.DecodeMacro(word & 0xFFFF, program, actions));
  EXPECT_TRUE(keyboard.TakeViolations().empty());
}

}  // namespace
}  // namespace kb::test
