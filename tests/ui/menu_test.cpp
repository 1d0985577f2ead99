// SPDX-License-Identifier: GPL-3.0-or-later
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

// A submenu opens beside its item, by a click or from the keyboard; its item reaches the main
// window like any other and closes the whole chain; Escape or Left closes the submenu only.
TEST(MenuTest, ASubmenuOpensBesideItsItemAndItsChoiceClosesTheChain) {
  kbtest::RecordingWindow main(u"dialog.xml");
  ASSERT_TRUE(main.Open());
  CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu_parent.xml", {100, 100}, &main.pm());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(Testing::Click(menu->FindItem(u"more")));
  Testing::ProcessEvents();
  CMenuWnd* submenu = menu->GetOpenSubmenu();
  ASSERT_NE(submenu, nullptr);
  EXPECT_TRUE(MenuCommands(main).empty());  // the opener is no choice
  const RECT item = menu->FindItem(u"more")->GetPos();
  EXPECT_EQ(submenu->GetWindowRect().left, menu->GetWindowRect().left + item.right);
  EXPECT_EQ(submenu->GetWindowRect().top, menu->GetWindowRect().top + item.top);
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), submenu);
  // Left goes back to the first menu, which stays open.
  Testing::PressKey(*submenu->GetPaintManager(), VK_LEFT);
  Testing::ProcessEvents();
  EXPECT_EQ(menu->GetOpenSubmenu(), nullptr);
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), menu);
  // From the keyboard: down to the item, Right opens the submenu on its first item.
  CPaintManagerUI& pm = *menu->GetPaintManager();
  Testing::PressKey(pm, VK_DOWN);
  Testing::PressKey(pm, VK_DOWN);
  Testing::PressKey(pm, VK_RIGHT);
  submenu = menu->GetOpenSubmenu();
  ASSERT_NE(submenu, nullptr);
  EXPECT_TRUE(submenu->FindItem(u"kb_3_profile_add")->IsHot());
  Testing::PressKey(*submenu->GetPaintManager(), VK_ESCAPE);
  Testing::ProcessEvents();
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), menu);
  // A choice in the submenu: one command, both menus gone.
  ASSERT_TRUE(Testing::ClickMenuItem(u"kb_3_profile_del"));
  Testing::ProcessEvents();
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
  auto cmds = MenuCommands(main);
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(CDuiString(cmds[0]->szName), CDuiString(u"kb_3_profile_del"));
  CPaintManagerUI::DeletePtr(cmds[0]);
  // Closing a menu closes its open submenu.
  menu = CMenuWnd::CreateMenu(u"menu_parent.xml", {100, 100}, &main.pm());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(Testing::Click(menu->FindItem(u"more")));
  ASSERT_NE(menu->GetOpenSubmenu(), nullptr);
  menu->Close();
  Testing::ProcessEvents();
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
}

}  // namespace
