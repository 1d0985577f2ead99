// SPDX-License-Identifier: GPL-3.0-or-later
// Each notification type is raised by the user action that should raise it, and programmatic
// changes raise one only where the library says so.
#include <gtest/gtest.h>

#include "recording_window.h"
#include "ui/button.h"
#include "ui/color_palette.h"
#include "ui/edit.h"
#include "ui/slider.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;
using Events = std::vector<std::string>;

namespace {

class NotificationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w.Open());
    ASSERT_TRUE(w.IsLayoutBuilt()) << w.LayoutStatus().reason();
    w.events.clear();
  }
  // Events without focus changes, for tests about other types.
  Events Without(const std::vector<std::string>& drop) const {
    Events out;
    for (const auto& e : w.events) {
      bool skip = false;
      for (const auto& d : drop) skip |= e.rfind(d, 0) == 0;
      if (!skip) out.push_back(e);
    }
    return out;
  }
  Events NoFocus() const { return Without({"setfocus", "killfocus"}); }
  kbtest::RecordingWindow w{u"controls.xml"};
};

TEST_F(NotificationTest, UserActionsRaiseTheirNotifications) {
  struct Case {
    const char* what;
    std::function<bool(kbtest::RecordingWindow&)> act;
    Events want;
  };
  const Case cases[] = {
      {"button click", [](auto& w) { return Testing::Click(w.pm(), u"btn"); }, {"click:btn"}},
      {"selected option again",
       [](auto& w) { return Testing::Click(w.pm(), u"opt1"); },
       {"click:opt1"}},
      {"option of a group",
       [](auto& w) { return Testing::Click(w.pm(), u"opt2"); },
       {"click:opt2", "selectchanged:opt2"}},
      {"check box",
       [](auto& w) { return Testing::Click(w.pm(), u"chk"); },
       {"click:chk", "selectchanged:chk", "checkclick:chk"}},
      {"label", [](auto& w) { return Testing::Click(w.pm(), u"lbl"); }, {}},
      {"typing",
       [](auto& w) { return Testing::TypeText(w.pm().FindControl(u"edit1"), u"a1-"); },
       {"textchanged:edit1", "textchanged:edit1", "textchanged:edit1"}},
      {"space on a focused button",
       [](auto& w) {
         w.pm().SetFocus(w.pm().FindControl(u"btn"));
         return Testing::PressKey(w.pm(), VK_SPACE);
       },
       {"click:btn"}},
      {"slider drag",
       [](auto& w) { return Testing::DragSlider(w.template Find<CSliderUI>(u"slider"), 200); },
       {"valuechanged:slider"}},
      {"palette click",
       [](auto& w) {
         return Testing::ClickPalette(w.template Find<CColorPaletteUI>(u"palette"), {50, 50});
       },
       {"colorchanged:palette"}},
  };
  for (const auto& c : cases) {
    w.events.clear();
    ASSERT_TRUE(c.act(w)) << c.what;
    EXPECT_EQ(NoFocus(), c.want) << c.what;
  }
}

TEST_F(NotificationTest, ProgrammaticChangesAreSilentUnlessAsked) {
  auto* opt2 = w.Find<COptionUI>(u"opt2");
  auto* opt1 = w.Find<COptionUI>(u"opt1");
  auto* chk = w.Find<CCheckBoxUI>(u"chk");
  auto* edit = w.Find<CEditUI>(u"edit1");
  auto* slider = w.Find<CSliderUI>(u"slider");
  auto* palette = w.Find<CColorPaletteUI>(u"palette");
  opt2->Selected(true);
  EXPECT_TRUE(opt2->IsSelected());
  EXPECT_FALSE(opt1->IsSelected());
  chk->SetCheck(true);
  edit->SetText(u"12");
  slider->SetValue(99);
  palette->SetSelectColor(0xFFC80A14);
  EXPECT_TRUE(w.events.empty());
  EXPECT_EQ(slider->GetValue(), 99);
  EXPECT_EQ(palette->GetSelectColor(), 0xFFC80A14u);
  slider->SetValue(1000);
  EXPECT_EQ(slider->GetValue(), 255);
  opt1->Selected(true, true);
  EXPECT_EQ(w.events, (Events{"selectchanged:opt1"}));
  EXPECT_FALSE(opt2->IsSelected());
}

