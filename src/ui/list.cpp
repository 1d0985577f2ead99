// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/list.h"

#include <algorithm>

#include "ui/internal/accessibility.h"
#include "ui/internal/owned_items.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"

namespace DuiLib {

using namespace internal;

bool TListInfoUI::SetAttribute(const CDuiString& name, const CDuiString& value,
                               const CPaintManagerUI* pm) {
  const std::u16string_view n = name.view();
  const std::u16string_view v = value.view();
  if (n.substr(0, 4) != u"item") return false;
  DWORD c = 0;
  if (n == u"itemfont")
    font = value;
  else if (n == u"itemtextcolor") {
    if (ParseColor(v, c, pm)) textcolor = c;
  } else if (n == u"itembkcolor") {
    if (ParseColor(v, c, pm)) bkcolor = c;
  } else if (n == u"itemselectedtextcolor") {
    if (ParseColor(v, c, pm)) selectedtextcolor = c;
  } else if (n == u"itemselectedbkcolor") {
    if (ParseColor(v, c, pm)) selectedbkcolor = c;
  } else if (n == u"itemhottextcolor") {
    if (ParseColor(v, c, pm)) hottextcolor = c;
  } else if (n == u"itemhotbkcolor") {
    if (ParseColor(v, c, pm)) hotbkcolor = c;
  } else if (n == u"itemdisabledtextcolor") {
    if (ParseColor(v, c, pm)) disabledtextcolor = c;
  } else if (n == u"itemtextpadding")
    textpadding = ParseRect(v);
  else if (n == u"itemheight")
    itemheight = std::max(1, ParseSize(v).cx);
  else if (n == u"itemalign") {
    textstyle &= ~(kAlignCenter | kAlignRight);
    if (v == u"center")
      textstyle |= kAlignCenter;
    else if (v == u"right")
      textstyle |= kAlignRight;
  } else
    return false;
  return true;
}

bool IListItemUI::Select(bool trigger_event) {
  return m_pOwner && m_pOwner->SelectItem(m_iIndex, trigger_event);
}

namespace {

void PaintItemBackground(CPaintContext& ctx, const RECT& rc, const IListItemUI& item,
                         const CControlUI* self, DWORD own_bk) {
  const IListOwnerUI* owner = item.GetOwner();
  DWORD c = own_bk;
  if (owner) {
    const TListInfoUI& info = owner->GetListInfo();
    if (item.IsSelected() && (info.selectedbkcolor >> 24))
      c = info.selectedbkcolor;
    else if (owner->IsItemHot(self) && (info.hotbkcolor >> 24))
      c = info.hotbkcolor;
    else if (!(c >> 24))
      c = info.bkcolor;
  }
  if (c >> 24) ctx.painter().fillRect(ToQRect(rc), ToQColor(c));
}

// A press on a row selects it as the user's choice and gives the list the focus.
bool HandleRowEvent(TEventUI& event, IListItemUI& item, CControlUI* self) {
  if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_RBUTTONDOWN ||
      event.Type == UIEVENT_DBLCLICK) {
    if (self->IsEnabled() && item.GetOwner())
      item.GetOwner()->SelectItem(item.GetIndex(), true, true);
    return true;
  }
  if (event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSELEAVE) self->Invalidate();
  return false;
}

}  // namespace

void* CListElementUI::GetInterface(const CDuiString& name) {
  if (name == u"ListItem" || name == u"ListElement") return this;
  return CControlUI::GetInterface(name);
}

void CListElementUI::SetSelectedState(bool selected) {
  IListItemUI::SetSelectedState(selected);
  Invalidate();
}

void CListElementUI::DoEvent(TEventUI& event) {
  if (HandleRowEvent(event, *this, this)) return;
  CControlUI::DoEvent(event);
}

void CListElementUI::PaintBkColor(CPaintContext& ctx) {
  PaintItemBackground(ctx, m_rcItem, *this, this, m_dwBackColor);
}

