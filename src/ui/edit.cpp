// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/edit.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>

#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"

namespace DuiLib {

using namespace internal;

CEditUI::CEditUI() {
  m_rcTextPadding = {4, 0, 4, 0};
  m_uTextStyle = kAlignLeft | kAlignVCenter;
}

void* CEditUI::GetInterface(const CDuiString& name) {
  if (name == u"Edit") return this;
  return CLabelUI::GetInterface(name);
}

void CEditUI::SetText(const CDuiString& text) {
  CDuiString t = text;
  if (m_iMaxChar > 0 && t.GetLength() > m_iMaxChar) t = t.Left(m_iMaxChar);
  if (t == m_sText) {
    m_iSelStart = m_iCaret = m_sText.GetLength();
    Invalidate();
    return;
  }
  m_sText = t;
  m_iSelStart = m_iCaret = m_sText.GetLength();
  Invalidate();
  AccessibleChanged(this, AccessibleChange::kText);
}

void CEditUI::SetMaxChar(int max_char) {
  m_iMaxChar = max_char;
  if (m_iMaxChar > 0 && m_sText.GetLength() > m_iMaxChar) SetText(m_sText);
}

void CEditUI::SetReadOnly(bool read_only) {
  m_bReadOnly = read_only;
  Invalidate();
}

void CEditUI::SetPasswordMode(bool password) {
  m_bPassword = password;
  Invalidate();
}

void CEditUI::SetNumberOnly(bool number_only) { m_bNumberOnly = number_only; }

void CEditUI::SetSel(int start, int end) {
  int len = m_sText.GetLength();
  if (start < 0 || start > len) start = len;
  if (end < 0 || end > len) end = len;
  m_iSelStart = start;
  m_iCaret = end;
  Invalidate();
}

void CEditUI::SetSelAll() { SetSel(0, -1); }

void CEditUI::SetReplaceSel(const CDuiString& text) {
  int a = std::min(m_iSelStart, m_iCaret);
  int b = std::max(m_iSelStart, m_iCaret);
  m_sText = m_sText.Left(a) + text + m_sText.Mid(b);
  m_iSelStart = m_iCaret = a + text.GetLength();
  Invalidate();
  AccessibleChanged(this, AccessibleChange::kText);
}

void CEditUI::UserReplace(const CDuiString& text) {
  if (m_bReadOnly || !IsEnabled()) return;
  CDuiString insert;
  for (int i = 0; i < text.GetLength(); ++i) {
    char16_t ch = text.GetAt(i);
    if (ch < 0x20 || ch == 0x7F) continue;
    if (m_bNumberOnly && (ch < u'0' || ch > u'9')) continue;
    insert += ch;
  }
  int a = std::min(m_iSelStart, m_iCaret);
  int b = std::max(m_iSelStart, m_iCaret);
  if (m_iMaxChar > 0) {
    int room = m_iMaxChar - (m_sText.GetLength() - (b - a));
    if (room < insert.GetLength()) insert = insert.Left(std::max(0, room));
  }
  if (insert.IsEmpty() && a == b) return;
  CDuiString before = m_sText;
  m_sText = m_sText.Left(a) + insert + m_sText.Mid(b);
  m_iSelStart = m_iCaret = a + insert.GetLength();
  Invalidate();
  if (m_sText == before) return;
  AccessibleChanged(this, AccessibleChange::kText);
  SendNotify(DUI_MSGTYPE_TEXTCHANGED);
}

CDuiString CEditUI::ShownText() const {
  if (!m_bPassword) return m_sText;
  return CDuiString(std::u16string(static_cast<std::size_t>(m_sText.GetLength()), u'*'));
}

int CEditUI::CaretFromPoint(POINT pt) const {
  QFontMetrics fm(ResolveFont(m_pManager, m_sFont));
  QString s = ToQString(ShownText());
  int x = pt.x - (m_rcItem.left + m_rcTextPadding.left) + m_iScroll;
  int best = 0;
  for (int i = 0; i <= s.size(); ++i) {
    int w = fm.horizontalAdvance(s.left(i));
    if (w <= x) best = i;
    int next = i < s.size() ? fm.horizontalAdvance(s.left(i + 1)) : w;
    if (x < (w + next) / 2) return i;
  }
  return best;
}

void CEditUI::DoEvent(TEventUI& event) {
  const int len = m_sText.GetLength();
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (event.Type == UIEVENT_DBLCLICK) {
        SetSelAll();
        return;
      }
      m_iSelStart = m_iCaret = CaretFromPoint(event.ptMouse);
      m_bSelecting = true;
      Invalidate();
      return;
    case UIEVENT_MOUSEMOVE:
      if (m_bSelecting) {
        m_iCaret = CaretFromPoint(event.ptMouse);
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      m_bSelecting = false;
      return;
    case UIEVENT_CHAR:
      if (!(event.wKeyState & (UIKEY_CONTROL | UIKEY_ALT))) UserReplace(event.text);
      return;
    case UIEVENT_KEYDOWN: {
      bool shift = event.wKeyState & UIKEY_SHIFT;
      bool ctrl = event.wKeyState & UIKEY_CONTROL;
      auto move = [&](int to) {
        m_iCaret = std::clamp(to, 0, len);
        if (!shift) m_iSelStart = m_iCaret;
        Invalidate();
      };
      switch (event.vkey) {
        case VK_LEFT:
          move(m_iCaret - 1);
          return;
        case VK_RIGHT:
          move(m_iCaret + 1);
          return;
        case VK_HOME:
          move(0);
          return;
        case VK_END:
          move(len);
          return;
        case VK_BACK:
          if (m_iSelStart == m_iCaret && m_iCaret > 0) m_iSelStart = m_iCaret - 1;
          UserReplace({});
          return;
        case VK_DELETE:
          if (m_iSelStart == m_iCaret && m_iCaret < len) m_iSelStart = m_iCaret + 1;
          UserReplace({});
          return;
        default:
          break;
      }
      if (ctrl && event.vkey == 'A') {
        SetSelAll();
        return;
      }
      if (ctrl && (event.vkey == 'C' || event.vkey == 'X') && !m_bPassword) {
        int a = std::min(m_iSelStart, m_iCaret);
        int b = std::max(m_iSelStart, m_iCaret);
        if (a != b) QGuiApplication::clipboard()->setText(ToQString(m_sText.Mid(a, b - a)));
        if (event.vkey == 'X') UserReplace({});
        return;
      }
      if (ctrl && event.vkey == 'V') {
        UserReplace(FromQString(QGuiApplication::clipboard()->text()));
        return;
      }
      // Keys the field does not use go up, so a window still sees Escape.
      if (event.vkey == VK_ESCAPE || event.vkey == VK_TAB || event.vkey == VK_RETURN) break;
      return;
    }
    case UIEVENT_KILLFOCUS:
      m_bSelecting = false;
      m_iSelStart = m_iCaret;
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  DWORD c = 0;
  if (n == u"maxchar")
    SetMaxChar(ParseSize(value.view()).cx);
  else if (n == u"readonly")
    SetReadOnly(ParseBool(value.view()));
  else if (n == u"password")
    SetPasswordMode(ParseBool(value.view()));
  else if (n == u"numberonly")
    SetNumberOnly(ParseBool(value.view()));
  else if (n == u"focusbordercolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwFocusBorderColor = c;
  } else if (n == u"selectioncolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwSelectionColor = c;
  } else
    CLabelUI::SetAttribute(name, value);
}

void CEditUI::PaintText(CPaintContext& ctx) {
  QPainter& p = ctx.painter();
  QFont f = ResolveFont(m_pManager, m_sFont);
  QFontMetrics fm(f);
  QRect area(m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
             m_rcItem.Width() - m_rcTextPadding.left - m_rcTextPadding.right,
             m_rcItem.Height() - m_rcTextPadding.top - m_rcTextPadding.bottom);
  QString s = ToQString(ShownText());
  int caret_x = fm.horizontalAdvance(s.left(m_iCaret));
  if (caret_x - m_iScroll > area.width() - 2) m_iScroll = caret_x - area.width() + 2;
  if (caret_x - m_iScroll < 0) m_iScroll = caret_x;
  if (m_iScroll < 0) m_iScroll = 0;
  p.save();
  p.setClipRect(area, Qt::IntersectClip);
  int text_top = area.top() + (area.height() - fm.height()) / 2;
  if (m_bFocused && m_iSelStart != m_iCaret) {
    int a = std::min(m_iSelStart, m_iCaret);
    int b = std::max(m_iSelStart, m_iCaret);
    int xa = fm.horizontalAdvance(s.left(a)) - m_iScroll;
    int xb = fm.horizontalAdvance(s.left(b)) - m_iScroll;
    p.fillRect(QRect(area.left() + xa, text_top, xb - xa, fm.height()),
               ToQColor(m_dwSelectionColor));
  }
  p.setFont(f);
  p.setPen(ToQColor(CurrentTextColor()));
  p.drawText(area.left() - m_iScroll, text_top + fm.ascent(), s);
  if (m_bFocused && !m_bReadOnly) {
    int x = area.left() + caret_x - m_iScroll;
    p.fillRect(QRect(x, text_top, 1, fm.height()), ToQColor(CurrentTextColor()));
  }
  p.restore();
}

void CEditUI::PaintBorder(CPaintContext& ctx) {
  if (m_bFocused && (m_dwFocusBorderColor >> 24)) {
    DWORD saved = m_dwBorderColor;
    int saved_size = m_nBorderSize;
    m_dwBorderColor = m_dwFocusBorderColor;
    if (m_nBorderSize == 0) m_nBorderSize = 1;
    CLabelUI::PaintBorder(ctx);
    m_dwBorderColor = saved;
    m_nBorderSize = saved_size;
    return;
  }
  CLabelUI::PaintBorder(ctx);
}

}  // namespace DuiLib
