// SPDX-License-Identifier: GPL-3.0-or-later
// The applications dialog through its real layout: each change written to the links file whole,
// a refused name, a full file or a failed save told in a box with the file and the list as they
// were, the pick from the open applications, the default mark, and the word on a desktop whose
// application in front cannot be followed.

#include "pages/device/app_links_dialog.h"

#include <fstream>
#include <iterator>

#include "common/test_folders.h"
#include "shell/dialog_test_support.h"
#include "shell/msg_wnd.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/label.h"
#include "ui/list.h"

namespace kb::testing {
namespace {

using DuiLib::CDuiString;
using DuiLib::CWindowWnd;

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<CDuiString> Rows(CWindowWnd& dialog) {
  std::vector<CDuiString> rows;
  if (auto* list = dynamic_cast<DuiLib::CListUI*>(Find(dialog, u"list_apps")))
    for (int i = 0; i < list->GetCount(); ++i) rows.push_back(list->GetItemAt(i)->GetText());
  return rows;
}

class AppLinksDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSourceSkin();
    ASSERT_TRUE(folder_.ok());
    setup_.file = folder_.path() / "apps.links";
    setup_.profile = 1;
    setup_.profile_names = {u"Desk", u"Game"};
  }

  // A step that records the text key of a warning box and confirms it.
  ModalScript::Step AcknowledgeBox() {
    return [this](CWindowWnd& window) {
      auto* box = dynamic_cast<CMsgWnd*>(&window);
      ASSERT_NE(box, nullptr) << "expected a message box";
      boxes_.push_back(box->GetTextKey());
      Click(window, u"btn_ok");
    };
  }

  void Save(const AppLinks& links) {
    ASSERT_TRUE(SaveAppLinks(setup_.file, links, AppLinksLoad{}).ok());
  }

  // Runs the dialog with `steps` (the dialog's first) and returns whether it wrote the file.
  bool Run(std::initializer_list<ModalScript::Step> steps) {
    ModalScript script;
    for (const auto& step : steps) script.Then(step);
    CAppLinksDialog dialog(setup_);
    dialog.Run(nullptr);
    EXPECT_EQ(script.unexpected(), 0);
    EXPECT_EQ(script.pending(), 0u);
    return dialog.changed();
  }

  TempFolder folder_{"app_links_dialog"};
  CAppLinksDialog::Setup setup_;
  std::vector<CDuiString> boxes_;
};

TEST_F(AppLinksDialogTest, TheFirstLinkIsWrittenAndTurnsSwitchingOn) {
  const bool changed = Run({[](CWindowWnd& dialog) {
    EXPECT_TRUE(Rows(dialog).empty());
    Type(dialog, u"edit_app", u"  steam_app_570 ");
    Click(dialog, u"btn_add");
    EXPECT_EQ(Rows(dialog), std::vector<CDuiString>{u"steam_app_570"});
    EXPECT_EQ(Find(dialog, u"edit_app")->GetText(), u"");
    Click(dialog, u"btn_close");
  }});
  EXPECT_TRUE(changed);
  const AppLinksLoad load = LoadAppLinks(setup_.file);
  ASSERT_TRUE(load.problem.ok()) << load.problem.reason();
  EXPECT_TRUE(load.links.automatic());
  EXPECT_EQ(load.links.links(), (std::vector<AppLink>{{1, "steam_app_570"}}));
}

TEST_F(AppLinksDialogTest, ALaterLinkLeavesSwitchingAsTheUserSetIt) {
  AppLinks links;
  ASSERT_TRUE(links.Link(0, "firefox").ok());
  links.set_automatic(false);
  Save(links);
  Run({[](CWindowWnd& dialog) {
    Type(dialog, u"edit_app", u"org.kde.krita");
    Click(dialog, u"btn_add");
    Click(dialog, u"exit_btn");
  }});
  const AppLinks saved = LoadAppLinks(setup_.file).links;
  EXPECT_FALSE(saved.automatic());
  EXPECT_EQ(saved.ProfileFor("org.kde.krita"), 1u);
  EXPECT_EQ(saved.ProfileFor("firefox"), 0u);
}

