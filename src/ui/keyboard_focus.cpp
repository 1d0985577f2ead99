// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/internal/keyboard_focus.h"

#include <algorithm>
#include <limits>

#include "ui/container.h"
#include "ui/control.h"
#include "ui/internal/paint_context.h"

namespace DuiLib {
namespace internal {
namespace {

// A control beside the line of movement counts this many times its sideways distance, so that
// the key next in the row wins over a nearer one in the row below.
constexpr long kSidewaysWeight = 3;
constexpr qreal kRingWidth = 2.0;

// Twice the centre, so that odd sizes need no fractions.
long Centre2(long lo, long hi) { return lo + hi; }

// How far `point2` (a doubled coordinate) lies outside [lo, hi), doubled; 0 inside.
long Outside2(long point2, long lo, long hi) {
  if (point2 < 2 * lo) return 2 * lo - point2;
  if (point2 >= 2 * hi) return point2 - 2 * hi;
  return 0;
}

}  // namespace

bool TakesKeyboardFocus(CControlUI* control) {
  return control->TakesFocus() && control->IsVisible() && control->IsEnabled() &&
         control->IsKeyboardEnabled() && !control->IsNameHidden();
}

CContainerUI* FocusGroupOf(const CControlUI* control) {
  for (CControlUI* p = control != nullptr ? control->GetParent() : nullptr; p != nullptr;
       p = p->GetParent()) {
    auto* container = static_cast<CContainerUI*>(p->GetInterface(u"Container"));
    if (container != nullptr && container->IsFocusGroup()) return container;
  }
  return nullptr;
}

std::vector<CControlUI*> KeyboardFocusOrder(CControlUI* root) {
  std::vector<CControlUI*> order;
  if (root == nullptr) return order;
  root->ForEach(
      [](CControlUI* c, void* data) {
        if (TakesKeyboardFocus(c)) static_cast<std::vector<CControlUI*>*>(data)->push_back(c);
      },
      &order);
  return order;
}

CControlUI* NearestInDirection(const std::vector<CControlUI*>& candidates, const CControlUI* from,
                               UINT vkey) {
  if (from == nullptr) return nullptr;
  const bool horizontal = vkey == VK_LEFT || vkey == VK_RIGHT;
  const long sign = (vkey == VK_RIGHT || vkey == VK_DOWN) ? 1 : -1;
  if (!horizontal && vkey != VK_UP && vkey != VK_DOWN) return nullptr;
  const RECT a = from->GetPos();
  // The edge of `from` the movement leaves by, and the line it moves along.
  const long a_edge2 =
      2 * (horizontal ? (sign > 0 ? a.right : a.left) : (sign > 0 ? a.bottom : a.top));
  const long a_cross = horizontal ? Centre2(a.top, a.bottom) : Centre2(a.left, a.right);
  CControlUI* best = nullptr;
  long best_score = std::numeric_limits<long>::max();
  for (CControlUI* c : candidates) {
    if (c == from) continue;
    const RECT b = c->GetPos();
    if (b.IsEmpty()) continue;
    const long ahead =
        sign * ((horizontal ? Centre2(b.left, b.right) : Centre2(b.top, b.bottom)) - a_edge2);
    if (ahead <= 0) continue;
    const long sideways =
        horizontal ? Outside2(a_cross, b.top, b.bottom) : Outside2(a_cross, b.left, b.right);
    const long score = ahead + kSidewaysWeight * sideways;
    if (score < best_score) {
      best_score = score;
      best = c;
    }
  }
  return best;
}

void PaintFocusRing(CPaintContext& ctx, const CControlUI* control, DWORD argb, DWORD inner) {
  int radius = 0;
  const RECT rc = control->GetFocusRingRect(radius);
  if (rc.IsEmpty()) return;
  // A control scrolled partly out of its list shows the ring on its visible part only; other
  // containers do not scroll, and a ring a little outside its row (a slider's) stays whole.
  QRect clip = ToQRect(rc);
  for (CControlUI* p = control->GetParent(); p != nullptr; p = p->GetParent())
    if (p->GetInterface(u"List") != nullptr) clip = clip.intersected(ToQRect(p->GetPos()));
  if (clip.isEmpty()) return;
  QPainter& p = ctx.painter();
  p.save();
  p.setClipRect(clip);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::NoBrush);
  QPen pen(ToQColor(argb));
  pen.setWidthF(kRingWidth);
  p.setPen(pen);
  const qreal half = kRingWidth / 2;
  const QRectF outer = QRectF(ToQRect(rc)).adjusted(half, half, -half, -half);
  p.drawRoundedRect(outer, radius, radius);
  if (inner >> 24) {
    QPen line(ToQColor(inner));
    line.setWidthF(1.0);
    p.setPen(line);
    const qreal in = kRingWidth + 0.5 - half;
    p.drawRoundedRect(outer.adjusted(in, in, -in, -in), std::max(0.0, radius - in),
                      std::max(0.0, radius - in));
  }
  p.restore();
}

}  // namespace internal
}  // namespace DuiLib
