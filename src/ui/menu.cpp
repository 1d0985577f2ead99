// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "common/utf16_text.h"
#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/window_access.h"

namespace DuiLib {

using namespace internal;

CMenuElementUI::CMenuElementUI() {
  m_uTextStyle = kAlignLeft | kAlignVCenter | kEndEllipsis;
  m_rcTextPadding = {12, 0, 12, 0};
  m_dwHotBkColor = 0xFF3A8EE6;
  SetKeyboardEnabled(false);
}

void* CMenuElementUI::GetInterface(const CDuiString& name) {
  if (name == u"MenuElement") return this;
  return CButtonUI::GetInterface(name);
}

void CMenuElementUI::SetHot(bool hot) {
  const bool was = m_bHot;
  m_bHot = hot;
  Invalidate();
  // The keyboard's highlight is the menu's focus.
  if (hot && !was) AccessibleChanged(this, AccessibleChange::kFocus);
}

bool CMenuElementUI::Activate() {
  if (m_bLine) return false;
  return CButtonUI::Activate();
}

void CMenuElementUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (name == u"line") {
    m_bLine = ParseBool(value.view());
    if (m_bLine && GetFixedHeight() == 0) SetFixedHeight(7);
  } else if (name == u"submenu") {
    m_sSubmenu = value;
  } else if (name == u"checkable") {
    m_bCheckable = ParseBool(value.view());
  } else if (name == u"checked") {
    SetChecked(ParseBool(value.view()));
  } else {
    CButtonUI::SetAttribute(name, value);
  }
}

void CMenuElementUI::SetChecked(bool checked) {
  if (m_bChecked == checked) return;
  m_bChecked = checked;
  Invalidate();
}

void CMenuElementUI::DoPaint(CPaintContext& ctx, const RECT& dirty) {
  if (m_bLine) {
    int y = (m_rcItem.top + m_rcItem.bottom) / 2;
    DWORD c = m_dwBorderColor ? m_dwBorderColor : 0xFF505860;
    ctx.painter().fillRect(QRect(m_rcItem.left + 6, y, m_rcItem.Width() - 12, 1), ToQColor(c));
    return;
  }
  CButtonUI::DoPaint(ctx, dirty);
  if (!m_sSubmenu.IsEmpty()) {
    // A chevron in the item's right padding: this item opens a menu beside it.
    QPainter& p = ctx.painter();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ToQColor(CurrentTextColor()), 1.5));
    const double cx = m_rcItem.right - 9, cy = (m_rcItem.top + m_rcItem.bottom) / 2.0;
    p.drawLine(QPointF(cx - 2, cy - 4), QPointF(cx + 2, cy));
    p.drawLine(QPointF(cx + 2, cy), QPointF(cx - 2, cy + 4));
    p.restore();
  }
  if (m_bCheckable && m_bChecked) {
    // A check mark in the item's left padding, in the text's colour.
    QPainter& p = ctx.painter();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(ToQColor(m_dwTextColor), 2.0);
    p.setPen(pen);
    const double cx = m_rcItem.left + 12, cy = (m_rcItem.top + m_rcItem.bottom) / 2.0;
    p.drawLine(QPointF(cx - 4, cy), QPointF(cx - 1, cy + 3));
    p.drawLine(QPointF(cx - 1, cy + 3), QPointF(cx + 5, cy - 4));
    p.restore();
  }
}

void* CMenuUI::GetInterface(const CDuiString& name) {
  if (name == u"Menu") return this;
  return CVerticalLayoutUI::GetInterface(name);
}

void CMenuUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (name == u"itemheight")
    m_nItemHeight = std::max(1, ParseSize(value.view()).cx);
  else
    CVerticalLayoutUI::SetAttribute(name, value);
}

bool CMenuUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CMenuUI::AddAt(CControlUI* control, int index) {
  if (control && control->GetFixedHeight() == 0) control->SetFixedHeight(m_nItemHeight);
  return CVerticalLayoutUI::AddAt(control, index);
}

