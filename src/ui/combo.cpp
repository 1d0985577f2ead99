// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/combo.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "ui/internal/accessibility.h"
#include "ui/internal/combo_drop_window.h"
#include "ui/internal/host_widget.h"
#include "ui/internal/owned_items.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"
#include "ui/text_metrics.h"
#include "ui/window.h"

namespace DuiLib {

using namespace internal;

CComboUI::CComboUI() { m_info.itemheight = 22; }

CComboUI::~CComboUI() { Activate(false); }

void* CComboUI::GetInterface(const CDuiString& name) {
  if (name == u"Combo") return this;
  if (name == u"IListOwner") return static_cast<IListOwnerUI*>(this);
  return CContainerUI::GetInterface(name);
}

bool CComboUI::IsItemHot(const CControlUI* item) const {
  if (!m_pDrop) return false;
  const IListItemUI* it = AsListItem(const_cast<CControlUI*>(item));
  return it && it->GetIndex() == m_pDrop->hot();
}

CDuiString CComboUI::GetText() const {
  CControlUI* c = GetItemAt(m_iCurSel);
  return c ? c->GetText() : CDuiString();
}

bool CComboUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!internal::InsertOwnedItem<CContainerUI>(*this, m_iCurSel, control, index)) return false;
  if (m_pDrop) m_pDrop->update();
  return true;
}

bool CComboUI::Remove(CControlUI* control, bool do_not_destroy) {
  int index = GetItemIndex(control);
  return index >= 0 && RemoveAt(index, do_not_destroy);
}

bool CComboUI::RemoveAt(int index, bool do_not_destroy) {
  if (!internal::RemoveOwnedItem<CContainerUI>(*this, m_iCurSel, index, do_not_destroy))
    return false;
  Invalidate();
  if (m_pDrop) m_pDrop->update();
  return true;
}

void CComboUI::RemoveAll() {
  Activate(false);
  m_iCurSel = -1;
  CContainerUI::RemoveAll();
}

bool CComboUI::SelectItem(int index, bool trigger_event, bool take_focus) {
  if (index >= GetCount() || index < -1) return false;
  if (take_focus) SetFocus();
  if (index == m_iCurSel) return true;
  int old = m_iCurSel;
  if (IListItemUI* prev = AsListItem(GetItemAt(old))) prev->SetSelectedState(false);
  m_iCurSel = index;
  if (IListItemUI* now = AsListItem(GetItemAt(index))) now->SetSelectedState(true);
  Invalidate();
  AccessibleChanged(index >= 0 ? GetItemAt(index) : this, AccessibleChange::kSelection);
  if (trigger_event) SendNotify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(index), old);
  return true;
}

bool CComboUI::IsDropped() const { return m_pDrop != nullptr; }

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  Activate(!IsDropped());
  return true;
}

void CComboUI::Activate(bool open) {
  if (!open) {
    if (ComboDropWindow* d = m_pDrop) {
      m_pDrop = nullptr;
      d->Detach();
      d->hide();
      d->deleteLater();
      Invalidate();
      AccessibleChanged(this, AccessibleChange::kPopup);
    }
    return;
  }
  if (m_pDrop || !m_pManager || !m_pManager->GetWindow()) return;
  internal::HostWidget* host = m_pManager->GetWindow()->NativeHostForTesting();
  if (!host) return;
  int content = 0;
  for (int i = 0; i < GetCount(); ++i)
    content +=
        GetItemAt(i)->GetFixedHeight() > 0 ? GetItemAt(i)->GetFixedHeight() : m_info.itemheight;
  int height = std::min(content, m_szDropBox.cy > 0 ? m_szDropBox.cy : 150) + 2;
  int width = m_szDropBox.cx > 0 ? m_szDropBox.cx : m_rcItem.Width();
  m_pDrop = new ComboDropWindow(this);
  QPoint at = host->ContentToGlobal(QPoint(m_rcItem.left, m_rcItem.bottom));
  m_pDrop->setGeometry(at.x(), at.y(), std::max(1, width), std::max(3, height));
  m_pDrop->show();
  Invalidate();
  AccessibleChanged(this, AccessibleChange::kPopup);
}