void* CListLabelElementUI::GetInterface(const CDuiString& name) {
  if (name == u"ListLabelElement") return this;
  return CListElementUI::GetInterface(name);
}

void CListElementUI::PaintText(CPaintContext& ctx) {
  TListInfoUI fallback;
  const TListInfoUI& info = m_pOwner ? m_pOwner->GetListInfo() : fallback;
  DWORD color = info.textcolor;
  if (!IsEnabled())
    color = info.disabledtextcolor;
  else if (m_bSelected && info.selectedtextcolor)
    color = info.selectedtextcolor;
  else if (m_pOwner && m_pOwner->IsItemHot(this) && info.hottextcolor)
    color = info.hottextcolor;
  RECT rc{m_rcItem.left + info.textpadding.left, m_rcItem.top + info.textpadding.top,
          m_rcItem.right - info.textpadding.right, m_rcItem.bottom - info.textpadding.bottom};
  DrawText(ctx, GetShownText(), rc, m_sFont.IsEmpty() ? info.font : m_sFont, color,
           info.textstyle | kAlignVCenter | kEndEllipsis);
}

void* CListContainerElementUI::GetInterface(const CDuiString& name) {
  if (name == u"ListItem" || name == u"ListContainerElement") return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

void CListContainerElementUI::SetSelectedState(bool selected) {
  IListItemUI::SetSelectedState(selected);
  Invalidate();
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
  if (HandleRowEvent(event, *this, this)) return;
  CHorizontalLayoutUI::DoEvent(event);
}

CControlUI* CListContainerElementUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !m_rcItem.Contains(pt)) return nullptr;
  CControlUI* hit = CHorizontalLayoutUI::FindControlAt(pt);
  if (hit && hit != this && hit->GetInterface(u"Button")) return hit;
  return this;
}

void CListContainerElementUI::PaintBkColor(CPaintContext& ctx) {
  PaintItemBackground(ctx, m_rcItem, *this, this, m_dwBackColor);
}

CListUI::CListUI() = default;

void* CListUI::GetInterface(const CDuiString& name) {
  if (name == u"List") return this;
  if (name == u"IListOwner") return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

IListItemUI* internal::AsListItem(CControlUI* c) {
  if (auto* e = dynamic_cast<CListElementUI*>(c)) return e;
  if (auto* e = dynamic_cast<CListContainerElementUI*>(c)) return e;
  return nullptr;
}

using internal::AsListItem;

bool CListUI::IsItemHot(const CControlUI* item) const {
  return m_pManager && m_pManager->GetHover() == item;
}

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  return internal::InsertOwnedItem<CVerticalLayoutUI>(*this, m_iCurSel, control, index);
}

bool CListUI::Remove(CControlUI* control, bool do_not_destroy) {
  int index = GetItemIndex(control);
  return index >= 0 && RemoveAt(index, do_not_destroy);
}

bool CListUI::RemoveAt(int index, bool do_not_destroy) {
  return internal::RemoveOwnedItem<CVerticalLayoutUI>(*this, m_iCurSel, index, do_not_destroy);
}

void CListUI::RemoveAll() {
  m_iCurSel = -1;
  m_iScrollY = 0;
  m_iPendingEnsure = -1;
  m_iFirstVisible = m_iLastVisible = 0;
  CVerticalLayoutUI::RemoveAll();
}

bool CListUI::SelectItem(int index, bool trigger_event, bool take_focus) {
  if (index >= GetCount() || index < -1) return false;
  if (take_focus && m_pManager) SetFocus();
  if (index == m_iCurSel) return true;
  int old = m_iCurSel;
  if (IListItemUI* prev = AsListItem(GetItemAt(old))) prev->SetSelectedState(false);
  m_iCurSel = index;
  if (IListItemUI* now = AsListItem(GetItemAt(index))) {
    now->SetSelectedState(true);
    EnsureVisible(index);
  }
  Invalidate();
  AccessibleChanged(index >= 0 ? GetItemAt(index) : this, AccessibleChange::kSelection);
  if (trigger_event) SendNotify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(index), old);
  return true;
}

