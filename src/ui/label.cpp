// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/label.h"

#include <QFontMetrics>

#include "ui/internal/paint_context.h"

namespace DuiLib {

using namespace internal;

CLabelUI::CLabelUI() : m_uTextStyle(kAlignLeft | kAlignVCenter | kEndEllipsis) {
  m_bMouseEnabled = true;
}

void* CLabelUI::GetInterface(const CDuiString& name) {
  if (name == u"Label") return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextColor(DWORD argb) {
  m_dwTextColor = argb;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD argb) {
  m_dwDisabledTextColor = argb;
  Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CLabelUI::SetTextStyle(unsigned style) {
  m_uTextStyle = style;
  Invalidate();
}

void CLabelUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  const std::u16string_view v = value.view();
  DWORD c = 0;
  if (n == u"textcolor") {
    if (ParseColor(v, c, m_pManager)) SetTextColor(c);
  } else if (n == u"disabledtextcolor") {
    if (ParseColor(v, c, m_pManager)) SetDisabledTextColor(c);
  } else if (n == u"textpadding")
    SetTextPadding(ParseRect(v));
  else if (n == u"align") {
    m_uTextStyle &= ~(kAlignCenter | kAlignRight);
    if (v == u"center")
      m_uTextStyle |= kAlignCenter;
    else if (v == u"right")
      m_uTextStyle |= kAlignRight;
  } else if (n == u"valign") {
    m_uTextStyle &= ~(kAlignVCenter | kAlignBottom);
    if (v == u"vcenter" || v == u"center")
      m_uTextStyle |= kAlignVCenter;
    else if (v == u"bottom")
      m_uTextStyle |= kAlignBottom;
  } else if (n == u"wordbreak") {
    if (ParseBool(v))
      m_uTextStyle |= kWordBreak;
    else
      m_uTextStyle &= ~kWordBreak;
  } else if (n == u"endellipsis") {
    if (ParseBool(v))
      m_uTextStyle |= kEndEllipsis;
    else
      m_uTextStyle &= ~kEndEllipsis;
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

DWORD CLabelUI::CurrentTextColor() const {
  return IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
}

int CLabelUI::MeasureTextHeight() const {
  const int width = m_rcItem.Width() - m_rcTextPadding.left - m_rcTextPadding.right;
  if (width <= 0) return 0;
  QFontMetrics metrics(ResolveFont(m_pManager, m_sFont));
  const int flags = (m_uTextStyle & kWordBreak) ? Qt::TextWordWrap : Qt::TextSingleLine;
  const QRect needed =
      metrics.boundingRect(QRect(0, 0, width, 1 << 20), flags, ToQString(GetShownText()));
  return needed.height() + m_rcTextPadding.top + m_rcTextPadding.bottom;
}

void CLabelUI::PaintText(CPaintContext& ctx) {
  RECT rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.top += m_rcTextPadding.top;
  rc.right -= m_rcTextPadding.right;
  rc.bottom -= m_rcTextPadding.bottom;
  DrawText(ctx, GetShownText(), rc, m_sFont, CurrentTextColor(), m_uTextStyle);
}

}  // namespace DuiLib
