// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ui/button.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/ui_test_driver.h"
#include "ui/window_impl_base.h"
#include "ui_test_env.h"

using namespace DuiLib;

namespace {

class Dialog : public WindowImplBase {
 public:
  CDuiString GetWindowClassName() const override { return u"TestDialog"; }
  CDuiString GetSkinFile() override { return u"dialog.xml"; }
  void InitWindow() override { inited = m_pm.FindControl(u"btn_ok") != nullptr; }
  void OnClick(TNotifyUI& msg) override {
    clicks.push_back(msg.pSender->GetName());
    if (msg.pSender->GetName() == u"btn_ok") Close(1);
    if (msg.pSender->GetName() == u"btn_cancel") Close(0);
  }
  void Notify(TNotifyUI& msg) override {
    events.push_back(msg.sType + u":" + (msg.pSender ? msg.pSender->GetName() : CDuiString()));
    WindowImplBase::Notify(msg);
  }
  CPaintManagerUI& pm() { return m_pm; }
  bool inited = false;
  std::vector<CDuiString> clicks;
  std::vector<CDuiString> events;
};

TEST(WindowTest, LayoutIsBuiltAndControlsAreFoundByName) {
  kbtest::UseTestSkin();
  Dialog d;
  ASSERT_NE(d.Create(nullptr, u"TestDialog", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW, 0, 0, 800, 800),
            nullptr);
  EXPECT_TRUE(d.IsLayoutBuilt()) << d.LayoutStatus().reason();
  EXPECT_TRUE(d.inited);
  EXPECT_EQ(d.GetClientSize().cx, 300);
  EXPECT_EQ(d.GetClientSize().cy, 200);
  EXPECT_EQ(d.pm().FindControl(u"missing"), nullptr);
  auto* title = static_cast<CLabelUI*>(d.pm().FindControl(u"title"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->GetText(), CDuiString(u"warning_1_text"));
  EXPECT_EQ(title->GetShownText(), CDuiString(u"Warning"));
  d.pm().UpdateLayout();
  EXPECT_EQ(d.pm().FindControl(u"btn_exit")->GetPos(), (RECT{270, 0, 300, 30}));
  d.Close(0);
  Testing::ProcessEvents();
  EXPECT_FALSE(d.IsWindow());
}

TEST(WindowTest, ShowModalReturnsTheCloseCode) {
  kbtest::UseTestSkin();
  for (UINT expected : {1u, 0u}) {
    Dialog d;
    d.Create(nullptr, u"TestDialog", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW);
    CWindowWnd::SetModalHookForTesting([expected](CWindowWnd& w) {
      auto* pm = w.GetPaintManager();
      ASSERT_TRUE(Testing::Click(*pm, expected == 1 ? u"btn_ok" : u"btn_cancel"));
    });
    EXPECT_EQ(d.ShowModal(), expected);
    CWindowWnd::SetModalHookForTesting(nullptr);
    EXPECT_FALSE(d.IsWindow());
  }
}

TEST(WindowTest, ClickTakesFocusFirst) {
  kbtest::UseTestSkin();
  Dialog d;
  d.Create(nullptr, u"TestDialog", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW);
  auto* edit = static_cast<CEditUI*>(d.pm().FindControl(u"edit_name"));
  ASSERT_TRUE(Testing::TypeText(edit, u"ab1"));
  EXPECT_EQ(edit->GetText(), CDuiString(u"ab1"));
  d.events.clear();
  ASSERT_TRUE(Testing::Click(d.pm(), u"btn_exit"));
  std::vector<CDuiString> want{u"killfocus:edit_name", u"setfocus:btn_exit", u"click:btn_exit"};
  std::vector<CDuiString> got;
  for (auto& e : d.events)
    if (e.Find(u"mouse") != 0) got.push_back(e);
  EXPECT_EQ(got, want);
}

}  // namespace