TEST_F(AppLinksDialogTest, RemoveEndsTheSelectedLinkOnly) {
  AppLinks links;
  for (const char* app : {"a.first", "b.second", "c.third"}) ASSERT_TRUE(links.Link(1, app).ok());
  ASSERT_TRUE(links.Link(0, "elsewhere").ok());
  Save(links);
  Run({[](CWindowWnd& dialog) {
    EXPECT_EQ(Rows(dialog), (std::vector<CDuiString>{u"a.first", u"b.second", u"c.third"}));
    auto* list = dynamic_cast<DuiLib::CListUI*>(Find(dialog, u"list_apps"));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(DuiLib::Testing::ClickListItem(list, 1));
    Click(dialog, u"btn_remove");
    EXPECT_EQ(Rows(dialog), (std::vector<CDuiString>{u"a.first", u"c.third"}));
    Click(dialog, u"btn_close");
  }});
  const AppLinks saved = LoadAppLinks(setup_.file).links;
  EXPECT_EQ(saved.AppsOf(1), (std::vector<std::string>{"a.first", "c.third"}));
  EXPECT_EQ(saved.ProfileFor("elsewhere"), 0u);
}

// Each refusal shows its box and leaves the file byte for byte and the list as they were.
TEST_F(AppLinksDialogTest, ANameThatIsNoApplicationsIsRefused) {
  AppLinks links;
  ASSERT_TRUE(links.Link(1, "firefox").ok());
  Save(links);
  const std::string before = ReadAll(setup_.file);
  Run({[](CWindowWnd& dialog) {
         Type(dialog, u"edit_app", u"   ");
         Click(dialog, u"btn_add");
         EXPECT_EQ(Rows(dialog), std::vector<CDuiString>{u"firefox"});
         Click(dialog, u"btn_close");
       },
       AcknowledgeBox()});
  EXPECT_EQ(boxes_, std::vector<CDuiString>{u"warning_app_not_linked_text"});
  EXPECT_EQ(ReadAll(setup_.file), before);
}

TEST_F(AppLinksDialogTest, AFullFileTakesNoMoreLinks) {
  AppLinks links;
  for (std::size_t i = 0; i < kMaxAppLinks; ++i)
    ASSERT_TRUE(links.Link(0, "app" + std::to_string(i)).ok());
  Save(links);
  const std::string before = ReadAll(setup_.file);
  Run({[](CWindowWnd& dialog) {
         Type(dialog, u"edit_app", u"one.more");
         Click(dialog, u"btn_add");
         EXPECT_TRUE(Rows(dialog).empty());
         Click(dialog, u"btn_close");
       },
       AcknowledgeBox()});
  EXPECT_EQ(boxes_, std::vector<CDuiString>{u"warning_app_not_linked_text"});
  EXPECT_EQ(ReadAll(setup_.file), before);
}

TEST_F(AppLinksDialogTest, AFailedSaveIsToldAndNothingChanges) {
  // The links file's folder is a file: no save can succeed.
  std::ofstream(folder_.path() / "not_a_folder") << "x";
  setup_.file = folder_.path() / "not_a_folder" / "apps.links";
  const bool changed =
      Run({[](CWindowWnd& dialog) {
             Type(dialog, u"edit_app", u"firefox");
             Click(dialog, u"btn_add");
             EXPECT_TRUE(Rows(dialog).empty());
             EXPECT_EQ(Find(dialog, u"edit_app")->GetText(), u"firefox");
             Click(dialog, u"check_default");
             auto* check = dynamic_cast<DuiLib::CCheckBoxUI*>(Find(dialog, u"check_default"));
             ASSERT_NE(check, nullptr);
             EXPECT_FALSE(check->GetCheck());
             Click(dialog, u"btn_close");
           },
           AcknowledgeBox(), AcknowledgeBox()});
  EXPECT_FALSE(changed);
  EXPECT_EQ(boxes_, (std::vector<CDuiString>{u"warning_app_links_save_text",
                                             u"warning_app_links_save_text"}));
}

