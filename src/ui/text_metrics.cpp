// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_metrics.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <deque>
#include <unordered_map>

#include "ui/internal/paint_context.h"

namespace DuiLib {

using namespace internal;

namespace {
// Fractional metrics, rounded up: the integer advance can fall a pixel short of what the
// painter draws.
int Up(qreal value) { return static_cast<int>(std::ceil(value - 1e-6)); }

// On a screen of scale 2 the glyphs are drawn at twice the pixel size, whose advances are not
// exactly twice those of the small size: a text needs the wider of the two, and a line the
// taller. Measured once per font and text, and kept for the life of the program: Qt looks a
// font's engine up in its database again and again, and fitting the caps of two keyboard
// pictures asks the same few questions thousands of times. UI thread only.
struct Measured {
  std::unordered_map<QString, int> widths;
  int line_spacing = 0;
};

// A program uses a handful of fonts: a look along them by QFont's own comparison is cheaper
// than the text of the font's key, which Qt builds anew for each call. A deque keeps what it
// hands out where it is.
Measured& MeasuredOf(const QFont& font) {
  static std::deque<std::pair<QFont, Measured>> known;
  for (auto& [seen, measured] : known)
    if (seen == font) return measured;
  return known.emplace_back(font, Measured{}).second;
}

QFont TwiceAsLarge(const QFont& font) {
  QFont twice = font;
  twice.setPixelSize(2 * font.pixelSize());
  return twice;
}
}  // namespace

int MeasureTextWidth(const CPaintManagerUI* pm, const CDuiString& font_id, const CDuiString& text) {
  EnsureApplication();
  const QFont font = ResolveFont(pm, font_id);
  const QString q = ToQString(text);
  auto& widths = MeasuredOf(font).widths;
  if (auto found = widths.find(q); found != widths.end()) return found->second;
  const QFontMetricsF one(font), two(TwiceAsLarge(font));
  qreal widest = 0;
  for (const QString& line : q.split(u'\n'))
    widest = std::max({widest, one.horizontalAdvance(line), two.horizontalAdvance(line) / 2});
  return widths[q] = Up(widest);
}

int MeasureLineSpacing(const CPaintManagerUI* pm, const CDuiString& font_id) {
  EnsureApplication();
  const QFont font = ResolveFont(pm, font_id);
  Measured& measured = MeasuredOf(font);
  if (measured.line_spacing == 0)
    measured.line_spacing =
        Up(std::max(QFontMetricsF(font).height(), QFontMetricsF(TwiceAsLarge(font)).height() / 2));
  return measured.line_spacing;
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
