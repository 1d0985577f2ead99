// SPDX-License-Identifier: GPL-3.0-or-later
// Pages built in DoInit from their own layouts, and notifications routed to virtual windows.
#include <gtest/gtest.h>

#include "recording_window.h"
#include "ui/button.h"
#include "ui/container.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;

namespace {

class TestPage : public CContainerUI, public INotifyUI {
 public:
  CDuiString GetClass() const override { return u"TestPageUI"; }
  void DoInit() override {
    ++inits;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(u"page_fragment.xml", {}, nullptr, GetManager());
    if (!root) {
      RemoveAll();
      return;
    }
    Add(root);
    GetManager()->AddNotifier(this);
    button = GetManager()->FindControl(u"page_btn");
  }
  void Notify(TNotifyUI& msg) override {
    if (msg.sType == u"click" && msg.pSender == button) ++clicks;
  }
  int inits = 0;
  int clicks = 0;
  CControlUI* button = nullptr;
};

class PumpWindow : public kbtest::RecordingWindow {
 public:
  PumpWindow() : RecordingWindow(u"page_host.xml") {}
  void InitWindow() override {
    device_tabs.AddHandler(u"selectchanged", u"",
                           [this](TNotifyUI& msg) { routed.push_back(msg.pSender->GetName()); });
    AddVirtualWnd(u"KB_Page", &device_tabs);
  }
  void OnClick(TNotifyUI& msg) override { clicked.push_back(msg.pSender->GetName()); }
  CNotifyPump device_tabs;
  std::vector<CDuiString> routed;
  std::vector<CDuiString> clicked;
};

TEST(PageTest, APageBuildsItsLayoutInDoInitAndHearsItsControls) {
  kbtest::UseTestSkin();
  CControlFactory::GetInstance()->RegistControl(u"CTestPageUI", [] { return new TestPage; });
  PumpWindow w;
  ASSERT_TRUE(w.Open());
  ASSERT_TRUE(w.LayoutStatus().ok()) << w.LayoutStatus().reason();
  auto* page = dynamic_cast<TestPage*>(w.pm().FindControl(u"page"));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->inits, 1);
  ASSERT_NE(page->button, nullptr);
  EXPECT_NE(w.pm().FindControl(u"page_label"), nullptr);
  w.pm().UpdateLayout();
  EXPECT_EQ(page->button->GetPos(), (RECT{0, 60, 300, 100}));
  ASSERT_TRUE(Testing::Click(page->button));
  EXPECT_EQ(page->clicks, 1);
  EXPECT_EQ(w.clicked, (std::vector<CDuiString>{u"page_btn"}));
}

TEST(PageTest, VirtualWindowNotificationsGoToTheirPump) {
  kbtest::UseTestSkin();
  CControlFactory::GetInstance()->RegistControl(u"CTestPageUI", [] { return new TestPage; });
  PumpWindow w;
  ASSERT_TRUE(w.Open());
  ASSERT_TRUE(Testing::Click(w.pm(), u"option_kb_4"));
  ASSERT_TRUE(Testing::Click(w.pm(), u"outside"));
  EXPECT_EQ(w.routed, (std::vector<CDuiString>{u"option_kb_4"}));
  // The option's click went to the virtual window too, so only the outside button reached OnClick.
  EXPECT_EQ(w.clicked, (std::vector<CDuiString>{u"outside"}));
  EXPECT_EQ(w.last.sVirtualWnd, CDuiString());
  EXPECT_TRUE(w.RemoveVirtualWnd(u"KB_Page"));
  ASSERT_TRUE(Testing::Click(w.pm(), u"option_kb_3"));
  EXPECT_EQ(w.clicked, (std::vector<CDuiString>{u"outside", u"option_kb_3"}));
}

}  // namespace
