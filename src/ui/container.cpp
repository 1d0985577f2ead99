// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/container.h"

#include <algorithm>

#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"

namespace DuiLib {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children first, while this container is still whole for their bookkeeping.
  std::vector<CControlUI*> items;
  items.swap(m_items);
  for (CControlUI* c : items) delete c;
}

void* CContainerUI::GetInterface(const CDuiString& name) {
  if (name == u"Container") return this;
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
  return m_items[static_cast<std::size_t>(index)];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto it = std::find(m_items.begin(), m_items.end(), control);
  return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  int old = GetItemIndex(control);
  if (old < 0 || index < 0 || index >= GetCount()) return false;
  m_items.erase(m_items.begin() + old);
  m_items.insert(m_items.begin() + index, control);
  NeedUpdate();
  return true;
}

int CContainerUI::GetCount() const { return static_cast<int>(m_items.size()); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > GetCount()) return false;
  m_items.insert(m_items.begin() + index, control);
  control->SetInternVisible(IsVisible());
  if (m_pManager)
    m_pManager->InitControls(control, this);
  else
    control->SetManager(nullptr, this, false);
  NeedUpdate();
  internal::AccessibleChanged(control, internal::AccessibleChange::kAdded);
  return true;
}

void CContainerUI::DetachItem(CControlUI* control, bool destroy) {
  CPaintManagerUI* pm = m_pManager;
  control->SetManager(nullptr, nullptr, false);
  if (!destroy) return;
  if (pm)
    pm->DeleteWhenIdle(control);
  else
    delete control;
}

bool CContainerUI::Remove(CControlUI* control, bool do_not_destroy) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  return CContainerUI::RemoveAt(index, do_not_destroy);
}

bool CContainerUI::RemoveAt(int index, bool do_not_destroy) {
  CControlUI* c = GetItemAt(index);
  if (!c) return false;
  // Announced while the item is still in place, so readers learn where it was.
  internal::AccessibleChanged(c, internal::AccessibleChange::kRemoved);
  m_items.erase(m_items.begin() + index);
  DetachItem(c, !do_not_destroy);
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  for (CControlUI* c : m_items)
    internal::AccessibleChanged(c, internal::AccessibleChange::kRemoved);
  std::vector<CControlUI*> items;
  items.swap(m_items);
  for (CControlUI* c : items) DetachItem(c, true);
  NeedUpdate();
}

CControlUI* CContainerUI::FindSubControl(const CDuiString& name) const {
  for (CControlUI* c : m_items) {
    if (c->GetName() == name) return c;
    if (auto* sub = dynamic_cast<CContainerUI*>(c)) {
      if (CControlUI* found = sub->FindSubControl(name)) return found;
    }
  }
  return nullptr;
}

void CContainerUI::SetInset(RECT rc) {
  m_rcInset = rc;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  m_iChildPadding = padding;
  NeedUpdate();
}

RECT CContainerUI::InnerRect() const {
  RECT r = m_rcItem;
  r.left += m_rcInset.left;
  r.top += m_rcInset.top;
  r.right -= m_rcInset.right;
  r.bottom -= m_rcInset.bottom;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

void CContainerUI::SetFloatPos(int index) {
  CControlUI* c = GetItemAt(index);
  if (!c) return;
  SIZE xy = c->GetFixedXY();
  SIZE sz = c->EstimateSize({m_rcItem.Width(), m_rcItem.Height()});
  RECT r;
  r.left = m_rcItem.left + xy.cx;
  r.top = m_rcItem.top + xy.cy;
  r.right = sz.cx > 0 ? r.left + sz.cx : m_rcItem.right;
  r.bottom = sz.cy > 0 ? r.top + sz.cy : m_rcItem.bottom;
  c->SetPos(r);
}

void CContainerUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  RECT inner = InnerRect();
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* c = m_items[static_cast<std::size_t>(i)];
    if (!c->IsOwnVisible()) continue;
    if (c->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    RECT pad = c->GetPadding();
    RECT r{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
           inner.bottom - pad.bottom};
    SIZE sz = c->EstimateSize({r.Width(), r.Height()});
    if (sz.cx > 0) r.right = std::min(r.right, r.left + std::max(sz.cx, c->GetMinWidth()));
    if (sz.cy > 0) r.bottom = std::min(r.bottom, r.top + std::max(sz.cy, c->GetMinHeight()));
    c->SetPos(r);
  }
}

void CContainerUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  CControlUI::SetVisible(visible);
  for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CControlUI::SetManager(manager, parent, init);
  for (CControlUI* c : m_items) c->SetManager(manager, this, init);
}

CControlUI* CContainerUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !m_rcItem.Contains(pt)) return nullptr;
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
    if (CControlUI* hit = (*it)->FindControlAt(pt)) return hit;
  return m_bMouseEnabled ? this : nullptr;
}

void CContainerUI::ForEach(void (*fn)(CControlUI*, void*), void* data) {
  fn(this, data);
  // By index: DoInit of an item may add items to this container.
  for (std::size_t i = 0; i < m_items.size(); ++i) m_items[i]->ForEach(fn, data);
}

void CContainerUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (name == u"inset")
    SetInset(ParseRect(value.view()));
  else if (name == u"childpadding")
    SetChildPadding(ParseSize(value.view()).cx);
  else if (name == u"focusgroup")
    SetFocusGroup(ParseBool(value.view()));
  else
    CControlUI::SetAttribute(name, value);
}

void CContainerUI::DoPaint(CPaintContext& ctx, const RECT& dirty) {
  CControlUI::DoPaint(ctx, dirty);
  PaintItems(ctx, dirty);
}

