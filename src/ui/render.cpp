// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing helpers: image syntax, the image cache, text and fonts.
#include <QApplication>
#include <QFontMetrics>
#include <QImageReader>
#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>

#include "ui/internal/paint_context.h"
#include "ui/render_engine.h"
#include "ui/theme.h"
#include "ui/window.h"

namespace DuiLib {
namespace internal {
namespace {

struct ImageSpec {
  CDuiString file;
  RECT dest;
  bool has_dest = false;
  RECT source;
  bool has_source = false;
  RECT corner;
  int fade = 255;
};

ImageSpec ParseImageSpec(const CDuiString& text) {
  ImageSpec parsed;
  std::u16string_view s = text.view();
  if (s.find(u'=') == std::u16string_view::npos) {
    parsed.file = text;
    return parsed;
  }
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == u' ') ++i;
    std::size_t eq = s.find(u'=', i);
    if (eq == std::u16string_view::npos) break;
    std::u16string_view key = s.substr(i, eq - i);
    while (!key.empty() && key.back() == u' ') key.remove_suffix(1);
    std::size_t q1 = s.find(u'\'', eq);
    if (q1 == std::u16string_view::npos) break;
    std::size_t q2 = s.find(u'\'', q1 + 1);
    if (q2 == std::u16string_view::npos) break;
    std::u16string_view value = s.substr(q1 + 1, q2 - q1 - 1);
    if (key == u"file" || key == u"res")
      parsed.file = CDuiString(value);
    else if (key == u"dest")
      parsed.dest = ParseRect(value), parsed.has_dest = true;
    else if (key == u"source")
      parsed.source = ParseRect(value), parsed.has_source = true;
    else if (key == u"corner")
      parsed.corner = ParseRect(value);
    else if (key == u"fade")
      parsed.fade = std::clamp(static_cast<int>(ParseSize(value).cx), 0, 255);
    i = q2 + 1;
  }
  return parsed;
}

struct ImageStore {
  std::mutex mutex;  // images are only used on the UI thread; the lock keeps Term() honest
  std::map<CDuiString, std::shared_ptr<const QImage>> named;
  std::map<CDuiString, std::shared_ptr<const QImage>> files;  // null: known to be missing
};

ImageStore& Store() {
  static ImageStore* store = new ImageStore;
  return *store;
}

}  // namespace

std::shared_ptr<const QImage> FindImage(const CDuiString& file) {
  if (file.IsEmpty()) return nullptr;
  ImageStore& st = Store();
  std::lock_guard lock(st.mutex);
  if (auto it = st.named.find(file); it != st.named.end()) return it->second;
  if (auto it = st.files.find(file); it != st.files.end()) return it->second;
  std::filesystem::path path(file.ToUtf8());
  if (path.is_relative())
    path = std::filesystem::path(CPaintManagerUI::GetResourcePath().ToUtf8()) / path;
  const QString name = QString::fromStdString(path.string());
  // By the name's suffix first: Qt's content sniffing loads every image format plugin it has,
  // which a skin of PNG images never needs. A file whose suffix lies still loads by content.
  QImageReader reader(name, path.extension().string().substr(path.has_extension() ? 1 : 0).c_str());
  reader.setAutoDetectImageFormat(false);
  QImage img = reader.read();
  if (img.isNull()) (void)img.load(name);
  std::shared_ptr<const QImage> result;
  if (!img.isNull())
    result =
        std::make_shared<const QImage>(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  st.files[file] = result;
  return result;
}

void AddNamedImage(const CDuiString& name, QImage image) {
  ImageStore& st = Store();
  std::lock_guard lock(st.mutex);
  st.named[name] = std::make_shared<const QImage>(std::move(image));
}

bool RemoveNamedImage(const CDuiString& name) {
  ImageStore& st = Store();
  std::lock_guard lock(st.mutex);
  return st.named.erase(name) > 0;
}

bool HasNamedImage(const CDuiString& name) {
  ImageStore& st = Store();
  std::lock_guard lock(st.mutex);
  return st.named.count(name) > 0;
}

void ClearFileImageCache() {
  ImageStore& st = Store();
  std::lock_guard lock(st.mutex);
  st.files.clear();
}

void ClearImageCache() {
  ImageStore& st = Store();
  std::lock_guard lock(st.mutex);
  st.named.clear();
  st.files.clear();
}

CDuiString TwinImageName(const CDuiString& file) {
  std::u16string name(file.view());
  const std::size_t slash = name.find_last_of(u"/\\");
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash))
    return CDuiString(name + u"@2x");
  return CDuiString(name.substr(0, dot) + u"@2x" + name.substr(dot));
}