int CListUI::RowHeight(CControlUI* item) const {
  if (!item->IsOwnVisible()) return 0;
  int h = item->GetFixedHeight();
  return h > 0 ? h : m_info.itemheight;
}

void CListUI::ComputeOffsets() const {
  m_offsets.resize(m_items.size() + 1);
  int y = 0;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    m_offsets[i] = y;
    y += RowHeight(m_items[i]);
  }
  m_offsets[m_items.size()] = y;
}

int CListUI::GetContentHeight() const {
  ComputeOffsets();
  return m_offsets.back();
}

void CListUI::SetScrollPos(int y) {
  int view = InnerRect().Height();
  int max_scroll = std::max(0, GetContentHeight() - view);
  y = std::clamp(y, 0, max_scroll);
  if (y == m_iScrollY) return;
  m_iScrollY = y;
  NeedUpdate();
}

void CListUI::EnsureVisible(int index) {
  if (index < 0 || index >= GetCount()) return;
  ComputeOffsets();
  int top = m_offsets[static_cast<std::size_t>(index)];
  int bottom = m_offsets[static_cast<std::size_t>(index) + 1];
  int view = InnerRect().Height();
  if (view <= 0) {
    // Not laid out yet: the next layout scrolls as little as it takes.
    m_iPendingEnsure = index;
    NeedUpdate();
    return;
  }
  if (top < m_iScrollY)
    SetScrollPos(top);
  else if (bottom > m_iScrollY + view)
    SetScrollPos(bottom - view);
}

void CListUI::EndDown() { SetScrollPos(GetContentHeight()); }

void CListUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  RECT inner = InnerRect();
  ComputeOffsets();
  int content = m_offsets.back();
  int view = inner.Height();
  if (m_iPendingEnsure >= 0 && m_iPendingEnsure < GetCount() && view > 0) {
    int top = m_offsets[static_cast<std::size_t>(m_iPendingEnsure)];
    int bottom = m_offsets[static_cast<std::size_t>(m_iPendingEnsure) + 1];
    if (top < m_iScrollY)
      m_iScrollY = top;
    else if (bottom > m_iScrollY + view)
      m_iScrollY = bottom - view;
  }
  if (view > 0) m_iPendingEnsure = -1;
  m_iScrollY = std::clamp(m_iScrollY, 0, std::max(0, content - view));
  int right = inner.right - (content > view ? m_iScrollbarWidth : 0);
  auto first = std::upper_bound(m_offsets.begin(), m_offsets.end() - 1, m_iScrollY);
  int i = std::max(0, static_cast<int>(first - m_offsets.begin()) - 1);
  m_iFirstVisible = i;
  const int n = GetCount();
  while (i < n && m_offsets[static_cast<std::size_t>(i)] < m_iScrollY + view) {
    CControlUI* c = m_items[static_cast<std::size_t>(i)];
    int h = m_offsets[static_cast<std::size_t>(i) + 1] - m_offsets[static_cast<std::size_t>(i)];
    if (h > 0) {
      int top = inner.top + m_offsets[static_cast<std::size_t>(i)] - m_iScrollY;
      c->SetPos({inner.left, top, right, top + h});
    }
    ++i;
  }
  m_iLastVisible = i;
}

CControlUI* CListUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !m_rcItem.Contains(pt)) return nullptr;
  RECT track, thumb;
  ScrollbarGeometry(track, thumb);
  if (track.Contains(pt)) return this;
  for (int i = m_iFirstVisible; i < m_iLastVisible && i < GetCount(); ++i)
    if (CControlUI* hit = m_items[static_cast<std::size_t>(i)]->FindControlAt(pt)) return hit;
  return m_bMouseEnabled ? this : nullptr;
}