TEST_F(NotificationTest, ClickingTheSelectedOptionOfAGroupKeepsIt) {
  auto* opt1 = w.Find<COptionUI>(u"opt1");
  auto* opt2 = w.Find<COptionUI>(u"opt2");
  ASSERT_TRUE(Testing::Click(opt2));
  EXPECT_TRUE(opt2->IsSelected());
  EXPECT_FALSE(opt1->IsSelected());
  ASSERT_TRUE(Testing::Click(opt2));
  EXPECT_TRUE(opt2->IsSelected());
  auto* chk = w.Find<CCheckBoxUI>(u"chk");
  ASSERT_TRUE(Testing::Click(chk));
  EXPECT_TRUE(chk->GetCheck());
  ASSERT_TRUE(Testing::Click(chk));
  EXPECT_FALSE(chk->GetCheck());
}

TEST_F(NotificationTest, FocusMovesBeforeTheClick) {
  ASSERT_TRUE(Testing::Click(w.pm(), u"edit1"));
  EXPECT_EQ(w.events, (Events{"setfocus:edit1"}));
  w.events.clear();
  ASSERT_TRUE(Testing::Click(w.pm(), u"edit2"));
  EXPECT_EQ(w.events, (Events{"killfocus:edit1", "setfocus:edit2"}));
  w.events.clear();
  ASSERT_TRUE(Testing::Click(w.pm(), u"btn"));
  EXPECT_EQ(w.events, (Events{"killfocus:edit2", "setfocus:btn", "click:btn"}));
  w.events.clear();
  ASSERT_TRUE(Testing::Click(w.pm(), u"lbl"));
  EXPECT_EQ(w.events, (Events{"killfocus:btn"}));
  EXPECT_EQ(w.pm().GetFocus(), nullptr);
}

TEST_F(NotificationTest, AFieldCommittedOnKillFocusIsReadBeforeTheClick) {
  auto* edit = w.Find<CEditUI>(u"edit1");
  std::string seen_at_click;
  w.on_notify = [&](TNotifyUI& msg) {
    if (msg.sType == u"killfocus" && msg.pSender == edit && edit->GetText() == u"0")
      edit->SetText(u"1");
    if (msg.sType == u"click") seen_at_click = edit->GetText().ToUtf8();
  };
  ASSERT_TRUE(Testing::TypeText(edit, u"0"));
  ASSERT_TRUE(Testing::Click(w.pm(), u"btn"));
  EXPECT_EQ(seen_at_click, "1");
}

TEST_F(NotificationTest, TextChangedHandlerRewritingItsFieldDoesNotLoop) {
  auto* edit = w.Find<CEditUI>(u"edit1");
  int calls = 0;
  w.on_notify = [&](TNotifyUI& msg) {
    if (msg.sType != u"textchanged" || msg.pSender != edit) return;
    ++calls;
    CDuiString filtered;
    CDuiString text = edit->GetText();
    for (int i = 0; i < text.GetLength(); ++i)
      if ((text[i] >= u'0' && text[i] <= u'9') || text[i] == u'-') filtered += text[i];
    edit->SetText(filtered);
    edit->SetSel(-1, -1);
  };
  ASSERT_TRUE(Testing::TypeText(edit, u"12a-3"));
  EXPECT_EQ(calls, 5);
  EXPECT_EQ(edit->GetText(), CDuiString(u"12-3"));
  EXPECT_EQ(edit->GetCaret(), 4);
}