SIZE CMenuUI::EstimateSize(SIZE) {
  int width = GetFixedWidth();
  int height = m_rcInset.top + m_rcInset.bottom;
  int widest = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* c = GetItemAt(i);
    if (!c->IsOwnVisible()) continue;
    height += c->GetFixedHeight() > 0 ? c->GetFixedHeight() : m_nItemHeight;
    if (auto* e = dynamic_cast<CMenuElementUI*>(c)) {
      // Fractional metrics, rounded up, and room for the item's border: the integer advance can
      // fall a pixel short of what the painter needs, which elides the longest item.
      QFontMetricsF fm(ResolveFont(m_pManager, e->GetFont()));
      RECT pad = e->GetTextPadding();
      const int text =
          static_cast<int>(std::ceil(fm.horizontalAdvance(ToQString(e->GetShownText()))));
      widest =
          std::max(widest, text + pad.left + pad.right + 2 * std::max(1, e->GetBorderSize()) + 2);
    }
  }
  if (width == 0) width = std::max(120, widest + m_rcInset.left + m_rcInset.right);
  return SIZE{width, std::max(height, 4)};
}

CMenuWnd* CMenuWnd::CreateMenu(const CDuiString& xml, POINT point, CPaintManagerUI* main_manager,
                               DWORD alignment) {
  auto* menu = new CMenuWnd;
  return menu->Init(xml, point, main_manager, alignment) ? menu : nullptr;
}

CControlUI* CMenuWnd::CreateControl(const CDuiString& element_class) {
  if (element_class == u"Menu") return new CMenuUI;
  if (element_class == u"MenuElement") return new CMenuElementUI;
  return nullptr;
}

bool CMenuWnd::Init(const CDuiString& xml, POINT point, CPaintManagerUI* main_manager,
                    DWORD alignment) {
  return InitWithMain(xml, point, main_manager ? main_manager->GetPaintWindow() : nullptr,
                      alignment);
}

bool CMenuWnd::InitWithMain(const CDuiString& xml, POINT point, HWND main, DWORD alignment) {
  m_sXml = xml;
  m_hMain = main;
  m_ptAt = point;
  m_dwAlignment = alignment;
  Create(m_hMain, u"", WS_POPUP, WS_EX_TOOLWINDOW, point.x, point.y, 10, 10);
  if (!IsLayoutBuilt() || !dynamic_cast<CMenuUI*>(m_pm.GetRoot())) {
    // Nothing to show: go away as a closed menu does (OnFinalMessage deletes the object).
    DestroyWindow();
    return false;
  }
  ResizeMenu();
  ShowWindow(true);
  return true;
}

void CMenuWnd::ResizeMenu() {
  auto* root = dynamic_cast<CMenuUI*>(m_pm.GetRoot());
  if (!root) return;
  SIZE sz = root->EstimateSize({0, 0});
  int x = m_ptAt.x, y = m_ptAt.y;
  if (m_dwAlignment & eMenuAlignment_Right) x -= sz.cx;
  if (m_dwAlignment & eMenuAlignment_Bottom) y -= sz.cy;
  RECT screen = GetWorkArea();
  if (!screen.IsEmpty() && m_flipRight && x + sz.cx > screen.right) x = *m_flipRight - sz.cx;
  if (!screen.IsEmpty()) {
    x = std::clamp(x, screen.left, std::max(screen.left, screen.right - sz.cx));
    y = std::clamp(y, screen.top, std::max(screen.top, screen.bottom - sz.cy));
  }
  ResizeClient(sz.cx, sz.cy);
  MoveWindow(x, y);
}

CMenuElementUI* CMenuWnd::FindItem(const CDuiString& name) {
  return dynamic_cast<CMenuElementUI*>(m_pm.FindControl(name));
}

std::vector<CMenuElementUI*> CMenuWnd::Items() {
  std::vector<CMenuElementUI*> items;
  if (auto* root = dynamic_cast<CMenuUI*>(m_pm.GetRoot()))
    for (int i = 0; i < root->GetCount(); ++i)
      if (auto* e = dynamic_cast<CMenuElementUI*>(root->GetItemAt(i))) items.push_back(e);
  return items;
}

CMenuWnd* CMenuWnd::GetOpenSubmenu() const {
  return dynamic_cast<CMenuWnd*>(CWindowWnd::FromHandle(m_hSubmenu));
}