ScaledImage FindImageForScale(const CDuiString& file, qreal device_pixel_ratio) {
  auto base = FindImage(file);
  if (!base || base->isNull()) return {};
  if (device_pixel_ratio > 1.0) {
    // Only a twin of exactly twice the size: the skin's coordinates (source, corners) are the
    // 1x image's pixels and are doubled for it.
    auto twin = FindImage(TwinImageName(file));
    if (twin && twin->width() == 2 * base->width() && twin->height() == 2 * base->height())
      return {twin, 2};
  }
  return {base, 1};
}

QIcon IconOfImageFile(const CDuiString& file) {
  QIcon icon;
  if (const auto image = FindImage(file); image && !image->isNull())
    icon.addPixmap(QPixmap::fromImage(*image));
  if (const auto twin = FindImage(TwinImageName(file)); twin && !twin->isNull()) {
    QPixmap pixmap = QPixmap::fromImage(*twin);
    pixmap.setDevicePixelRatio(2);
    icon.addPixmap(pixmap);
  }
  return icon;
}

bool DrawImage(CPaintContext& ctx, const CDuiString& image, const RECT& rc) {
  if (image.IsEmpty()) return false;
  ImageSpec parsed = ParseImageSpec(image);
  QPainter& p = ctx.painter();
  const qreal ratio = p.device() != nullptr ? p.device()->devicePixelRatio() : 1.0;
  const ScaledImage found = FindImageForScale(parsed.file, ratio);
  const auto& img = found.image;
  if (!img || img->isNull()) return false;
  const int k = found.scale;
  const auto scaled = [k](const RECT& r) {
    return RECT{r.left * k, r.top * k, r.right * k, r.bottom * k};
  };
  QRect src = parsed.has_source ? ToQRect(scaled(parsed.source)) : img->rect();
  src = src.intersected(img->rect());
  RECT d = rc;
  if (parsed.has_dest)
    d = {rc.left + parsed.dest.left, rc.top + parsed.dest.top, rc.left + parsed.dest.right,
         rc.top + parsed.dest.bottom};
  qreal old_opacity = p.opacity();
  if (parsed.fade < 255) p.setOpacity(old_opacity * parsed.fade / 255.0);
  const RECT& c = parsed.corner;
  if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
    p.drawImage(ToQRect(d), *img, src);
  } else {
    // Nine slices: corners keep their size, edges stretch along one axis, the middle along both.
    // A twin's corners are k times as many of its pixels for the same size on screen.
    int sx[4] = {src.left(), src.left() + c.left * k, src.right() + 1 - c.right * k,
                 src.right() + 1};
    int sy[4] = {src.top(), src.top() + c.top * k, src.bottom() + 1 - c.bottom * k,
                 src.bottom() + 1};
    int dx[4] = {d.left, d.left + c.left, d.right - c.right, d.right};
    int dy[4] = {d.top, d.top + c.top, d.bottom - c.bottom, d.bottom};
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        QRect s(sx[x], sy[y], sx[x + 1] - sx[x], sy[y + 1] - sy[y]);
        QRect t(dx[x], dy[y], dx[x + 1] - dx[x], dy[y + 1] - dy[y]);
        if (s.width() > 0 && s.height() > 0 && t.width() > 0 && t.height() > 0)
          p.drawImage(t, *img, s);
      }
  }
  p.setOpacity(old_opacity);
  return true;
}

QFont ResolveFont(const CPaintManagerUI* pm, const CDuiString& id) {
  AwaitFontConfiguration();
  const FontSpec* parsed = nullptr;
  if (pm) parsed = pm->LocalTheme().FindFont(id.IsEmpty() ? pm->LocalTheme().DefaultFontId() : id);
  if (!parsed) parsed = CTheme::Global().FindFont(id);
  if (!parsed && pm && !pm->LocalTheme().DefaultFontId().IsEmpty())
    parsed = pm->LocalTheme().FindFont(pm->LocalTheme().DefaultFontId());
  if (!parsed) parsed = CTheme::Global().FindFont(CTheme::Global().DefaultFontId());
  QFont f;
  if (parsed) {
    if (!parsed->family.IsEmpty()) f.setFamily(ToQString(parsed->family));
    f.setPixelSize(std::max(1, parsed->size));
    f.setBold(parsed->bold);
    f.setItalic(parsed->italic);
    f.setUnderline(parsed->underline);
  } else {
    f.setPixelSize(12);
  }
  return f;
}

