// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/slider.h"

#include <algorithm>

#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"

namespace DuiLib {

using namespace internal;

CProgressUI::CProgressUI() { m_uTextStyle = kAlignCenter | kAlignVCenter; }

void* CProgressUI::GetInterface(const CDuiString& name) {
  if (name == u"Progress") return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int min) {
  m_nMin = min;
  if (m_nMax < m_nMin) m_nMax = m_nMin;
  m_nValue = std::clamp(m_nValue, m_nMin, m_nMax);
  Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
  m_nMax = max;
  if (m_nMin > m_nMax) m_nMin = m_nMax;
  m_nValue = std::clamp(m_nValue, m_nMin, m_nMax);
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  value = std::clamp(value, m_nMin, m_nMax);
  if (value == m_nValue) return;
  m_nValue = value;
  Invalidate();
  AccessibleChanged(this, AccessibleChange::kValue);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  m_bHorizontal = horizontal;
  Invalidate();
}

void CProgressUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  DWORD c = 0;
  if (n == u"min")
    SetMinValue(ParseSize(value.view()).cx);
  else if (n == u"max")
    SetMaxValue(ParseSize(value.view()).cx);
  else if (n == u"value")
    SetValue(ParseSize(value.view()).cx);
  else if (n == u"hor")
    SetHorizontal(ParseBool(value.view()));
  else if (n == u"foreimage")
    m_sForeImage = value;
  else if (n == u"forecolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwForeColor = c;
  } else
    CLabelUI::SetAttribute(name, value);
}

RECT CProgressUI::ForeRect() const {
  RECT r = m_rcItem;
  int range = std::max(1, m_nMax - m_nMin);
  if (m_bHorizontal)
    r.right =
        r.left + static_cast<int>(static_cast<long long>(r.Width()) * (m_nValue - m_nMin) / range);
  else
    r.top = r.bottom -
            static_cast<int>(static_cast<long long>(r.Height()) * (m_nValue - m_nMin) / range);
  return r;
}

void CProgressUI::PaintStatusImage(CPaintContext& ctx) {
  RECT r = ForeRect();
  if (r.IsEmpty()) return;
  if (!m_sForeImage.IsEmpty()) {
    ctx.painter().save();
    ctx.painter().setClipRect(ToQRect(r), Qt::IntersectClip);
    bool drawn = DrawImage(ctx, m_sForeImage);
    ctx.painter().restore();
    if (drawn) return;
  }
  if (m_dwForeColor >> 24) ctx.painter().fillRect(ToQRect(r), ToQColor(m_dwForeColor));
}

CSliderUI::CSliderUI() { m_uTextStyle = kAlignCenter | kAlignVCenter; }

void* CSliderUI::GetInterface(const CDuiString& name) {
  if (name == u"Slider") return this;
  return CProgressUI::GetInterface(name);
}

void CSliderUI::SetChangeStep(int step) { m_nStep = std::max(1, step); }

RECT CSliderUI::GetThumbRect() const {
  int range = std::max(1, m_nMax - m_nMin);
  if (m_bHorizontal) {
    int travel = std::max(0, m_rcItem.Width() - m_szThumb.cx);
    int left = m_rcItem.left +
               static_cast<int>(static_cast<long long>(travel) * (m_nValue - m_nMin) / range);
    int top = m_rcItem.top + (m_rcItem.Height() - m_szThumb.cy) / 2;
    return {left, top, left + m_szThumb.cx, top + m_szThumb.cy};
  }
  int travel = std::max(0, m_rcItem.Height() - m_szThumb.cy);
  int top = m_rcItem.bottom - m_szThumb.cy -
            static_cast<int>(static_cast<long long>(travel) * (m_nValue - m_nMin) / range);
  int left = m_rcItem.left + (m_rcItem.Width() - m_szThumb.cx) / 2;
  return {left, top, left + m_szThumb.cx, top + m_szThumb.cy};
}

