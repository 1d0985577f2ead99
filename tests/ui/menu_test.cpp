#include <gtest/gtest.h>

#include "recording_window.h"
#include "ui/menu.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;

namespace {

std::vector<MenuCmd*> MenuCommands(kbtest::RecordingWindow& w) {
  std::vector<MenuCmd*> out;
  for (const auto& m : w.messages)
    if (m.msg == WM_MENUCLICK) out.push_back(reinterpret_cast<MenuCmd*>(m.w));
  return out;
}

TEST(MenuTest, TheChosenItemReachesTheWindowAs1027WithItsName) {
  kbtest::RecordingWindow main(u"dialog.xml");
  ASSERT_TRUE(main.Open());
  EXPECT_EQ(WM_MENUCLICK, 1027u);
  CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu.xml", {100, 100}, &main.pm());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), menu);
  ASSERT_NE(menu->FindItem(u"kb_3_profile_add"), nullptr);
  EXPECT_EQ(menu->FindItem(u"kb_3_profile_add")->GetShownText(), CDuiString(u"Add"));
  ASSERT_TRUE(Testing::ClickMenuItem(u"kb_3_profile_del"));
  Testing::ProcessEvents();
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
  auto cmds = MenuCommands(main);
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(CDuiString(cmds[0]->szName), CDuiString(u"kb_3_profile_del"));
  EXPECT_EQ(CDuiString(cmds[0]->szText), CDuiString(u"Delete"));
  CPaintManagerUI::DeletePtr(cmds[0]);
}

TEST(MenuTest, MenusOpenAtTheirPointAndFitTheirItems) {
  kbtest::RecordingWindow main(u"dialog.xml");
  ASSERT_TRUE(main.Open());
  struct Case {
    DWORD alignment;
    RECT want;
  };
  // 150 wide; two items of 24 and a separator of 7.
  const Case cases[] = {
      {eMenuAlignment_Left | eMenuAlignment_Top, {200, 150, 350, 205}},
      {eMenuAlignment_Right | eMenuAlignment_Bottom, {50, 95, 200, 150}},
      {eMenuAlignment_Right | eMenuAlignment_Top, {50, 150, 200, 205}},
  };
  for (const auto& c : cases) {
    CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu.xml", {200, 150}, &main.pm(), c.alignment);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetWindowRect(), c.want) << c.alignment;
    menu->Close();
    Testing::ProcessEvents();
  }
  EXPECT_TRUE(MenuCommands(main).empty());
}

TEST(MenuTest, EscapeAndSeparatorsChooseNothing) {
  kbtest::RecordingWindow main(u"dialog.xml");
  ASSERT_TRUE(main.Open());
  CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu.xml", {10, 10}, &main.pm());
  ASSERT_NE(menu, nullptr);
  HWND h = menu->GetHWND();
  main.pm().UpdateLayout();
  // The separator sits between the two items.
  Testing::ClickAt(*menu->GetPaintManager(), POINT{75, 27});
  Testing::ProcessEvents();
  ASSERT_TRUE(IsWindow(h));
  Testing::PressKey(*menu->GetPaintManager(), VK_ESCAPE);
  Testing::ProcessEvents();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(MenuCommands(main).empty());
}

TEST(MenuTest, AMenuThatCannotBeBuiltShowsNothing) {
  kbtest::RecordingWindow main(u"dialog.xml");
  ASSERT_TRUE(main.Open());
  EXPECT_EQ(CMenuWnd::CreateMenu(u"no_such_menu.xml", {0, 0}, &main.pm()), nullptr);
  EXPECT_EQ(CMenuWnd::CreateMenu(u"dialog.xml", {0, 0}, &main.pm()), nullptr);
  Testing::ProcessEvents();
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
}

TEST(MenuTest, AChoiceForAWindowThatIsGoneIsReleased) {
  HWND main_handle;
  {
    kbtest::RecordingWindow main(u"dialog.xml");
    ASSERT_TRUE(main.Open());
    main_handle = main.GetHWND();
    ASSERT_NE(CMenuWnd::CreateMenu(u"menu.xml", {0, 0}, &main.pm()), nullptr);
  }
  ASSERT_TRUE(Testing::ClickMenuItem(u"kb_3_profile_add"));
  Testing::ProcessEvents();
  EXPECT_FALSE(IsWindow(main_handle));
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
}

TEST(MenuTest, KeysMoveTheHighlightAndEnterChooses) {
  kbtest::RecordingWindow main(u"dialog.xml");
  ASSERT_TRUE(main.Open());
  CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu.xml", {0, 0}, &main.pm());
  ASSERT_NE(menu, nullptr);
  CPaintManagerUI& pm = *menu->GetPaintManager();
  Testing::PressKey(pm, VK_DOWN);
  EXPECT_TRUE(menu->FindItem(u"kb_3_profile_add")->IsHot());
  Testing::PressKey(pm, VK_DOWN);
  EXPECT_FALSE(menu->FindItem(u"kb_3_profile_add")->IsHot());
  EXPECT_TRUE(menu->FindItem(u"kb_3_profile_del")->IsHot());
  Testing::PressKey(pm, VK_DOWN);
  EXPECT_TRUE(menu->FindItem(u"kb_3_profile_add")->IsHot());
  Testing::PressKey(pm, VK_RETURN);
  Testing::ProcessEvents();
  auto cmds = MenuCommands(main);
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(CDuiString(cmds[0]->szName), CDuiString(u"kb_3_profile_add"));
  CPaintManagerUI::DeletePtr(cmds[0]);
}

}  // namespace
