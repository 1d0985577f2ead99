// SPDX-License-Identifier: GPL-3.0-or-later
// Behaviour of single controls and containers beyond their notifications.
#include <gtest/gtest.h>

#include "recording_window.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/slider.h"
#include "ui/theme.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;
using Events = std::vector<std::string>;

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w.Open());
    w.events.clear();
  }
  kbtest::RecordingWindow w{u"controls.xml"};
};

TEST_F(ControlsTest, EditSelectionAndReplacement) {
  auto* edit = w.Find<CEditUI>(u"edit1");
  edit->SetText(u"hello world");
  EXPECT_EQ(edit->GetCaret(), 11);
  edit->SetSel(0, 5);
  EXPECT_EQ(edit->GetSelStart(), 0);
  EXPECT_EQ(edit->GetSelEnd(), 5);
  edit->SetReplaceSel(u"goodbye");
  EXPECT_EQ(edit->GetText(), CDuiString(u"goodbye world"));
  EXPECT_EQ(edit->GetCaret(), 7);
  edit->SetSel(-1, -1);
  EXPECT_EQ(edit->GetCaret(), 13);
  edit->SetSel(100, 3);
  EXPECT_EQ(edit->GetSelStart(), 13);
  EXPECT_EQ(edit->GetSelEnd(), 3);
  EXPECT_TRUE(w.events.empty());
}

TEST_F(ControlsTest, EditFiltersAndLimitsTypedText) {
  auto* edit = w.Find<CEditUI>(u"edit1");
  edit->SetNumberOnly(true);
  ASSERT_TRUE(Testing::TypeText(edit, u"1a2-3"));
  EXPECT_EQ(edit->GetText(), CDuiString(u"123"));
  edit->SetNumberOnly(false);
  edit->SetPasswordMode(true);
  Testing::TypeText(edit, u"x");
  EXPECT_EQ(edit->GetText(), CDuiString(u"123x"));
  edit->SetMaxChar(2);
  EXPECT_EQ(edit->GetText(), CDuiString(u"12"));
  edit->SetText(u"abcdef");
  EXPECT_EQ(edit->GetText(), CDuiString(u"ab"));
}

TEST_F(ControlsTest, EditArrowKeysMoveAndExtendTheSelection) {
  auto* edit = w.Find<CEditUI>(u"edit1");
  ASSERT_TRUE(Testing::TypeText(edit, u"abcd"));
  Testing::PressKey(w.pm(), VK_LEFT);
  Testing::PressKey(w.pm(), VK_LEFT, UIKEY_SHIFT);
  EXPECT_EQ(edit->GetSelStart(), 3);
  EXPECT_EQ(edit->GetSelEnd(), 2);
  Testing::TypeText(edit, u"X");
  EXPECT_EQ(edit->GetText(), CDuiString(u"abXd"));
  Testing::PressKey(w.pm(), VK_END);
  Testing::PressKey(w.pm(), VK_RIGHT);
  EXPECT_EQ(edit->GetCaret(), 4);
  Testing::PressKey(w.pm(), VK_HOME);
  Testing::PressKey(w.pm(), VK_LEFT);
  EXPECT_EQ(edit->GetCaret(), 0);
}

TEST_F(ControlsTest, ProgressAndSliderKeepTheirValueInRange) {
  auto* progress = w.Find<CProgressUI>(u"progress");
  EXPECT_EQ(progress->GetValue(), 30);
  progress->SetValue(-5);
  EXPECT_EQ(progress->GetValue(), 0);
  progress->SetMaxValue(20);
  EXPECT_EQ(progress->GetValue(), 0);
  progress->SetValue(25);
  EXPECT_EQ(progress->GetValue(), 20);
  progress->SetMinValue(30);
  EXPECT_EQ(progress->GetMaxValue(), 30);
  EXPECT_EQ(progress->GetValue(), 30);
  auto* slider = w.Find<CSliderUI>(u"slider");
  ASSERT_TRUE(Testing::DragSlider(slider, 0));
  EXPECT_EQ(slider->GetValue(), 0);
  ASSERT_TRUE(Testing::DragSlider(slider, 255));
  EXPECT_EQ(slider->GetValue(), 255);
  ASSERT_TRUE(Testing::DragSlider(slider, 128));
  EXPECT_NEAR(slider->GetValue(), 128, 1);
}

TEST_F(ControlsTest, ADisabledComboDoesNotOpen) {
  auto* combo = w.Find<CComboUI>(u"combo");
  auto* item = new CListLabelElementUI;
  item->SetText(u"only");
  combo->Add(item);
  combo->SetEnabled(false);
  Testing::Click(combo);
  EXPECT_FALSE(combo->IsDropped());
  combo->SetEnabled(true);
  Testing::Click(combo);
  EXPECT_TRUE(combo->IsDropped());
  Testing::Click(combo);
  EXPECT_FALSE(combo->IsDropped());
  combo->Activate(true);
  combo->RemoveAll();
  EXPECT_FALSE(combo->IsDropped());
  EXPECT_EQ(combo->GetText(), CDuiString());
  Testing::ProcessEvents();
}