int CSliderUI::ValueAt(POINT pt) const {
  int range = m_nMax - m_nMin;
  long long pos;
  long long travel;
  if (m_bHorizontal) {
    travel = std::max(1, m_rcItem.Width() - m_szThumb.cx);
    pos = pt.x - m_rcItem.left - m_szThumb.cx / 2;
  } else {
    travel = std::max(1, m_rcItem.Height() - m_szThumb.cy);
    pos = m_rcItem.bottom - pt.y - m_szThumb.cy / 2;
  }
  pos = std::clamp<long long>(pos, 0, travel);
  return m_nMin + static_cast<int>((pos * range + travel / 2) / travel);
}

void CSliderUI::UserSetValue(int value) {
  value = std::clamp(value, m_nMin, m_nMax);
  if (value == m_nValue) return;
  SetValue(value);
  SendNotify(DUI_MSGTYPE_VALUECHANGED, static_cast<WPARAM>(m_nValue));
}

void CSliderUI::DoEvent(TEventUI& event) {
  if (!IsEnabled() && event.Type != UIEVENT_MOUSELEAVE) {
    CProgressUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      m_bDragging = true;
      UserSetValue(ValueAt(event.ptMouse));
      Invalidate();
      return;
    case UIEVENT_MOUSEMOVE:
      if (m_bDragging) UserSetValue(ValueAt(event.ptMouse));
      return;
    case UIEVENT_BUTTONUP:
      m_bDragging = false;
      Invalidate();
      return;
    case UIEVENT_SCROLLWHEEL:
      UserSetValue(m_nValue + (event.wParam ? m_nStep : -m_nStep));
      return;
    case UIEVENT_KEYDOWN:
      switch (event.vkey) {
        case VK_LEFT:
        case VK_DOWN:
          UserSetValue(m_nValue - m_nStep);
          return;
        case VK_RIGHT:
        case VK_UP:
          UserSetValue(m_nValue + m_nStep);
          return;
        case VK_HOME:
          UserSetValue(m_nMin);
          return;
        case VK_END:
          UserSetValue(m_nMax);
          return;
        default:
          break;
      }
      break;
    case UIEVENT_MOUSEENTER:
      m_bHot = true;
      Invalidate();
      break;
    case UIEVENT_MOUSELEAVE:
      m_bHot = false;
      Invalidate();
      break;
    default:
      break;
  }
  CProgressUI::DoEvent(event);
}

void CSliderUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  DWORD c = 0;
  if (n == u"step")
    SetChangeStep(ParseSize(value.view()).cx);
  else if (n == u"thumbsize")
    m_szThumb = ParseSize(value.view());
  else if (n == u"thumbimage")
    m_sThumbImage = value;
  else if (n == u"thumbhotimage")
    m_sThumbHotImage = value;
  else if (n == u"thumbpushedimage")
    m_sThumbPushedImage = value;
  else if (n == u"thumbcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwThumbColor = c;
  } else
    CProgressUI::SetAttribute(name, value);
}

RECT CSliderUI::GetFocusRingRect(int& corner_radius) const {
  constexpr int kClearance = 4;  // the ring's 2 px and 2 px of air around the thumb
  const RECT t = GetThumbRect();
  corner_radius = std::max(t.Width(), t.Height()) / 2 + kClearance;
  return {t.left - kClearance, t.top - kClearance, t.right + kClearance, t.bottom + kClearance};
}

void CSliderUI::PaintStatusImage(CPaintContext& ctx) {
  CProgressUI::PaintStatusImage(ctx);
  RECT t = GetThumbRect();
  if (m_bDragging && !m_sThumbPushedImage.IsEmpty() && DrawImage(ctx, m_sThumbPushedImage, &t))
    return;
  if (m_bHot && !m_sThumbHotImage.IsEmpty() && DrawImage(ctx, m_sThumbHotImage, &t)) return;
  if (!m_sThumbImage.IsEmpty() && DrawImage(ctx, m_sThumbImage, &t)) return;
  if (m_dwThumbColor >> 24) ctx.painter().fillRect(ToQRect(t), ToQColor(m_dwThumbColor));
}

}  // namespace DuiLib
