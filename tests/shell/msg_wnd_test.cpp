// SPDX-License-Identifier: GPL-3.0-or-later
// CMsgWnd: keys shown through the skin's labels, OK gives 1, Cancel 0.

#include "shell/msg_wnd.h"

#include <filesystem>

#include "dialog_test_support.h"
#include "ui/label.h"

namespace kb::testing {
namespace {

class MsgWndTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSourceSkin(); }
};

TEST_F(MsgWndTest, ShowsTheKeysOfTitleAndTextThroughTheLanguageFile) {
  ModalScript script;
  DuiLib::CDuiString title_shown, text_shown, title_key, text_key, window_name;
  script.Then([&](DuiLib::CWindowWnd& box) {
    auto* title = static_cast<DuiLib::CLabelUI*>(Find(box, u"warning_title"));
    auto* text = static_cast<DuiLib::CLabelUI*>(Find(box, u"warning"));
    ASSERT_NE(title, nullptr);
    ASSERT_NE(text, nullptr);
    title_key = title->GetText();
    text_key = text->GetText();
    title_shown = title->GetShownText();
    text_shown = text->GetShownText();
    // A screen reader announces the box by its title, not by its window class.
    window_name = DuiLib::Testing::AccessibleWindowName(box);
    // Task bars and Alt-Tab show it by its title too, never as "MsgWnd".
    EXPECT_EQ(box.GetNativeTitleForTesting(), u"Warning");
    EXPECT_EQ(box.GetWindowText(), u"MsgWnd");
    Click(box, u"btn_ok");
  });
  EXPECT_EQ(CMsgWnd::Show(nullptr, u"warning_1_text", u"warning_12_text"), 1u);
  EXPECT_EQ(title_key, u"warning_1_text");
  EXPECT_EQ(text_key, u"warning_12_text");
  EXPECT_EQ(title_shown, u"Warning");
  EXPECT_EQ(text_shown, u"The last profile cannot be deleted.");
  EXPECT_EQ(window_name, u"Warning");
  EXPECT_EQ(script.unexpected(), 0);
}

struct ButtonRow {
  const char16_t* button;
  DuiLib::UINT result;
};

class MsgWndButtonTest : public MsgWndTest, public ::testing::WithParamInterface<ButtonRow> {};

TEST_P(MsgWndButtonTest, ClosesWithTheButtonsResult) {
  ModalScript script;
  script.Then([](DuiLib::CWindowWnd& box) { Click(box, GetParam().button); });
  CMsgWnd box;
  box.SetTitleKey(u"warning_1_text");
  box.SetTextKey(u"warning_2_text");
  EXPECT_EQ(box.Run(nullptr), GetParam().result);
  EXPECT_EQ(script.opened(), 1);
  EXPECT_FALSE(box.IsWindow());
}

INSTANTIATE_TEST_SUITE_P(Buttons, MsgWndButtonTest,
                         ::testing::Values(ButtonRow{u"btn_ok", 1}, ButtonRow{u"btn_cancel", 0}));

// A report: a text composed from language texts, OK only, no warning sign, titled "Done".
TEST_F(MsgWndTest, AReportShowsItsComposedTextWithOkOnly) {
  ModalScript script;
  DuiLib::CDuiString shown, desktop_title;
  bool cancel_visible = true, icon_visible = true;
  script.Then([&](DuiLib::CWindowWnd& box) {
    shown = Find(box, u"warning")->GetShownText();
    cancel_visible = Find(box, u"btn_cancel")->IsVisible();
    icon_visible = Find(box, u"warning_icon")->IsVisible();
    desktop_title = box.GetNativeTitleForTesting();
    Click(box, u"btn_ok");
  });
  const DuiLib::CDuiString text =
      CMsgWnd::Compose(u"report_profile_exported_text", {u"Game", u"/tmp/Game.kpo"});
  EXPECT_EQ(text, u"The profile \u201CGame\u201D was written to /tmp/Game.kpo");
  CMsgWnd::Report(nullptr, u"report_profile_exported_text", text);
  EXPECT_EQ(shown, text);
  EXPECT_FALSE(cancel_visible);
  EXPECT_FALSE(icon_visible);
  EXPECT_EQ(desktop_title, u"Done");
  EXPECT_EQ(script.unexpected(), 0);
}