TEST_F(ControlsTest, HiddenControlsLoseTheFocusAndTakeNoInput) {
  CControlUI* edit = w.pm().FindControl(u"edit1");
  edit->SetFocus();
  EXPECT_EQ(w.pm().GetFocus(), edit);
  edit->SetVisible(false);
  EXPECT_EQ(w.pm().GetFocus(), nullptr);
  EXPECT_EQ(w.events, (Events{"setfocus:edit1", "killfocus:edit1"}));
  edit->SetFocus();
  EXPECT_EQ(w.pm().GetFocus(), nullptr);
  edit->SetVisible(true);
  edit->SetEnabled(false);
  edit->SetFocus();
  EXPECT_EQ(w.pm().GetFocus(), nullptr);
}

TEST(ContainerTest, ItemsMoveAndComeBackToTheirOwner) {
  CVerticalLayoutUI box;
  auto* a = new CControlUI;
  auto* b = new CControlUI;
  auto* c = new CControlUI;
  a->SetName(u"a");
  b->SetName(u"b");
  c->SetName(u"c");
  ASSERT_TRUE(box.Add(a));
  ASSERT_TRUE(box.Add(b));
  ASSERT_TRUE(box.AddAt(c, 0));
  auto* stray = new CControlUI;
  EXPECT_FALSE(box.AddAt(stray, 9));
  EXPECT_EQ(stray->GetParent(), nullptr);
  delete stray;
  EXPECT_EQ(box.GetItemAt(0), c);
  EXPECT_EQ(box.GetItemIndex(b), 2);
  EXPECT_TRUE(box.SetItemIndex(b, 0));
  EXPECT_EQ(box.GetItemAt(0), b);
  EXPECT_EQ(box.FindSubControl(u"c"), c);
  ASSERT_TRUE(box.Remove(c, true));
  EXPECT_EQ(c->GetParent(), nullptr);
  EXPECT_EQ(box.FindSubControl(u"c"), nullptr);
  delete c;
  EXPECT_FALSE(box.Remove(c));
  EXPECT_FALSE(box.RemoveAt(10));
  EXPECT_EQ(box.GetItemAt(-1), nullptr);
}

TEST(ContainerTest, RemovingTheShownTabShowsANeighbour) {
  CTabLayoutUI tabs;
  CControlUI* pages[3];
  for (auto*& p : pages) {
    p = new CControlUI;
    tabs.Add(p);
  }
  EXPECT_EQ(tabs.GetCurSel(), 0);
  EXPECT_TRUE(pages[0]->IsOwnVisible());
  EXPECT_FALSE(pages[1]->IsOwnVisible());
  tabs.SelectItem(2);
  ASSERT_TRUE(tabs.Remove(pages[2]));
  EXPECT_EQ(tabs.GetCurSel(), 1);
  EXPECT_TRUE(pages[1]->IsOwnVisible());
  ASSERT_TRUE(tabs.Remove(pages[0]));
  EXPECT_EQ(tabs.GetCurSel(), 0);
  tabs.RemoveAll();
  EXPECT_EQ(tabs.GetCurSel(), -1);
}

TEST(ContainerTest, TheLaterSelectedOptionOfAGroupWins) {
  kbtest::UseTestSkin();
  CPaintManagerUI pm;
  pm.Init(nullptr);
  CDialogBuilder builder;
  CControlUI* root = builder.CreateFromString(
      R"(<HorizontalLayout><Option name="x" group="g" selected="true"/><Option name="y" group="g" selected="true"/><Option name="z" group="h" selected="true"/></HorizontalLayout>)",
      nullptr, &pm);
  ASSERT_NE(root, nullptr);
  pm.AttachDialog(root);
  EXPECT_FALSE(dynamic_cast<COptionUI*>(pm.FindControl(u"x"))->IsSelected());
  EXPECT_TRUE(dynamic_cast<COptionUI*>(pm.FindControl(u"y"))->IsSelected());
  EXPECT_TRUE(dynamic_cast<COptionUI*>(pm.FindControl(u"z"))->IsSelected());
  ASSERT_NE(pm.GetOptionGroup(u"g"), nullptr);
  EXPECT_EQ(pm.GetOptionGroup(u"g")->size(), 2u);
  auto* x = dynamic_cast<COptionUI*>(pm.FindControl(u"x"));
  x->SetGroup(u"h");
  x->Selected(true);
  EXPECT_FALSE(dynamic_cast<COptionUI*>(pm.FindControl(u"z"))->IsSelected());
  EXPECT_TRUE(dynamic_cast<COptionUI*>(pm.FindControl(u"y"))->IsSelected());
}