TEST_F(NotificationTest, EditKeysAndLimits) {
  auto* edit = w.Find<CEditUI>(u"edit1");
  edit->SetMaxChar(4);
  ASSERT_TRUE(Testing::TypeText(edit, u"abcdef"));
  EXPECT_EQ(edit->GetText(), CDuiString(u"abcd"));
  Testing::PressKey(w.pm(), VK_BACK);
  EXPECT_EQ(edit->GetText(), CDuiString(u"abc"));
  Testing::PressKey(w.pm(), VK_HOME);
  Testing::PressKey(w.pm(), VK_DELETE);
  EXPECT_EQ(edit->GetText(), CDuiString(u"bc"));
  Testing::PressKey(w.pm(), 'A', UIKEY_CONTROL);
  Testing::TypeText(edit, u"z");
  EXPECT_EQ(edit->GetText(), CDuiString(u"z"));
  edit->SetReadOnly(true);
  w.events.clear();
  Testing::TypeText(edit, u"q");
  EXPECT_EQ(edit->GetText(), CDuiString(u"z"));
  EXPECT_TRUE(NoFocus().empty());
}

TEST_F(NotificationTest, PointerEnteringAndLeavingRaisesMouseEnterAndLeave) {
  w.ignore_mouse_moves = false;
  ASSERT_TRUE(Testing::Hover(w.pm().FindControl(u"btn")));
  ASSERT_TRUE(Testing::Hover(w.pm().FindControl(u"chk")));
  Testing::LeaveWindow(w.pm());
  EXPECT_EQ(w.events,
            (Events{"mouseenter:btn", "mouseleave:btn", "mouseenter:chk", "mouseleave:chk"}));
}

TEST_F(NotificationTest, DisabledAndHiddenControlsRaiseNothing) {
  CControlUI* btn = w.pm().FindControl(u"btn");
  btn->SetEnabled(false);
  EXPECT_TRUE(Testing::Click(btn));
  btn->SetEnabled(true);
  btn->SetVisible(false);
  EXPECT_FALSE(Testing::Click(btn));
  EXPECT_TRUE(w.events.empty());
}

TEST_F(NotificationTest, SliderKeysAndWheelRaiseValueChanged) {
  auto* slider = w.Find<CSliderUI>(u"slider");
  ASSERT_TRUE(Testing::Click(slider));
  int v = slider->GetValue();
  w.events.clear();
  Testing::PressKey(w.pm(), VK_RIGHT);
  EXPECT_EQ(slider->GetValue(), v + 1);
  Testing::Wheel(slider, -120);
  EXPECT_EQ(slider->GetValue(), v);
  EXPECT_EQ(NoFocus(), (Events{"valuechanged:slider", "valuechanged:slider"}));
  EXPECT_EQ(static_cast<int>(w.last.wParam), v);
}

TEST_F(NotificationTest, PalettePicksHueSaturationAndBrightness) {
  auto* palette = w.Find<CColorPaletteUI>(u"palette");
  w.pm().UpdateLayout();
  RECT bar = palette->GetBarRect();
  RECT pos = palette->GetPos();
  ASSERT_TRUE(Testing::ClickPalette(palette, {bar.Width() - 1, bar.top - pos.top + 2}));
  ASSERT_TRUE(Testing::ClickPalette(palette, {0, 0}));
  EXPECT_EQ(palette->GetSelectColor(), 0xFFFF0000u);
  ASSERT_TRUE(Testing::ClickPalette(palette, {0, palette->GetPalletRect().Height() - 1}));
  EXPECT_EQ(palette->GetSelectColor(), 0xFFFFFFFFu);
  ASSERT_TRUE(Testing::ClickPalette(palette, {0, bar.top - pos.top + 2}));
  EXPECT_EQ(palette->GetSelectColor(), 0xFF000000u);
  EXPECT_EQ(static_cast<DWORD>(w.last.wParam), 0xFF000000u);
}

TEST(ColorConversionTest, HsbRoundTrips) {
  const DWORD colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF808080};
  for (DWORD c : colours) {
    int h, s, b;
    ArgbToHsb(c, h, s, b);
    EXPECT_EQ(HsbToArgb(h, s, b), c);
  }
}

}  // namespace
