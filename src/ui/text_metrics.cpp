// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_metrics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/file_io.h"
#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {

using namespace internal;

namespace {
// Fractional metrics, rounded up: the integer advance can fall a pixel short of what the
// painter draws.
int Up(qreal value) { return static_cast<int>(std::ceil(value - 1e-6)); }

// The check of measures taken from the file, this long after the first measure of a run.
constexpr int kCheckKeptMs = 1000;
// A kept file larger than this is not one the program wrote.
constexpr std::size_t kKeptFileLimit = std::size_t{1} << 20;

// On a screen of scale 2 the glyphs are drawn at twice the pixel size, whose advances are not
// exactly twice those of the small size: there a text needs the wider of the two, and a line the
// taller. Where every screen is of scale 1 the double size is never drawn, and measuring it
// would cost a font load per size and every advance twice before the first frame. Measured
// once per font and text, and kept for the life of the program: Qt looks a font's engine up in
// its database again and again, and fitting the caps of two keyboard pictures asks the same few
// questions thousands of times. UI thread only.
struct Measure {
  int value = 0;
  bool known = false;
  bool unchecked = false;  // taken from the kept file, not yet measured in this run
  bool used = false;       // asked for in this run: kept for the next
};

struct Measured {
  std::unordered_map<QString, Measure> widths;
  Measure line_spacing;
};

// A program uses a handful of fonts: a look along them by QFont's own comparison is cheaper
// than the text of the font's key, which Qt builds anew for each call. A deque keeps what it
// hands out where it is.
struct KnownFont {
  QFont font;
  QString key;  // QFont::toString(): the font as asked for, which needs no font loaded
  Measured measured;
};

std::deque<KnownFont>& Known() {
  static std::deque<KnownFont> known;
  return known;
}

struct Keeping {
  std::filesystem::path file;
  HWND hwnd = nullptr;
  UINT msg = 0;
  bool loaded = false;
  bool check_started = false;
  std::string read;  // the file as read: a rewrite that changes nothing is skipped
  // Measures from the file, by font key, for fonts not asked for yet.
  std::unordered_map<QString, Measured> stored;
};

Keeping& Kept() {
  static Keeping kept;
  return kept;
}

bool AboveScaleOne(const QScreen* screen) { return screen->devicePixelRatio() > 1.0; }

// Whether texts must fit at twice the size too. A screen of a higher scale plugged in later
// makes every later measure take both; what was measured before is measured again.
bool MeasureTwiceAsLarge() {
  static const bool watching = [] {
    QObject::connect(qApp, &QGuiApplication::screenAdded, qApp, [](QScreen* screen) {
      if (!AboveScaleOne(screen)) return;
      Known().clear();
      Kept().stored.clear();
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

int WidthNow(const QFont& font, const QString& text) {
  const QFontMetricsF one(font);
  const std::optional<QFontMetricsF> two =
      MeasureTwiceAsLarge() ? std::optional(QFontMetricsF(TwiceAsLarge(font))) : std::nullopt;
  qreal widest = 0;
  for (const QString& line : text.split(u'\n')) {
    widest = std::max(widest, one.horizontalAdvance(line));
    if (two) widest = std::max(widest, two->horizontalAdvance(line) / 2);
  }
  return Up(widest);
}

int LineSpacingNow(const QFont& font) {
  qreal height = QFontMetricsF(font).height();
  if (MeasureTwiceAsLarge())
    height = std::max(height, QFontMetricsF(TwiceAsLarge(font)).height() / 2);
  return Up(height);
}

// The kept file: a first line naming the format and whether texts were measured at twice the
// size too, then per font a line "F <tab> key <tab> line spacing (-1: none)" and its texts'
// lines "W <tab> width <tab> text"; backslash, tab and line break escaped in the texts.
constexpr std::string_view kKeptHeader = "kbconfig text measures 1 twice=";

std::string Escaped(const QString& text) {
  std::string out;
  for (const char c : text.toStdString()) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::optional<QString> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      default:
        return std::nullopt;
    }
  }
  return QString::fromStdString(out);
}

std::optional<int> Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < -1 || value > 100000)
    return std::nullopt;
  return value;
}

// The measures of `text`, or nothing when it is not a whole file of this format for screens of
// this scale: a file is taken whole or not at all.
std::optional<std::unordered_map<QString, Measured>> ParseKept(std::string_view text, bool twice) {
  const std::string header = std::string(kKeptHeader) + (twice ? "1" : "0");
  std::unordered_map<QString, Measured> fonts;
  Measured* font = nullptr;
  std::size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return std::nullopt;  // cut off
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (first) {
      if (line != header) return std::nullopt;
      first = false;
      continue;
    }
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) return std::nullopt;
    const std::string_view kind = line.substr(0, tab1);
    const std::string_view second = line.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string_view third = line.substr(tab2 + 1);
    if (kind == "F") {
      const std::optional<QString> key = Unescaped(second);
      const std::optional<int> spacing = Number(third);
      if (!key || !spacing) return std::nullopt;
      font = &fonts[*key];
      if (*spacing >= 0) font->line_spacing = {*spacing, true, true, false};
    } else if (kind == "W" && font != nullptr) {
      const std::optional<int> width = Number(second);
      const std::optional<QString> line_text = Unescaped(third);
      if (!width || *width < 0 || !line_text) return std::nullopt;
      font->widths[*line_text] = {*width, true, true, false};
    } else {
      return std::nullopt;
    }
  }
  if (first) return std::nullopt;
  return fonts;
}