TEST(NotifyPumpTest, HandlersMatchTypeAndSender) {
  CControlUI a, b;
  a.SetName(u"a");
  b.SetName(u"b");
  CNotifyPump pump;
  std::vector<std::string> calls;
  pump.AddHandler(u"click", u"a", [&](TNotifyUI&) { calls.push_back("a-click"); });
  pump.AddHandler(u"click", u"", [&](TNotifyUI&) { calls.push_back("any-click"); });
  pump.AddHandler(u"killfocus", u"b", [&](TNotifyUI&) { calls.push_back("b-killfocus"); });
  TNotifyUI msg;
  msg.sType = u"click";
  msg.pSender = &a;
  EXPECT_TRUE(pump.NotifyPump(msg));
  msg.pSender = &b;
  EXPECT_TRUE(pump.NotifyPump(msg));
  msg.sType = u"killfocus";
  EXPECT_TRUE(pump.NotifyPump(msg));
  msg.sType = u"setfocus";
  EXPECT_FALSE(pump.NotifyPump(msg));
  EXPECT_EQ(calls, (std::vector<std::string>{"a-click", "any-click", "any-click", "b-killfocus"}));
  CNotifyPump page;
  EXPECT_TRUE(pump.AddVirtualWnd(u"Page", &page));
  EXPECT_FALSE(pump.AddVirtualWnd(u"Page", &page));
  EXPECT_FALSE(pump.AddVirtualWnd(u"", &page));
  msg.sVirtualWnd = u"Other";
  msg.sType = u"click";
  EXPECT_TRUE(pump.NotifyPump(msg));
  EXPECT_TRUE(pump.RemoveVirtualWnd(u"Page"));
  EXPECT_FALSE(pump.RemoveVirtualWnd(u"Page"));
}

TEST(ThemeTest, BrokenThemesAreReportedWithTheirLine) {
  struct Case {
    const char* xml;
    const char* says;
  };
  const Case cases[] = {
      {"<Theme><Font family=\"x\"/></Theme>", "Font without id"},
      {"<Theme><Color name=\"a\" value=\"blue\"/></Theme>", "Color needs"},
      {"<Theme><Default textcolor=\"#FF000000\"/></Theme>", "Default without class"},
      {"<Theme><Sparkle/></Theme>", "unknown element"},
      {"<Skin/>", "root element"},
      {"<Theme><Font id=\"a\"", "theme:"},
  };
  for (const auto& c : cases) {
    CTheme theme;
    kb::Status st = theme.Parse(c.xml);
    EXPECT_FALSE(st.ok()) << c.xml;
    EXPECT_NE(st.reason().find(c.says), std::string::npos) << st.reason();
  }
  CTheme good;
  ASSERT_TRUE(good.Parse("<Theme><Color name=\"a\" value=\"#80102030\"/></Theme>").ok());
  DWORD v = 0;
  EXPECT_TRUE(good.FindColor(u"a", v));
  EXPECT_EQ(v, 0x80102030u);
}

TEST(BuilderTest, ParentsReceiveEveryTopLevelControl) {
  CVerticalLayoutUI parent;
  CDialogBuilder builder;
  CControlUI* first = builder.CreateFromString(
      R"(<Window><Label name="one"/><Label name="two"/></Window>)", nullptr, nullptr, &parent);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(builder.GetLastStatus().ok());
  EXPECT_EQ(parent.GetCount(), 2);
  EXPECT_EQ(parent.GetItemAt(0), first);
  CDialogBuilder lone;
  CControlUI* only =
      lone.CreateFromString(R"(<Window><Label name="one"/><Label name="two"/></Window>)");
  ASSERT_NE(only, nullptr);
  EXPECT_FALSE(lone.GetLastStatus().ok());
  delete only;
  CDialogBuilder leaf;
  CControlUI* label = leaf.CreateFromString(R"(<Label><Button/></Label>)");
  ASSERT_NE(label, nullptr);
  EXPECT_NE(leaf.GetLastStatus().reason().find("cannot hold children"), std::string::npos);
  delete label;
}

TEST(BuilderTest, ANewRootReplacesTheOldNames) {
  CPaintManagerUI pm;
  pm.Init(nullptr);
  CDialogBuilder builder;
  pm.AttachDialog(builder.CreateFromString(
      R"(<VerticalLayout><Label name="same" text="old"/></VerticalLayout>)", nullptr, &pm));
  pm.AttachDialog(builder.CreateFromString(
      R"(<VerticalLayout><Label name="same" text="new"/></VerticalLayout>)", nullptr, &pm));
  ASSERT_NE(pm.FindControl(u"same"), nullptr);
  EXPECT_EQ(pm.FindControl(u"same")->GetText(), CDuiString(u"new"));
}

}  // namespace
