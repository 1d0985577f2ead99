// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_metrics.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "ui/internal/paint_context.h"

namespace DuiLib {

using namespace internal;

namespace {
// Fractional metrics, rounded up: the integer advance can fall a pixel short of what the
// painter draws.
int Up(qreal value) { return static_cast<int>(std::ceil(value - 1e-6)); }
}  // namespace

int MeasureTextWidth(const CPaintManagerUI* pm, const CDuiString& font_id, const CDuiString& text) {
  EnsureApplication();
  // On a screen of scale 2 the glyphs are drawn at twice the pixel size, whose advances are not
  // exactly twice those of the small size: the text needs the wider of the two.
  const QFont font = ResolveFont(pm, font_id);
  QFont twice = font;
  twice.setPixelSize(2 * font.pixelSize());
  const QFontMetricsF one(font), two(twice);
  qreal widest = 0;
  for (const QString& line : ToQString(text).split(u'\n'))
    widest = std::max({widest, one.horizontalAdvance(line), two.horizontalAdvance(line) / 2});
  return Up(widest);
}

int MeasureLineSpacing(const CPaintManagerUI* pm, const CDuiString& font_id) {
  EnsureApplication();
  const QFont font = ResolveFont(pm, font_id);
  QFont twice = font;
  twice.setPixelSize(2 * font.pixelSize());
  return Up(std::max(QFontMetricsF(font).height(), QFontMetricsF(twice).height() / 2));
}

CDuiString ElideTextToWidth(const CPaintManagerUI* pm, const CDuiString& font_id,
                            const CDuiString& text, int width) {
  EnsureApplication();
  if (MeasureTextWidth(pm, font_id, text) <= width) return text;
  // Characters are taken off the end until the rest and the ellipsis fit; Qt's own eliding
  // measures with rounded advances and can overshoot by a pixel.
  const QString s = ToQString(text);
  const QString ellipsis(QChar(0x2026));
  for (qsizetype n = s.size() - 1; n > 0; --n) {
    if (s.at(n - 1).isHighSurrogate()) continue;  // never half a character
    const QString shorter = s.left(n) + ellipsis;
    if (MeasureTextWidth(pm, font_id, FromQString(shorter)) <= width) return FromQString(shorter);
  }
  return FromQString(ellipsis);
}

}  // namespace DuiLib