void CListUI::ScrollbarGeometry(RECT& track, RECT& thumb) const {
  RECT inner = InnerRect();
  int content = m_offsets.empty() ? 0 : m_offsets.back();
  int view = inner.Height();
  track = thumb = RECT{};
  if (content <= view || view <= 0) return;
  track = {inner.right - m_iScrollbarWidth, inner.top, inner.right, inner.bottom};
  int thumb_h = std::max(16, static_cast<int>(static_cast<long long>(view) * view / content));
  thumb_h = std::min(thumb_h, view);
  int range = view - thumb_h;
  int top = inner.top + static_cast<int>(static_cast<long long>(range) * m_iScrollY /
                                         std::max(1, content - view));
  thumb = {track.left, top, track.right, top + thumb_h};
}

void CListUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SCROLLWHEEL:
      SetScrollPos(m_iScrollY + (event.wParam ? -3 : 3) * m_info.itemheight);
      return;
    case UIEVENT_BUTTONDOWN: {
      RECT track, thumb;
      ScrollbarGeometry(track, thumb);
      if (thumb.Contains(event.ptMouse)) {
        m_bDraggingThumb = true;
        m_iDragStartY = event.ptMouse.y;
        m_iDragStartScroll = m_iScrollY;
      } else if (track.Contains(event.ptMouse)) {
        int view = InnerRect().Height();
        SetScrollPos(m_iScrollY + (event.ptMouse.y < thumb.top ? -view : view));
      }
      return;
    }
    case UIEVENT_MOUSEMOVE:
      if (m_bDraggingThumb) {
        RECT track, thumb;
        ScrollbarGeometry(track, thumb);
        int range = track.Height() - thumb.Height();
        int content = GetContentHeight() - InnerRect().Height();
        if (range > 0)
          SetScrollPos(m_iDragStartScroll +
                       static_cast<int>(static_cast<long long>(event.ptMouse.y - m_iDragStartY) *
                                        content / range));
      }
      return;
    case UIEVENT_BUTTONUP:
      m_bDraggingThumb = false;
      return;
    case UIEVENT_KEYDOWN: {
      int target = m_iCurSel;
      switch (event.vkey) {
        case VK_UP:
          target = m_iCurSel - 1;
          break;
        case VK_DOWN:
          target = m_iCurSel + 1;
          break;
        case VK_HOME:
          target = 0;
          break;
        case VK_END:
          target = GetCount() - 1;
          break;
        default:
          CVerticalLayoutUI::DoEvent(event);
          return;
      }
      if (target >= 0 && target < GetCount()) SelectItem(target, true);
      return;
    }
    default:
      CVerticalLayoutUI::DoEvent(event);
  }
}

void CListUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (m_info.SetAttribute(name, value, m_pManager)) {
    NeedUpdate();
    return;
  }
  DWORD c = 0;
  if (name == u"scrollbarwidth")
    m_iScrollbarWidth = std::max(0, ParseSize(value.view()).cx);
  else if (name == u"scrolltrackcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwScrollTrackColor = c;
  } else if (name == u"scrollthumbcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwScrollThumbColor = c;
  } else if (name == u"vscrollbar") {
  }  // the scroll bar appears whenever the rows do not fit
  else
    CVerticalLayoutUI::SetAttribute(name, value);
}

void CListUI::PaintItems(CPaintContext& ctx, const RECT& dirty) {
  QPainter& p = ctx.painter();
  p.save();
  p.setClipRect(ToQRect(InnerRect()), Qt::IntersectClip);
  for (int i = m_iFirstVisible; i < m_iLastVisible && i < GetCount(); ++i) {
    CControlUI* c = m_items[static_cast<std::size_t>(i)];
    if (!c->IsVisible()) continue;
    const RECT& r = c->GetPos();
    if (r.bottom <= dirty.top || r.top >= dirty.bottom) continue;
    c->DoPaint(ctx, dirty);
  }
  p.restore();
  RECT track, thumb;
  ScrollbarGeometry(track, thumb);
  if (!track.IsEmpty()) {
    p.fillRect(ToQRect(track), ToQColor(m_dwScrollTrackColor));
    p.fillRect(ToQRect(thumb), ToQColor(m_dwScrollThumbColor));
  }
}

}  // namespace DuiLib