// A report longer than the layout's room: the box grows until the whole text shows.
TEST_F(MsgWndTest, ALongReportMakesTheBoxTallerInsteadOfCuttingIt) {
  ModalScript script;
  int height = 0, text_height = 0, needed = 0;
  script.Then([&](DuiLib::CWindowWnd& box) {
    auto* text = static_cast<DuiLib::CLabelUI*>(Find(box, u"warning"));
    box.GetPaintManager()->UpdateLayout();
    height = box.GetClientSize().cy;
    text_height = text->GetPos().bottom - text->GetPos().top;
    needed = text->MeasureTextHeight();
    Click(box, u"btn_ok");
  });
  std::u16string names;
  for (int i = 0; i < 12; ++i)
    names += u"\u201CA macro with a long name " + std::u16string(1, u'a' + i) + u"\u201D, ";
  CMsgWnd::Report(nullptr, u"report_profile_imported_text",
                  CMsgWnd::Compose(u"report_macros_imported_text", {DuiLib::CDuiString(names)}));
  EXPECT_GT(height, 196);
  EXPECT_GT(needed, 0);
  EXPECT_LE(needed, text_height);
  EXPECT_EQ(script.unexpected(), 0);
}

TEST_F(MsgWndTest, ComposeLeavesPlaceholdersWithoutAValueAlone) {
  // A placeholder of a text given fewer values stays as it is.
  EXPECT_EQ(CMsgWnd::Compose(u"report_profile_exported_text", {u"A"}),
            u"The profile \u201CA\u201D was written to %2");
}

TEST_F(MsgWndTest, AnEmptyTitleStaysEmpty) {
  ModalScript script;
  DuiLib::CDuiString title_shown = u"unset";
  script.Then([&](DuiLib::CWindowWnd& box) {
    auto* title = Find(box, u"warning_title");
    ASSERT_NE(title, nullptr);
    title_shown = title->GetShownText();
    Click(box, u"btn_cancel");
  });
  EXPECT_EQ(CMsgWnd::Show(nullptr, u"", u"warning_6_text"), 0u);
  EXPECT_EQ(title_shown, u"");
}

TEST_F(MsgWndTest, OtherControlsDoNotCloseIt) {
  ModalScript script;
  script.Then([](DuiLib::CWindowWnd& box) {
    auto* text = Find(box, u"warning");
    ASSERT_NE(text, nullptr);
    box.GetPaintManager()->SendNotify(text, DuiLib::DUI_MSGTYPE_CLICK);
    Click(box, u"btn_ok");
  });
  EXPECT_EQ(CMsgWnd::Show(nullptr, u"warning_1_text", u"warning_3_text"), 1u);
}

TEST_F(MsgWndTest, WithoutItsLayoutItAnswersCancelAtOnce) {
  const std::filesystem::path empty =
      std::filesystem::path(::testing::TempDir()) / "skin_without_layouts";
  std::filesystem::create_directories(empty);
  DuiLib::CPaintManagerUI::SetResourcePath(DuiLib::CDuiString(empty.string() + "/"));
  ModalScript script;
  EXPECT_EQ(CMsgWnd::Show(nullptr, u"warning_1_text", u"warning_2_text"), 0u);
  EXPECT_EQ(script.opened(), 0);
  DuiLib::Testing::ProcessEvents();
  EXPECT_TRUE(DuiLib::CWindowWnd::GetOpenWindows().empty());
}

}  // namespace
}  // namespace kb::testing
