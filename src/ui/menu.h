// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CMenuWnd: a popup menu built from a layout with a Menu root. Choosing an item posts
// WM_MENUCLICK (1027) to the window of the main paint manager with a MenuCmd* in wParam (the
// receiver releases it with CPaintManagerUI::DeletePtr) and closes the menu. The menu closes
// itself on Escape and on a click elsewhere, and deletes itself when closed: keep its HWND (not
// the pointer) to close it later, e.g. `if (auto* m = CWindowWnd::FromHandle(h)) m->Close();`.
//
// An item with `submenu="file.xml"` opens that menu beside itself (click, Enter or Right) instead
// of being chosen, so that a long menu stays short enough for a small or scaled screen. An item
// chosen in a submenu reaches the main window like any other and closes the whole chain; Escape
// or Left closes only the submenu; closing a menu closes its open submenu.

#include <optional>
#include <vector>

#include "ui/button.h"
#include "ui/container.h"
#include "ui/window_impl_base.h"

namespace DuiLib {

class CMenuElementUI : public CButtonUI {
 public:
  CMenuElementUI();
  CDuiString GetClass() const override { return u"MenuElementUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool IsSeparator() const { return m_bLine; }
  // A check item ("checkable" in the layout) shows a check mark while checked; the program sets
  // the state each time it opens the menu.
  bool IsCheckable() const { return m_bCheckable; }
  // The layout of the menu this item opens, or empty.
  const CDuiString& GetSubmenu() const { return m_sSubmenu; }
  bool IsChecked() const { return m_bChecked; }
  void SetChecked(bool checked);
  void SetHot(bool hot);
  bool Activate() override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  void DoPaint(CPaintContext& ctx, const RECT& dirty) override;
  CDuiString m_sSubmenu;
  bool m_bLine = false;
  bool m_bCheckable = false;
  bool m_bChecked = false;
};

// The root of a menu layout: items one below the other.
class CMenuUI : public CVerticalLayoutUI {
 public:
  CDuiString GetClass() const override { return u"MenuUI"; }
  void* GetInterface(const CDuiString& name) override;
  int GetItemHeight() const { return m_nItemHeight; }
  SIZE EstimateSize(SIZE available) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;

 private:
  int m_nItemHeight = 26;
};

class CMenuWnd : public WindowImplBase {
 public:
  // Builds and shows a menu; null (and nothing shown) when the layout cannot be built.
  static CMenuWnd* CreateMenu(const CDuiString& xml, POINT point, CPaintManagerUI* main_manager,
                              DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);
  CMenuWnd() = default;
  // Shows the menu from `xml` so that the corner named by `alignment` sits at `point` (screen
  // coordinates), kept on the screen. Use on a heap object: the menu deletes itself when it
  // closes, also when Init fails (then it returns false).
  bool Init(const CDuiString& xml, POINT point, CPaintManagerUI* main_manager,
            DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);
  // Fits the window to the menu's items.
  void ResizeMenu();
  CDuiString GetWindowClassName() const override { return u"MenuWnd"; }
  // An item by name (for tests and for changing texts before the menu is used).
  CMenuElementUI* FindItem(const CDuiString& name);
  // The items, separators included, top to bottom.
  std::vector<CMenuElementUI*> Items();
  // Opens the submenu of `item` beside it (closing another open one); null when the item has
  // none or it cannot be built.
  CMenuWnd* OpenSubmenu(CMenuElementUI* item);
  // The open submenu, or null.
  CMenuWnd* GetOpenSubmenu() const;
  // The newest open menu, or null (tests).
  static CMenuWnd* GetTopMenuForTesting();

  void Notify(TNotifyUI& msg) override;
  // Escape closes the menu; Up and Down move the highlight, Enter chooses the highlighted item.
  bool ResponseDefaultKeyEvent(WPARAM wParam) override;

 protected:
  CDuiString GetSkinFile() override { return m_sXml; }
  bool IsPopupWindow() const override { return true; }
  void OnFinalMessage(HWND hwnd) override;
  CControlUI* CreateControl(const CDuiString& element_class) override;

 private:
  bool InitWithMain(const CDuiString& xml, POINT point, HWND main,
                    DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top);
  CDuiString m_sXml;
  HWND m_hMain = nullptr;
  HWND m_hParentMenu = nullptr;  // the menu this one is a submenu of
  HWND m_hSubmenu = nullptr;     // the submenu open beside one of this menu's items
  // A submenu goes to the left of its item (its right edge at this x) when the screen has no
  // room on the right.
  std::optional<int> m_flipRight;
  POINT m_ptAt;
  DWORD m_dwAlignment = 0;
  bool m_bChosen = false;
};

}  // namespace DuiLib
