// SPDX-License-Identifier: GPL-3.0-or-later
// The name dialogs, driven through their real layouts: what OK does with the entered name, the
// warnings it shows, and what the four twins differ in.

#include "shell/name_dialog.h"

#include "dialog_test_support.h"
#include "shell/msg_wnd.h"
#include "ui/edit.h"

namespace kb::testing {
namespace {

using DuiLib::CDuiString;
using DuiLib::CWindowWnd;

class NameDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSourceSkin();
    profiles_.push_back(Profile(u"game"));
    profiles_.push_back(Profile(u"Work"));
    macros_.push_back(Macro(u"combo"));
  }

  // A step that records the text key of a message box and confirms it.
  ModalScript::Step AcknowledgeBox() {
    return [this](CWindowWnd& window) {
      auto* box = dynamic_cast<CMsgWnd*>(&window);
      ASSERT_NE(box, nullptr) << "expected a message box";
      boxes_.push_back(box->GetTextKey());
      EXPECT_EQ(box->GetTitleKey(), u"warning_1_text");
      Click(window, u"btn_ok");
    };
  }

  ProfileList profiles_;
  MacroList macros_;
  std::vector<CDuiString> boxes_;
};

TEST_F(NameDialogTest, EmptyNewNameClosesWithZeroAndShowsNothing) {
  ModalScript script;
  script.Then([](CWindowWnd& dialog) { Click(dialog, u"btn_ok"); });
  CKB_3_EditConfigName dialog(profiles_);
  dialog.SetMode(CNameDialog::kModeNew);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditProfileName"), 0u);
  EXPECT_EQ(script.opened(), 1);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(NameDialogTest, EmptiedRenameWarnsAndStaysOpen) {
  ModalScript script;
  script.Then([this](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", u"");
    Click(dialog, u"btn_ok");
    ASSERT_EQ(boxes_, std::vector<CDuiString>{u"warning_9_text"});
    // Still open: a valid name now goes through.
    Type(dialog, u"edit_name", u"racing");
    Click(dialog, u"btn_ok");
  });
  script.Then(AcknowledgeBox());
  CKB_3_EditConfigName dialog(profiles_);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(u"game");
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditConfigName"), 1u);
  EXPECT_EQ(dialog.GetName(), u"racing");
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(NameDialogTest, CaseOnlyRenameClosesWithZeroAndKeepsTheName) {
  ModalScript script;
  script.Then([](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", u"Game");
    Click(dialog, u"btn_ok");
  });
  CKB_3_EditConfigName dialog(profiles_);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(u"game");
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditConfigName"), 0u);
  EXPECT_EQ(dialog.GetName(), u"game");
  EXPECT_TRUE(boxes_.empty());
}

class TakenNameTest : public NameDialogTest,
                      public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(TakenNameTest, AnotherProfilesNameInAnyCaseIsRefused) {
  ModalScript script;
  script.Then([this](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", GetParam());
    Click(dialog, u"btn_ok");
    ASSERT_EQ(boxes_, std::vector<CDuiString>{u"warning_10_text"});
    Click(dialog, u"btn_cancel");
  });
  script.Then(AcknowledgeBox());
  CKB_3_EditConfigName dialog(profiles_);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(u"game");
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditConfigName"), 0u);
  EXPECT_EQ(dialog.GetName(), u"game");
}

INSTANTIATE_TEST_SUITE_P(Cases, TakenNameTest,
                         ::testing::Values(u"Work", u"work", u"WORK", u"wORk"));

TEST_F(NameDialogTest, ANewNameThatIsTakenIsRefusedToo) {
  ModalScript script;
  script.Then([this](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", u"GAME");
    Click(dialog, u"btn_ok");
    EXPECT_EQ(boxes_, std::vector<CDuiString>{u"warning_10_text"});
    Click(dialog, u"exit_btn");
  });
  script.Then(AcknowledgeBox());
  CKB_4_EditConfigName dialog(profiles_);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_4_EditProfileName"), 0u);
}

class CancelTest : public NameDialogTest, public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(CancelTest, ClosesWithZeroWhateverWasTyped) {
  ModalScript script;
  script.Then([](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", u"fresh");
    Click(dialog, GetParam());
  });
  CKB_3_EditMacroName dialog(macros_);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(u"combo");
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditMacroName"), 0u);
  EXPECT_EQ(dialog.GetName(), u"combo");
  EXPECT_TRUE(boxes_.empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, CancelTest, ::testing::Values(u"btn_cancel", u"exit_btn"));

TEST_F(NameDialogTest, TheAcceptedNameIsReadBackAfterOne) {
  ModalScript script;
  script.Then([](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", u"Ärger");
    Click(dialog, u"btn_ok");
  });
  CKB_4_EditMacroName dialog(macros_);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_4_EditMacroName"), 1u);
  EXPECT_EQ(dialog.GetName(), u"Ärger");
}

// Enter in the field confirms as OK does (with OK's checks); on a focused button it presses
// that button.
// Closes the dialog with 7 when it is still open once a step is over: a dialog that the keys
// failed to close ends the test with a wrong result instead of a hang.
struct CloseAfterStep {
  CWindowWnd& dialog;
  ~CloseAfterStep() {
    const DuiLib::HWND handle = dialog.GetHWND();
    DuiLib::Testing::ProcessEvents();
    if (CWindowWnd::FromHandle(handle) == &dialog) dialog.Close(7);
  }
};

TEST_F(NameDialogTest, EnterConfirmsFromTheFieldAndPressesAFocusedButton) {
  ModalScript script;
  script.Then([this](CWindowWnd& dialog) {
    CloseAfterStep guard{dialog};
    DuiLib::CPaintManagerUI& pm = *dialog.GetPaintManager();
    Type(dialog, u"edit_name", u"game");
    DuiLib::Testing::PressKey(pm, DuiLib::VK_RETURN);
    ASSERT_EQ(boxes_, std::vector<CDuiString>{u"warning_10_text"});
    Type(dialog, u"edit_name", u"Racing");
    DuiLib::Testing::PressKey(pm, DuiLib::VK_RETURN);
  });
  script.Then(AcknowledgeBox());
  CKB_3_EditConfigName dialog(profiles_);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditConfigName"), 1u);
  EXPECT_EQ(dialog.GetName(), u"Racing");

  ModalScript cancel;
  cancel.Then([](CWindowWnd& dialog) {
    CloseAfterStep guard{dialog};
    DuiLib::CPaintManagerUI& pm = *dialog.GetPaintManager();
    Type(dialog, u"edit_name", u"Fresh");
    // From the field to Cancel, the next control.
    DuiLib::Testing::PressKey(pm, DuiLib::VK_TAB);
    ASSERT_NE(pm.GetFocus(), nullptr);
    ASSERT_EQ(pm.GetFocus()->GetName(), u"btn_cancel");
    DuiLib::Testing::PressKey(pm, DuiLib::VK_RETURN);
  });
  CKB_4_EditMacroName macro_dialog(macros_);
  EXPECT_EQ(macro_dialog.Run(nullptr, u"KB_4_EditMacroName"), 0u);
  EXPECT_EQ(macro_dialog.GetName(), u"");
}

TEST_F(NameDialogTest, MacroDialogsCheckTheMacroListNotTheProfiles) {
  ModalScript script;
  script.Then([this](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", u"COMBO");
    Click(dialog, u"btn_ok");
    ASSERT_EQ(boxes_, std::vector<CDuiString>{u"warning_10_text"});
    Type(dialog, u"edit_name", u"game");
    Click(dialog, u"btn_ok");
  });
  script.Then(AcknowledgeBox());
  CKB_3_EditMacroName dialog(macros_);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditMacroName"), 1u);
  EXPECT_EQ(dialog.GetName(), u"game");
}

TEST_F(NameDialogTest, TheFieldStartsWithTheCurrentNameAndHasTheFocus) {
  ModalScript script;
  CDuiString shown;
  bool focused = false;
  int max_char = 0;
  script.Then([&](CWindowWnd& dialog) {
    auto* edit = static_cast<DuiLib::CEditUI*>(Find(dialog, u"edit_name"));
    ASSERT_NE(edit, nullptr);
    shown = edit->GetText();
    focused = dialog.GetPaintManager()->GetFocus() == edit;
    max_char = edit->GetMaxChar();
    Click(dialog, u"btn_cancel");
  });
  CKB_3_EditConfigName dialog(profiles_);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(u"Work");
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditConfigName"), 0u);
  EXPECT_EQ(shown, u"Work");
  EXPECT_TRUE(focused);
  EXPECT_EQ(max_char, kMaxNameLength);
}

TEST_F(NameDialogTest, TheFieldTakesNoMoreThanARecordsName) {
  ModalScript script;
  script.Then([](CWindowWnd& dialog) {
    Type(dialog, u"edit_name", std::u16string(60, u'y'));
    Click(dialog, u"btn_ok");
  });
  CKB_3_EditMacroName dialog(macros_);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditMacroName"), 1u);
  EXPECT_EQ(dialog.GetName().str(), std::u16string(kMaxNameLength, u'y'));
}

TEST_F(NameDialogTest, AnOverlongNameIsShortenedToTheRecordField) {
  ModalScript script;
  const std::u16string long_name(60, u'x');
  script.Then([&](CWindowWnd& dialog) {
    auto* edit = static_cast<DuiLib::CEditUI*>(Find(dialog, u"edit_name"));
    ASSERT_NE(edit, nullptr);
    // SetText bypasses the field's own limit, as a skin without one would.
    edit->SetMaxChar(100);
    edit->SetText(CDuiString(long_name));
    Click(dialog, u"btn_ok");
  });
  CKB_3_EditConfigName dialog(profiles_);
  EXPECT_EQ(dialog.Run(nullptr, u"KB_3_EditProfileName"), 1u);
  EXPECT_EQ(dialog.GetName().str(), long_name.substr(0, kMaxNameLength));
}

// What the twins differ in, and the keys each kind and mode shows.
struct TwinRow {
  std::function<std::unique_ptr<CNameDialog>(const ProfileList&, const MacroList&)> make;
  const char16_t* window_class;
  const char16_t* layout;
  const char16_t* new_title;
  const char16_t* rename_title;
  const char16_t* label;
};

class NameDialogTwinTest : public NameDialogTest, public ::testing::WithParamInterface<TwinRow> {};

TEST_P(NameDialogTwinTest, BuildsItsLayoutAndShowsTheKeysOfItsKindAndMode) {
  for (int mode : {CNameDialog::kModeNew, CNameDialog::kModeRename}) {
    ModalScript script;
    CDuiString title, label, window_class, shown_title, desktop_title, window_text;
    script.Then([&](CWindowWnd& dialog) {
      for (const char16_t* name :
           {u"btn_ok", u"btn_cancel", u"exit_btn", u"label_title", u"label_string", u"edit_name"})
        EXPECT_NE(Find(dialog, name), nullptr) << CDuiString(name).ToUtf8();
      if (auto* c = Find(dialog, u"label_title")) title = c->GetText();
      if (auto* c = Find(dialog, u"label_title")) shown_title = c->GetShownText();
      if (auto* c = Find(dialog, u"label_string")) label = c->GetText();
      desktop_title = dialog.GetNativeTitleForTesting();
      window_text = dialog.GetWindowText();
      Click(dialog, u"btn_cancel");
    });
    std::unique_ptr<CNameDialog> dialog = GetParam().make(profiles_, macros_);
    dialog->SetMode(mode);
    EXPECT_EQ(dialog->Run(nullptr, u"caller_text"), 0u);
    EXPECT_TRUE(dialog->IsLayoutBuilt()) << dialog->LayoutStatus().reason();
    EXPECT_EQ(title,
              mode == CNameDialog::kModeNew ? GetParam().new_title : GetParam().rename_title);
    EXPECT_EQ(label, GetParam().label);
    EXPECT_EQ(dialog->GetTitleKey(), title);
    EXPECT_EQ(dialog->ClassName(), GetParam().window_class);
    EXPECT_EQ(dialog->LayoutFile(), GetParam().layout);
    // The program knows it by the caller's text; task bars and Alt-Tab show its caption.
    EXPECT_EQ(window_text, u"caller_text");
    EXPECT_FALSE(shown_title.IsEmpty());
    EXPECT_EQ(desktop_title, shown_title);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Twins, NameDialogTwinTest,
    ::testing::Values(TwinRow{[](const ProfileList& p, const MacroList&) {
                                return std::make_unique<CKB_3_EditConfigName>(p);
                              },
                              u"KB_3_EditConfigName", u"KB/KB_3/editconfigname.xml", u"edit_6_text",
                              u"edit_8_text", u"edit_7_text"},
                      TwinRow{[](const ProfileList& p, const MacroList&) {
                                return std::make_unique<CKB_4_EditConfigName>(p);
                              },
                              u"KB_4_EditConfigName", u"KB/KB_4/editconfigname.xml", u"edit_6_text",
                              u"edit_8_text", u"edit_7_text"},
                      TwinRow{[](const ProfileList&, const MacroList& m) {
                                return std::make_unique<CKB_3_EditMacroName>(m);
                              },
                              u"KB_3_EditMacroName", u"KB/KB_3/editmacroname.xml", u"edit_1_text",
                              u"edit_3_text", u"edit_2_text"},
                      TwinRow{[](const ProfileList&, const MacroList& m) {
                                return std::make_unique<CKB_4_EditMacroName>(m);
                              },
                              u"KB_4_EditMacroName", u"KB/KB_4/editmacroname.xml", u"edit_1_text",
                              u"edit_3_text", u"edit_2_text"}));

}  // namespace
}  // namespace kb::testing