void CComboUI::SetEnabled(bool enabled) {
  CContainerUI::SetEnabled(enabled);
  if (!enabled) Activate(false);
}

void CComboUI::SetPos(RECT rc) { CControlUI::SetPos(rc); }

CControlUI* CComboUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !m_rcItem.Contains(pt)) return nullptr;
  return this;
}

void CComboUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled()) Activate();
      return;
    case UIEVENT_KEYDOWN:
      if (event.vkey == VK_UP && m_iCurSel > 0)
        SelectItem(m_iCurSel - 1, true);
      else if (event.vkey == VK_DOWN && m_iCurSel + 1 < GetCount())
        SelectItem(m_iCurSel + 1, true);
      else if (event.vkey == VK_SPACE || event.vkey == VK_RETURN)
        Activate();
      else
        break;
      return;
    case UIEVENT_MOUSEENTER:
      m_bHot = true;
      Invalidate();
      break;
    case UIEVENT_MOUSELEAVE:
      m_bHot = false;
      Invalidate();
      break;
    case UIEVENT_KILLFOCUS:
      Activate(false);
      break;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

void CComboUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (m_info.SetAttribute(name, value, m_pManager)) return;
  const std::u16string_view n = name.view();
  DWORD c = 0;
  if (n == u"normalimage")
    m_sNormalImage = value;
  else if (n == u"hotimage")
    m_sHotImage = value;
  else if (n == u"pushedimage")
    m_sPushedImage = value;
  else if (n == u"disabledimage")
    m_sDisabledImage = value;
  else if (n == u"textpadding")
    m_rcTextPadding = ParseRect(value.view());
  else if (n == u"textcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwTextColor = c;
  } else if (n == u"notetextcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwNoteColor = c;
  } else if (n == u"dropbkcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwDropBkColor = c;
  } else if (n == u"dropbordercolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwDropBorderColor = c;
  } else if (n == u"dropboxsize")
    m_szDropBox = ParseSize(value.view());
  else
    CContainerUI::SetAttribute(name, value);
  Invalidate();
}

void CComboUI::PaintStatusImage(CPaintContext& ctx) {
  if (!IsEnabled() && !m_sDisabledImage.IsEmpty() && DrawImage(ctx, m_sDisabledImage)) return;
  if (m_pDrop && !m_sPushedImage.IsEmpty() && DrawImage(ctx, m_sPushedImage)) return;
  if (m_bHot && !m_sHotImage.IsEmpty() && DrawImage(ctx, m_sHotImage)) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(ctx, m_sNormalImage);
}

void CComboUI::SetNote(const CDuiString& note) {
  if (note == m_sNote) return;
  m_sNote = note;
  Invalidate();
}

void CComboUI::PaintText(CPaintContext& ctx) {
  CControlUI* c = GetItemAt(m_iCurSel);
  if (!c) return;
  RECT rc{m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
          m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
  const CDuiString& font = m_sFont.IsEmpty() ? m_info.font : m_sFont;
  const CDuiString text = c->GetShownText();
  if (!m_sNote.IsEmpty() && IsEnabled()) {
    // The item's text keeps at least half the room; the note follows it, cut at its end.
    const int room = rc.right - rc.left;
    const CDuiString note = CDuiString(u" ") + m_sNote;
    const int text_width =
        std::min(MeasureTextWidth(m_pManager, font, text),
                 std::max(room / 2, room - MeasureTextWidth(m_pManager, font, note)));
    const CDuiString shown = ElideTextToWidth(m_pManager, font, text, text_width);
    const int shown_width = std::min(MeasureTextWidth(m_pManager, font, shown), text_width);
    DrawText(ctx, shown, RECT{rc.left, rc.top, rc.left + shown_width, rc.bottom}, font,
             m_dwTextColor, kAlignLeft | kAlignVCenter);
    DrawText(ctx, note, RECT{rc.left + shown_width, rc.top, rc.right, rc.bottom}, font,
             m_dwNoteColor, kAlignLeft | kAlignVCenter | kEndEllipsis);
    return;
  }
  DrawText(ctx, text, rc, font, IsEnabled() ? m_dwTextColor : m_info.disabledtextcolor,
           kAlignLeft | kAlignVCenter | kEndEllipsis);
}

namespace internal {

ComboDropWindow::ComboDropWindow(CComboUI* owner)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), owner_(owner) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  if (owner_) {
    // Open on the selected item, highlighted, so that the arrow keys go on from it.
    int sel = owner_->GetCurSel();
    hot_ = sel;
    for (int i = 0; i < sel; ++i) scroll_ += RowHeight(i);
  }
}

