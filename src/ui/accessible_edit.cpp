// SPDX-License-Identifier: GPL-3.0-or-later
// Edits for assistive technologies: the shown text (stars in password mode), caret, selection,
// and changes that pass through the field's filters as the user's typing does.
#include <QFontMetrics>
#include <QTextBoundaryFinder>
#include <QWidget>
#include <algorithm>

#include "ui/edit.h"
#include "ui/internal/accessible_control.h"
#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"

namespace DuiLib::internal {
namespace {

CEditUI* EditOf(CControlUI* c) {
  return c ? static_cast<CEditUI*>(c->GetInterface(u"Edit")) : nullptr;
}

// The piece of `text` around `offset` for a boundary: one character, one word (or the gap
// between words), or the whole one-line text.
void Segment(const QString& text, int offset, QAccessible::TextBoundaryType boundary, int* start,
             int* end) {
  const int n = static_cast<int>(text.size());
  offset = std::clamp(offset, 0, n);
  if (boundary == QAccessible::CharBoundary) {
    *start = offset;
    *end = std::min(n, offset + 1);
    return;
  }
  if (boundary != QAccessible::WordBoundary) {
    *start = 0;
    *end = n;
    return;
  }
  QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
  finder.setPosition(offset);
  int s = finder.isAtBoundary() ? offset : static_cast<int>(finder.toPreviousBoundary());
  finder.setPosition(offset);
  int e = static_cast<int>(finder.toNextBoundary());
  *start = std::max(0, s);
  *end = e < 0 ? n : e;
}

}  // namespace

void* AccessibleEdit::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface)
    return static_cast<QAccessibleEditableTextInterface*>(this);
  return AccessibleControl::interface_cast(type);
}

QString AccessibleEdit::Shown() const {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  return e ? ToQString(e->ShownText()) : QString();
}

void AccessibleEdit::setText(QAccessible::Text t, const QString& text) {
  if (t == QAccessible::Value) replaceText(0, characterCount(), text);
}

void AccessibleEdit::selection(int selection_index, int* start_offset, int* end_offset) const {
  *start_offset = *end_offset = 0;
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  if (!e || selection_index != 0 || e->GetSelStart() == e->GetSelEnd()) return;
  *start_offset = std::min(e->GetSelStart(), e->GetSelEnd());
  *end_offset = std::max(e->GetSelStart(), e->GetSelEnd());
}

int AccessibleEdit::selectionCount() const {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  return e && e->GetSelStart() != e->GetSelEnd() ? 1 : 0;
}

void AccessibleEdit::addSelection(int start_offset, int end_offset) {
  setSelection(0, start_offset, end_offset);
}

void AccessibleEdit::removeSelection(int selection_index) {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  if (e && selection_index == 0) e->SetSel(e->GetCaret(), e->GetCaret());
}

void AccessibleEdit::setSelection(int selection_index, int start_offset, int end_offset) {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  if (e && selection_index == 0) e->SetSel(start_offset, end_offset);
}

int AccessibleEdit::cursorPosition() const {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  return e ? e->GetCaret() : 0;
}

void AccessibleEdit::setCursorPosition(int position) {
  if (CEditUI* e = isValid() ? EditOf(control_) : nullptr) e->SetSel(position, position);
}

QString AccessibleEdit::text(int start_offset, int end_offset) const {
  const QString s = Shown();
  const int n = static_cast<int>(s.size());
  if (end_offset < 0 || end_offset > n) end_offset = n;
  start_offset = std::clamp(start_offset, 0, end_offset);
  return s.mid(start_offset, end_offset - start_offset);
}

QString AccessibleEdit::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                         int* start_offset, int* end_offset) const {
  const QString s = Shown();
  int a = 0, b = 0;
  Segment(s, offset, boundary, &a, &b);
  if (a == 0) {
    *start_offset = *end_offset = -1;
    return {};
  }
  Segment(s, a - 1, boundary, start_offset, end_offset);
  return s.mid(*start_offset, *end_offset - *start_offset);
}

QString AccessibleEdit::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                        int* start_offset, int* end_offset) const {
  const QString s = Shown();
  int a = 0, b = 0;
  Segment(s, offset, boundary, &a, &b);
  if (b >= s.size()) {
    *start_offset = *end_offset = -1;
    return {};
  }
  Segment(s, b, boundary, start_offset, end_offset);
  return s.mid(*start_offset, *end_offset - *start_offset);
}

QString AccessibleEdit::textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                     int* start_offset, int* end_offset) const {
  const QString s = Shown();
  Segment(s, offset, boundary, start_offset, end_offset);
  return s.mid(*start_offset, *end_offset - *start_offset);
}

int AccessibleEdit::characterCount() const { return static_cast<int>(Shown().size()); }

QRect AccessibleEdit::characterRect(int offset) const {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  HostWidget* h = host();
  if (!e || !h) return {};
  const QString s = Shown();
  offset = std::clamp(offset, 0, static_cast<int>(s.size()));
  QFontMetrics fm(ResolveFont(manager(), e->GetFont()));
  const RECT& rc = e->GetPos();
  const RECT pad = e->GetTextPadding();
  const int x = rc.left + pad.left + fm.horizontalAdvance(s.left(offset)) - e->m_iScroll;
  const int inner = rc.Height() - pad.top - pad.bottom;
  const int y = rc.top + pad.top + (inner - fm.height()) / 2;
  const int w = offset < s.size() ? fm.horizontalAdvance(s.at(offset)) : 1;
  return QRect(h->ContentToGlobal(QPoint(x, y)), QSize(w, fm.height()));
}

int AccessibleEdit::offsetAtPoint(const QPoint& point) const {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  HostWidget* h = host();
  if (!e || !h) return -1;
  const QPoint local = h->ToContent(h->mapFromGlobal(point));
  if (!e->GetPos().Contains(POINT{local.x(), local.y()})) return -1;
  return e->CaretFromPoint(POINT{local.x(), local.y()});
}

void AccessibleEdit::scrollToSubstring(int start_index, int) {
  // The field scrolls to keep the caret in view.
  setCursorPosition(start_index);
}

QString AccessibleEdit::attributes(int offset, int* start_offset, int* end_offset) const {
  *start_offset = *end_offset = offset;
  return {};
}

void AccessibleEdit::deleteText(int start_offset, int end_offset) {
  replaceText(start_offset, end_offset, QString());
}

void AccessibleEdit::insertText(int offset, const QString& text) {
  replaceText(offset, offset, text);
}

void AccessibleEdit::replaceText(int start_offset, int end_offset, const QString& text) {
  CEditUI* e = isValid() ? EditOf(control_) : nullptr;
  if (!e || !e->IsVisible() || state().disabled) return;
  CPaintManagerUI* pm = manager();
  pm->BeginDispatch();
  e->SetSel(start_offset, end_offset);
  e->UserReplace(FromQString(text));
  pm->EndDispatch();
}

}  // namespace DuiLib::internal