void DrawText(CPaintContext& ctx, const CDuiString& text, const RECT& rc, const CDuiString& font,
              DWORD color, unsigned style) {
  if (text.IsEmpty() || rc.IsEmpty()) return;
  QPainter& p = ctx.painter();
  QFont f = ResolveFont(ctx.manager(), font);
  p.setFont(f);
  p.setPen(ToQColor(color));
  int flags = 0;
  flags |= (style & kAlignCenter)  ? Qt::AlignHCenter
           : (style & kAlignRight) ? Qt::AlignRight
                                   : Qt::AlignLeft;
  flags |= (style & kAlignVCenter)  ? Qt::AlignVCenter
           : (style & kAlignBottom) ? Qt::AlignBottom
                                    : Qt::AlignTop;
  QString s = ToQString(text);
  if (style & kWordBreak) {
    flags |= Qt::TextWordWrap;
  } else if (style & kEndEllipsis) {
    // Line by line: a text of several lines keeps its breaks.
    QStringList lines = s.split(u'\n');
    for (QString& line : lines) line = QFontMetrics(f).elidedText(line, Qt::ElideRight, rc.Width());
    s = lines.join(u'\n');
  }
  p.drawText(ToQRect(rc), flags, s);
}

void EnsureApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  // Qt names the application after argv[0]; the desktop's accessibility bus and session
  // tools list it by that name, so it is the program's own.
#ifdef __GLIBC__
  static char* argv[] = {program_invocation_short_name, nullptr};
#else
  static char name[] = "kbui";
  static char* argv[] = {name, nullptr};
#endif
  PreferDesktopPortalDialogs();
  // Lives until the process ends: destroying it during static destruction would outlive the
  // windows it owns in the wrong order.
  new QApplication(argc, argv);
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace internal

CBitmap::CBitmap(int width, int height, std::uint32_t fill)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

std::uint32_t CBitmap::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

void CBitmap::SetPixel(int x, int y, std::uint32_t argb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
          static_cast<std::size_t>(x)] = argb;
}

CDuiString CRenderEngine::ImageFileOf(const CDuiString& image) {
  return internal::ParseImageSpec(image).file;
}

CDuiString CRenderEngine::TwinImageName(const CDuiString& file) {
  return internal::TwinImageName(file);
}

std::optional<CBitmap> CRenderEngine::GdiplusLoadBitmap(const CDuiString& image) {
  internal::EnsureApplication();
  auto img = internal::FindImage(ImageFileOf(image));
  if (!img || img->isNull()) return std::nullopt;
  QImage argb = img->convertToFormat(QImage::Format_ARGB32);
  CBitmap bmp(argb.width(), argb.height());
  for (int y = 0; y < argb.height(); ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
    std::copy(line, line + argb.width(),
              bmp.Bits() + static_cast<std::size_t>(y) * static_cast<std::size_t>(argb.width()));
  }
  return bmp;
}

namespace {
// A control whose image text stays the same still shows the new pixels.
void RepaintAllWindows() {
  for (CWindowWnd* w : CWindowWnd::GetOpenWindows())
    if (CPaintManagerUI* pm = w->GetPaintManager()) pm->Invalidate();
}
}  // namespace

void CPaintManagerUI::AddImage(const CDuiString& name, const CBitmap& bitmap, bool alpha) {
  internal::EnsureApplication();
  QImage img(bitmap.GetWidth(), bitmap.GetHeight(),
             alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < bitmap.GetHeight(); ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
    const std::uint32_t* src =
        bitmap.Bits() + static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.GetWidth());
    for (int x = 0; x < bitmap.GetWidth(); ++x) line[x] = alpha ? src[x] : (src[x] | 0xFF000000u);
  }
  internal::AddNamedImage(name, img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  RepaintAllWindows();
}

bool CPaintManagerUI::RemoveImage(const CDuiString& name) {
  bool removed = internal::RemoveNamedImage(name);
  if (removed) RepaintAllWindows();
  return removed;
}
bool CPaintManagerUI::HasImage(const CDuiString& name) { return internal::HasNamedImage(name); }

}  // namespace DuiLib
