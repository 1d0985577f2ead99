// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/color_palette.h"

#include <QImage>
#include <algorithm>
#include <cmath>

#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"

namespace DuiLib {

using namespace internal;

DWORD HsbToArgb(int hue, int sat, int bright) {
  hue = ((hue % 360) + 360) % 360;
  double s = std::clamp(sat, 0, 255) / 255.0;
  double v = std::clamp(bright, 0, 255) / 255.0;
  double c = v * s;
  double x = c * (1 - std::fabs(std::fmod(hue / 60.0, 2.0) - 1));
  double m = v - c;
  double r = 0, g = 0, b = 0;
  switch (hue / 60) {
    case 0:
      r = c, g = x;
      break;
    case 1:
      r = x, g = c;
      break;
    case 2:
      g = c, b = x;
      break;
    case 3:
      g = x, b = c;
      break;
    case 4:
      r = x, b = c;
      break;
    default:
      r = c, b = x;
      break;
  }
  auto to8 = [&](double f) { return static_cast<DWORD>(std::lround((f + m) * 255.0)); };
  return 0xFF000000u | (to8(r) << 16) | (to8(g) << 8) | to8(b);
}

void ArgbToHsb(DWORD argb, int& hue, int& sat, int& bright) {
  int r = static_cast<int>((argb >> 16) & 0xFF), g = static_cast<int>((argb >> 8) & 0xFF),
      b = static_cast<int>(argb & 0xFF);
  int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  int d = mx - mn;
  bright = mx;
  sat = mx == 0 ? 0 : static_cast<int>(std::lround(255.0 * d / mx));
  if (d == 0) {
    hue = 0;
    return;
  }
  double h;
  if (mx == r)
    h = 60.0 * std::fmod((g - b) / static_cast<double>(d), 6.0);
  else if (mx == g)
    h = 60.0 * ((b - r) / static_cast<double>(d) + 2);
  else
    h = 60.0 * ((r - g) / static_cast<double>(d) + 4);
  if (h < 0) h += 360;
  hue = static_cast<int>(std::lround(h)) % 360;
}

void* CColorPaletteUI::GetInterface(const CDuiString& name) {
  if (name == u"ColorPalette") return this;
  return CControlUI::GetInterface(name);
}

DWORD CColorPaletteUI::GetSelectColor() const { return m_dwColor; }

void CColorPaletteUI::SetSelectColor(DWORD argb) {
  m_dwColor = argb | 0xFF000000u;
  ArgbToHsb(m_dwColor, m_nHue, m_nSat, m_nBright);
  Invalidate();
  internal::AccessibleChanged(this, internal::AccessibleChange::kValue);
}

RECT CColorPaletteUI::GetPalletRect() const {
  RECT r = m_rcItem;
  int h = m_nPalletHeight > 0 ? m_nPalletHeight
                              : std::max(0, m_rcItem.Height() - m_nBarHeight - m_nGap);
  r.bottom = std::min(r.bottom, r.top + h);
  return r;
}

RECT CColorPaletteUI::GetBarRect() const {
  RECT p = GetPalletRect();
  RECT r{m_rcItem.left, p.bottom + m_nGap, m_rcItem.right, p.bottom + m_nGap + m_nBarHeight};
  r.bottom = std::min(r.bottom, m_rcItem.bottom);
  return r;
}

void CColorPaletteUI::PickAt(POINT pt) {
  if (m_drag == Drag::kPallet) {
    RECT p = GetPalletRect();
    int w = std::max(1, p.Width() - 1), h = std::max(1, p.Height() - 1);
    m_nHue = std::clamp((pt.x - p.left) * 359 / w, 0, 359);
    m_nSat = 255 - std::clamp((pt.y - p.top) * 255 / h, 0, 255);
  } else if (m_drag == Drag::kBar) {
    RECT b = GetBarRect();
    int w = std::max(1, b.Width() - 1);
    m_nBright = std::clamp((pt.x - b.left) * 255 / w, 0, 255);
  } else {
    return;
  }
  m_dwColor = HsbToArgb(m_nHue, m_nSat, m_nBright);
  Invalidate();
  internal::AccessibleChanged(this, internal::AccessibleChange::kValue);
  SendNotify(DUI_MSGTYPE_COLORCHANGED, GetSelectColor());
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!IsEnabled()) return;
      if (GetPalletRect().Contains(event.ptMouse))
        m_drag = Drag::kPallet;
      else if (GetBarRect().Contains(event.ptMouse))
        m_drag = Drag::kBar;
      PickAt(event.ptMouse);
      return;
    case UIEVENT_MOUSEMOVE:
      PickAt(event.ptMouse);
      return;
    case UIEVENT_BUTTONUP:
      m_drag = Drag::kNone;
      return;
    default:
      CControlUI::DoEvent(event);
  }
}

void CColorPaletteUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  if (name == u"palletheight")
    m_nPalletHeight = std::max(0, ParseSize(value.view()).cx);
  else if (name == u"barheight")
    m_nBarHeight = std::max(0, ParseSize(value.view()).cx);
  else if (name == u"gap")
    m_nGap = std::max(0, ParseSize(value.view()).cx);
  else if (name == u"selectcolor") {
    DWORD c = 0;
    if (ParseColor(value.view(), c, m_pManager)) SetSelectColor(c);
  } else
    CControlUI::SetAttribute(name, value);
}

void CColorPaletteUI::PaintStatusImage(CPaintContext& ctx) {
  QPainter& p = ctx.painter();
  RECT pr = GetPalletRect();
  if (!pr.IsEmpty()) {
    QImage img(pr.Width(), pr.Height(), QImage::Format_RGB32);
    int w = std::max(1, pr.Width() - 1), h = std::max(1, pr.Height() - 1);
    for (int y = 0; y < pr.Height(); ++y) {
      auto* line = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
      int sat = 255 - y * 255 / h;
      for (int x = 0; x < pr.Width(); ++x) line[x] = HsbToArgb(x * 359 / w, sat, m_nBright);
    }
    p.drawImage(pr.left, pr.top, img);
    int cx = pr.left + m_nHue * w / 359, cy = pr.top + (255 - m_nSat) * h / 255;
    p.setPen(QColor(m_nBright > 128 ? Qt::black : Qt::white));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPoint(cx, cy), 4, 4);
  }
  RECT br = GetBarRect();
  if (!br.IsEmpty()) {
    int w = std::max(1, br.Width() - 1);
    for (int x = 0; x < br.Width(); ++x)
      p.fillRect(QRect(br.left + x, br.top, 1, br.Height()),
                 ToQColor(HsbToArgb(m_nHue, m_nSat, x * 255 / w)));
    int bx = br.left + m_nBright * w / 255;
    p.fillRect(QRect(bx - 1, br.top, 3, br.Height()), QColor(Qt::white));
  }
}

}  // namespace DuiLib