std::string KeptText(bool twice) {
  std::string out = std::string(kKeptHeader) + (twice ? "1" : "0") + "\n";
  for (const KnownFont& font : Known()) {
    const Measure& spacing = font.measured.line_spacing;
    std::string widths;
    for (const auto& [text, width] : font.measured.widths)
      if (width.known && width.used)
        widths += "W\t" + std::to_string(width.value) + "\t" + Escaped(text) + "\n";
    if (widths.empty() && !(spacing.known && spacing.used)) continue;
    out += "F\t" + Escaped(font.key) + "\t" +
           std::to_string(spacing.known && spacing.used ? spacing.value : -1) + "\n" + widths;
  }
  return out;
}

void LoadKept() {
  Keeping& kept = Kept();
  if (kept.loaded || kept.file.empty()) return;
  kept.loaded = true;
  // A missing or damaged file only means measuring anew.
  const kb::Result<kb::Bytes> bytes = kb::ReadWholeFile(kept.file, kKeptFileLimit);
  if (!bytes) return;
  kept.read.assign(bytes.value().begin(), bytes.value().end());
  if (auto parsed = ParseKept(kept.read, MeasureTwiceAsLarge())) kept.stored = std::move(*parsed);
}

// Measures what was taken from the file again, corrects what changed and tells the window, and
// writes the file when it would change. Measures the file held for fonts and texts this run did
// not ask for are dropped, so that the file follows what the program shows.
void CheckKept() {
  Keeping& kept = Kept();
  bool changed = false;
  auto check = [&changed](Measure& measure, auto measure_now) {
    if (!measure.unchecked) return;
    const int now = measure_now();
    if (now != measure.value) changed = true;
    measure = {now, true, false, true};
  };
  for (KnownFont& font : Known()) {
    Measured& m = font.measured;
    if (m.line_spacing.unchecked && !m.line_spacing.used) m.line_spacing = {};
    check(m.line_spacing, [&] { return LineSpacingNow(font.font); });
    std::erase_if(m.widths,
                  [](const auto& entry) { return entry.second.unchecked && !entry.second.used; });
    for (auto& [text, width] : m.widths) check(width, [&] { return WidthNow(font.font, text); });
  }
  kept.stored.clear();
  if (changed && kept.hwnd != nullptr) PostMessage(kept.hwnd, kept.msg);
  const std::string text = KeptText(MeasureTwiceAsLarge());
  if (text == kept.read) return;
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  if (const kb::Status written = kb::WriteFileAtomically(kept.file, {data, text.size()});
      !written.ok()) {
    std::fprintf(stderr, "kbconfig: the text measures are not kept for the next start: %s\n",
                 written.reason().c_str());
    return;
  }
  kept.read = text;
}

void StartCheckOfKept() {
  Keeping& kept = Kept();
  if (kept.file.empty() || kept.check_started) return;
  kept.check_started = true;
  QTimer::singleShot(kCheckKeptMs, qApp, [] { CheckKept(); });
}

Measured& MeasuredOf(const QFont& font) {
  for (KnownFont& known : Known())
    if (known.font == font) return known.measured;
  KnownFont& added = Known().emplace_back(KnownFont{font, font.toString(), {}});
  LoadKept();
  auto& stored = Kept().stored;
  if (auto found = stored.find(added.key); found != stored.end()) {
    added.measured = std::move(found->second);
    stored.erase(found);
  }
  return added.measured;
}
}  // namespace

int MeasureTextWidth(const CPaintManagerUI* pm, const CDuiString& font_id, const CDuiString& text) {
  EnsureApplication();
  const QFont font = ResolveFont(pm, font_id);
  const QString q = ToQString(text);
  Measure& width = MeasuredOf(font).widths[q];
  if (!width.known) width = {WidthNow(font, q), true, false, false};
  width.used = true;
  StartCheckOfKept();
  return width.value;
}

int MeasureLineSpacing(const CPaintManagerUI* pm, const CDuiString& font_id) {
  EnsureApplication();
  const QFont font = ResolveFont(pm, font_id);
  Measure& spacing = MeasuredOf(font).line_spacing;
  if (!spacing.known) spacing = {LineSpacingNow(font), true, false, false};
  spacing.used = true;
  StartCheckOfKept();
  return spacing.value;
}

void KeepTextMeasuresIn(const std::filesystem::path& file, HWND hwnd, UINT msg) {
  Keeping& kept = Kept();
  kept.file = file;
  kept.hwnd = hwnd;
  kept.msg = msg;
}

void CheckKeptTextMeasuresForTesting() { CheckKept(); }

void ForgetTextMeasuresForTesting() {
  Known().clear();
  Kept() = {};
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