void CContainerUI::PaintItems(CPaintContext& ctx, const RECT& dirty) {
  QPainter& p = ctx.painter();
  p.save();
  p.setClipRect(internal::ToQRect(m_rcItem), Qt::IntersectClip);
  for (CControlUI* c : m_items) {
    if (!c->IsVisible()) continue;
    const RECT& r = c->GetPos();
    if (r.right <= dirty.left || r.left >= dirty.right || r.bottom <= dirty.top ||
        r.top >= dirty.bottom)
      continue;
    c->DoPaint(ctx, dirty);
  }
  p.restore();
}

void CContainerUI::StackItems(RECT rc, bool vertical) {
  // One routine for both directions: "main" is the direction the children stack in, "cross"
  // the other one. Fixed sizes are kept, the rest of the room is shared by the children
  // without a size, the last of them taking the pixels that do not divide evenly.
  CControlUI::SetPos(rc);
  const RECT inner = InnerRect();
  const SIZE avail{inner.Width(), inner.Height()};
  auto main_of = [vertical](SIZE s) { return vertical ? s.cy : s.cx; };
  auto cross_of = [vertical](SIZE s) { return vertical ? s.cx : s.cy; };
  auto min_main = [vertical](const CControlUI* c) {
    return vertical ? c->GetMinHeight() : c->GetMinWidth();
  };
  auto min_cross = [vertical](const CControlUI* c) {
    return vertical ? c->GetMinWidth() : c->GetMinHeight();
  };
  auto before = [vertical](RECT p) { return vertical ? p.top : p.left; };
  auto after = [vertical](RECT p) { return vertical ? p.bottom : p.right; };
  auto cross_before = [vertical](RECT p) { return vertical ? p.left : p.top; };
  auto cross_after = [vertical](RECT p) { return vertical ? p.right : p.bottom; };

  int adjustables = 0;
  int fixed = 0;
  int count = 0;
  for (CControlUI* c : m_items) {
    if (!c->IsOwnVisible() || c->IsFloat()) continue;
    const SIZE sz = c->EstimateSize(avail);
    if (main_of(sz) == 0)
      ++adjustables;
    else
      fixed += std::max(main_of(sz), min_main(c));
    const RECT pad = c->GetPadding();
    fixed += before(pad) + after(pad);
    ++count;
  }
  if (count > 1) fixed += (count - 1) * m_iChildPadding;
  const int room = std::max(0, main_of(avail) - fixed);
  const int expand = adjustables ? room / adjustables : 0;
  const int rest = adjustables ? room - expand * adjustables : 0;
  int at = vertical ? inner.top : inner.left;
  const int cross_start = vertical ? inner.left : inner.top;
  int seen_adjustable = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* c = m_items[static_cast<std::size_t>(i)];
    if (!c->IsOwnVisible()) continue;
    if (c->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const RECT pad = c->GetPadding();
    const SIZE sz = c->EstimateSize(avail);
    int length = main_of(sz);
    if (length == 0) {
      length = expand;
      if (++seen_adjustable == adjustables) length += rest;
    }
    length = std::max(length, min_main(c));
    const int breadth =
        std::max(0, cross_of(sz) > 0 ? std::max(cross_of(sz), min_cross(c))
                                     : cross_of(avail) - cross_before(pad) - cross_after(pad));
    at += before(pad);
    const int cross_at = cross_start + cross_before(pad);
    c->SetPos(vertical ? RECT{cross_at, at, cross_at + breadth, at + length}
                       : RECT{at, cross_at, at + length, cross_at + breadth});
    at += length + after(pad) + m_iChildPadding;
  }
}

void* CVerticalLayoutUI::GetInterface(const CDuiString& name) {
  if (name == u"VerticalLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(RECT rc) { StackItems(rc, true); }

void* CHorizontalLayoutUI::GetInterface(const CDuiString& name) {
  if (name == u"HorizontalLayout") return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(RECT rc) { StackItems(rc, false); }

void* CTabLayoutUI::GetInterface(const CDuiString& name) {
  if (name == u"TabLayout") return this;
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (m_iCurSel < 0)
    m_iCurSel = index;
  else {
    if (index <= m_iCurSel) ++m_iCurSel;
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool do_not_destroy) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  if (!CContainerUI::RemoveAt(index, do_not_destroy)) return false;
  if (GetCount() == 0)
    m_iCurSel = -1;
  else if (index < m_iCurSel)
    --m_iCurSel;
  else if (index == m_iCurSel) {
    m_iCurSel = -1;
    SelectItem(std::min(index, GetCount() - 1));
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  m_iCurSel = -1;
  CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  m_iCurSel = index;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
  if (m_pManager) {
    // A hidden page must not keep the focus.
    CControlUI* f = m_pManager->GetFocus();
    if (f && !f->IsVisible()) m_pManager->SetFocus(nullptr);
  }
  NeedUpdate();
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }

void CTabLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  RECT inner = InnerRect();
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* c = GetItemAt(i);
    if (!c->IsOwnVisible()) continue;
    if (c->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    RECT pad = c->GetPadding();
    RECT r{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
           inner.bottom - pad.bottom};
    SIZE sz = c->EstimateSize({r.Width(), r.Height()});
    if (sz.cx > 0) r.right = std::min(r.right, r.left + sz.cx);
    if (sz.cy > 0) r.bottom = std::min(r.bottom, r.top + sz.cy);
    c->SetPos(r);
  }
}

void CTabLayoutUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (name == u"selectedid")
    m_iInitSel = ParseSize(value.view()).cx;
  else
    CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::DoInit() {
  if (m_iInitSel >= 0 && m_iInitSel < GetCount()) SelectItem(m_iInitSel);
}

}  // namespace DuiLib
