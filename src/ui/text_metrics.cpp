// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_metrics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <unordered_map>

#include "ui/internal/paint_context.h"

namespace DuiLib {

using namespace internal;

namespace {
// Fractional metrics, rounded up: the integer advance can fall a pixel short of what the
// painter draws.
int Up(qreal value) { return static_cast<int>(std::ceil(value - 1e-6)); }

// On a screen of scale 2 the glyphs are drawn at twice the pixel size, whose advances are not
// exactly twice those of the small size: there a text needs the wider of the two, and a line the
// taller. Where every screen is of scale 1 the double size is never drawn, and measuring it
// would cost a font load per size and every advance twice before the first frame. Measured
// once per font and text, and kept for the life of the program: Qt looks a font's engine up in
// its database again and again, and fitting the caps of two keyboard pictures asks the same few
// questions thousands of times. UI thread only.
struct Measured {
  std::unordered_map<QString, int> widths;
  int line_spacing = 0;
};

// A program uses a handful of fonts: a look along them by QFont's own comparison is cheaper
// than the text of the font's key, which Qt builds anew for each call. A deque keeps what it
// hands out where it is.
std::deque<std::pair<QFont, Measured>>& Known() {
  static std::deque<std::pair<QFont, Measured>> known;
  return known;
}

Measured& MeasuredOf(const QFont& font) {
  for (auto& [seen, measured] : Known())
    if (seen == font) return measured;
  return Known().emplace_back(font, Measured{}).second;
}

bool AboveScaleOne(const QScreen* screen) { return screen->devicePixelRatio() > 1.0; }

// Whether texts must fit at twice the size too. A screen of a higher scale plugged in later
// makes every later measure take both; what was measured before is measured again.
bool MeasureTwiceAsLarge() {
  static const bool watching = [] {
    QObject::connect(qApp, &QGuiApplication::screenAdded, qApp, [](QScreen* screen) {
      if (AboveScaleOne(screen)) Known().clear();
    });
    return true;
  }();
  (void)watching;
  const QList<QScreen*> screens = QGuiApplication::screens();
  return std::any_of(screens.begin(), screens.end(), AboveScaleOne);
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
  const QFontMetricsF one(font);
  const std::optional<QFontMetricsF> two =
      MeasureTwiceAsLarge() ? std::optional(QFontMetricsF(TwiceAsLarge(font))) : std::nullopt;
  qreal widest = 0;
  for (const QString& line : q.split(u'\n')) {
    widest = std::max(widest, one.horizontalAdvance(line));
    if (two) widest = std::max(widest, two->horizontalAdvance(line) / 2);
  }
  return widths[q] = Up(widest);
}

int MeasureLineSpacing(const CPaintManagerUI* pm, const CDuiString& font_id) {
  EnsureApplication();
  const QFont font = ResolveFont(pm, font_id);
  Measured& measured = MeasuredOf(font);
  if (measured.line_spacing == 0) {
    qreal height = QFontMetricsF(font).height();
    if (MeasureTwiceAsLarge())
      height = std::max(height, QFontMetricsF(TwiceAsLarge(font)).height() / 2);
    measured.line_spacing = Up(height);
  }
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