TEST_F(AppLinksDialogTest, TheCheckMarksThisProfileAsTheDefault) {
  Run({[](CWindowWnd& dialog) {
    auto* check = dynamic_cast<DuiLib::CCheckBoxUI*>(Find(dialog, u"check_default"));
    ASSERT_NE(check, nullptr);
    // Until one is marked, the first profile is the default.
    EXPECT_FALSE(check->GetCheck());
    EXPECT_NE(Find(dialog, u"label_default")->GetText().Find(u"\u201CDesk\u201D"), -1);
    Click(dialog, u"check_default");
    EXPECT_TRUE(check->GetCheck());
    EXPECT_NE(Find(dialog, u"label_default")->GetText().Find(u"\u201CGame\u201D"), -1);
    Click(dialog, u"btn_close");
  }});
  const AppLinks saved = LoadAppLinks(setup_.file).links;
  EXPECT_TRUE(saved.default_marked());
  EXPECT_EQ(saved.default_profile(), 1u);
}

TEST_F(AppLinksDialogTest, APickedOpenApplicationIsAddedAsATypedOne) {
  setup_.open_applications = {"firefox", "org.kde.krita"};
  Run({[](CWindowWnd& dialog) {
    EXPECT_TRUE(Find(dialog, u"hor_open_apps")->IsVisible());
    auto* open = dynamic_cast<DuiLib::CComboUI*>(Find(dialog, u"combo_open_apps"));
    ASSERT_NE(open, nullptr);
    ASSERT_EQ(open->GetCount(), 2);
    ASSERT_TRUE(DuiLib::Testing::SelectComboItem(open, 1));
    EXPECT_EQ(Find(dialog, u"edit_app")->GetText(), u"org.kde.krita");
    Click(dialog, u"btn_add");
    Click(dialog, u"btn_close");
  }});
  EXPECT_EQ(LoadAppLinks(setup_.file).links.ProfileFor("org.kde.krita"), 1u);
}

TEST_F(AppLinksDialogTest, WithoutAWatcherTheDialogSaysWhy) {
  // Long enough for three lines: all of it shows.
  setup_.unavailable =
      "GNOME on Wayland gives no program the window in front (sway, i3 and KDE Plasma do; on "
      "X11 every desktop does)";
  Run({[](CWindowWnd& dialog) {
    auto* note = dynamic_cast<DuiLib::CLabelUI*>(Find(dialog, u"label_unavailable"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->IsVisible());
    EXPECT_EQ(note->GetText(),
              u"Automatic switching is not available on this desktop: GNOME "
              u"on Wayland gives no program the window in front (sway, i3 and "
              u"KDE Plasma do; on X11 every desktop does)");
    dialog.GetPaintManager()->UpdateLayout();
    const DuiLib::RECT shown = note->GetPos();
    EXPECT_GE(shown.bottom - shown.top, note->MeasureTextHeight());
    // Nothing is known of open windows either: the pick is not offered, and that is said.
    EXPECT_FALSE(Find(dialog, u"hor_open_apps")->IsVisible());
    EXPECT_EQ(Find(dialog, u"label_open_apps")->GetShownText(),
              u"No other application's window is known to be open now.");
    Click(dialog, u"btn_close");
  }});
  setup_.unavailable.clear();
  Run({[](CWindowWnd& dialog) {
    EXPECT_FALSE(Find(dialog, u"label_unavailable")->IsVisible());
    Click(dialog, u"btn_close");
  }});
}

}  // namespace
}  // namespace kb::testing