int ComboDropWindow::RowHeight(int index) const {
  CControlUI* c = owner_ ? owner_->GetItemAt(index) : nullptr;
  if (!c) return 0;
  return c->GetFixedHeight() > 0 ? c->GetFixedHeight() : owner_->m_info.itemheight;
}

RECT ComboDropWindow::RowRect(int index) const {
  if (!owner_ || index < 0 || index >= owner_->GetCount()) return {};
  int content = 0;
  for (int i = 0; i < owner_->GetCount(); ++i) content += RowHeight(i);
  int scroll = std::clamp(scroll_, 0, std::max(0, content - (height() - 2)));
  int y = 1 - scroll;
  for (int i = 0; i < index; ++i) y += RowHeight(i);
  RECT r{1, y, width() - 1, y + RowHeight(index)};
  if (r.bottom <= 1 || r.top >= height() - 1) return {};
  return r;
}

int ComboDropWindow::RowAt(int y) const {
  if (!owner_) return -1;
  for (int i = 0; i < owner_->GetCount(); ++i) {
    RECT r = RowRect(i);
    if (!r.IsEmpty() && y >= r.top && y < r.bottom) return i;
  }
  return -1;
}

void ComboDropWindow::paintEvent(QPaintEvent*) {
  if (!owner_) return;
  QPainter p(this);
  p.fillRect(rect(), ToQColor(owner_->m_dwDropBkColor));
  CPaintContext ctx(p, owner_->GetManager());
  p.setClipRect(QRect(1, 1, width() - 2, height() - 2));
  for (int i = 0; i < owner_->GetCount(); ++i) {
    RECT r = RowRect(i);
    if (r.IsEmpty()) continue;
    CControlUI* c = owner_->GetItemAt(i);
    c->SetPos(r);
    c->DoPaint(ctx, RECT{0, 0, width(), height()});
  }
  p.setClipping(false);
  p.setPen(ToQColor(owner_->m_dwDropBorderColor));
  p.drawRect(0, 0, width() - 1, height() - 1);
}

void ComboDropWindow::mouseMoveEvent(QMouseEvent* e) {
  int row = RowAt(e->position().toPoint().y());
  if (row != hot_) {
    hot_ = row;
    update();
  }
}

void ComboDropWindow::Choose(int index) {
  CComboUI* owner = owner_;
  if (!owner) return;
  CPaintManagerUI* pm = owner->GetManager();
  if (pm) pm->BeginDispatch();
  owner->Activate(false);
  owner->SelectItem(index, true);
  if (pm) pm->EndDispatch();
}

void ComboDropWindow::mouseReleaseEvent(QMouseEvent* e) {
  if (!rect().contains(e->position().toPoint())) return;
  int row = RowAt(e->position().toPoint().y());
  if (row >= 0) Choose(row);
}

void ComboDropWindow::wheelEvent(QWheelEvent* e) {
  if (!owner_) return;
  scroll_ = std::max(0, scroll_ - e->angleDelta().y() / 120 * 3 * owner_->m_info.itemheight);
  update();
}

void ComboDropWindow::keyPressEvent(QKeyEvent* e) {
  if (!owner_) return;
  if (e->key() == Qt::Key_Escape)
    owner_->Activate(false);
  else if (e->key() == Qt::Key_Up)
    hot_ = std::max(0, hot_ - 1), update();
  else if (e->key() == Qt::Key_Down)
    hot_ = std::min(owner_->GetCount() - 1, hot_ + 1), update();
  else if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Space) &&
           hot_ >= 0)
    Choose(hot_);
}

void ComboDropWindow::closeEvent(QCloseEvent* e) {
  // Qt closes a popup when the user clicks elsewhere.
  e->accept();
  if (CComboUI* owner = owner_) owner->Activate(false);
}

}  // namespace internal
}  // namespace DuiLib