CMenuWnd* CMenuWnd::OpenSubmenu(CMenuElementUI* item) {
  if (item == nullptr || item->GetSubmenu().IsEmpty() || item->GetManager() != &m_pm)
    return nullptr;
  if (CMenuWnd* open = GetOpenSubmenu()) open->Close(0);
  m_hSubmenu = nullptr;
  const RECT frame = GetWindowRect();
  const RECT at = item->GetPos();
  auto* submenu = new CMenuWnd;
  submenu->m_hParentMenu = GetHWND();
  submenu->m_flipRight = frame.left + at.left;
  // Beside the item, its first entry level with it.
  const POINT point{frame.left + at.right, frame.top + at.top};
  if (!submenu->InitWithMain(item->GetSubmenu(), point, m_hMain)) return nullptr;
  m_hSubmenu = submenu->GetHWND();
  return submenu;
}

CMenuWnd* CMenuWnd::GetTopMenuForTesting() {
  auto windows = GetOpenWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (auto* m = dynamic_cast<CMenuWnd*>(*it); m && m->IsWindow()) return m;
  return nullptr;
}

void CMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != DUI_MSGTYPE_CLICK || m_bChosen) return;
  auto* item = dynamic_cast<CMenuElementUI*>(msg.pSender);
  if (!item) return;
  if (!item->GetSubmenu().IsEmpty()) {
    OpenSubmenu(item);
    return;
  }
  m_bChosen = true;
  auto* cmd = new MenuCmd;
  kb::StoreFieldText(cmd->szName, item->GetName().view());
  kb::StoreFieldText(cmd->szText, item->GetShownText().view());
  kb::StoreFieldText(cmd->szUserData, item->GetUserData().view());
  // Undelivered (the main window is gone): the record is freed with the dropped message.
  PostWithRelease(m_hMain, WM_MENUCLICK, reinterpret_cast<WPARAM>(cmd), 0, [cmd] { delete cmd; });
  // The whole chain closes: this menu and the menus it is a submenu of.
  for (HWND parent = m_hParentMenu; auto* menu = dynamic_cast<CMenuWnd*>(FromHandle(parent));
       parent = menu->m_hParentMenu) {
    menu->m_bChosen = true;
    menu->Close(1);
  }
  Close(1);
}

bool CMenuWnd::ResponseDefaultKeyEvent(WPARAM wParam) {
  if (wParam == VK_ESCAPE) {
    Close(0);
    return true;
  }
  // Left goes back from a submenu to the menu that opened it.
  if (wParam == VK_LEFT && m_hParentMenu != nullptr) {
    Close(0);
    return true;
  }
  auto* root = dynamic_cast<CMenuUI*>(m_pm.GetRoot());
  // Space chooses as Enter does: the key that opened the menu from the keyboard also picks in it.
  const bool choose = wParam == VK_RETURN || wParam == VK_SPACE;
  if (!root || (wParam != VK_UP && wParam != VK_DOWN && wParam != VK_RIGHT && !choose))
    return false;
  std::vector<CMenuElementUI*> items;
  int hot = -1;
  for (int i = 0; i < root->GetCount(); ++i) {
    auto* e = dynamic_cast<CMenuElementUI*>(root->GetItemAt(i));
    if (!e || e->IsSeparator() || !e->IsVisible() || !e->IsEnabled()) continue;
    if (e->IsHot()) hot = static_cast<int>(items.size());
    items.push_back(e);
  }
  if (items.empty()) return true;
  if (choose || wParam == VK_RIGHT) {
    if (hot < 0) return true;
    CMenuElementUI* item = items[static_cast<std::size_t>(hot)];
    if (item->GetSubmenu().IsEmpty()) {
      if (choose) item->Activate();
    } else if (CMenuWnd* submenu = OpenSubmenu(item)) {
      // From the keyboard the submenu starts on its first item.
      submenu->ResponseDefaultKeyEvent(VK_DOWN);
    }
    return true;
  }
  int n = static_cast<int>(items.size());
  int next =
      hot < 0 ? (wParam == VK_DOWN ? 0 : n - 1) : (hot + (wParam == VK_DOWN ? 1 : n - 1)) % n;
  for (auto* e : items) e->SetHot(false);
  items[static_cast<std::size_t>(next)]->SetHot(true);
  return true;
}

void CMenuWnd::OnFinalMessage(HWND) {
  if (CMenuWnd* submenu = GetOpenSubmenu()) submenu->Close(0);
  delete this;
}

}  // namespace DuiLib
