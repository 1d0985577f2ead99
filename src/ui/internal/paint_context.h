// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a control paints with. Qt stays inside the library: public headers only forward-declare
// CPaintContext.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>

#include "ui/control.h"
#include "ui/paint_manager.h"

namespace DuiLib {

class CPaintContext {
 public:
  CPaintContext(QPainter& painter, CPaintManagerUI* pm) : painter_(painter), pm_(pm) {}
  QPainter& painter() { return painter_; }
  CPaintManagerUI* manager() const { return pm_; }

 private:
  QPainter& painter_;
  CPaintManagerUI* pm_;
};

namespace internal {

inline QRect ToQRect(const RECT& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
inline QColor ToQColor(DWORD argb) {
  return QColor(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                static_cast<int>(argb & 0xFF), static_cast<int>((argb >> 24) & 0xFF));
}
inline QString ToQString(const CDuiString& s) {
  return QString::fromUtf16(s.GetData(), static_cast<qsizetype>(s.GetLength()));
}
inline CDuiString FromQString(const QString& s) {
  return CDuiString(std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                                   static_cast<std::size_t>(s.size())));
}

// The font a control names (theme id), falling back to the theme's default font.
QFont ResolveFont(const CPaintManagerUI* pm, const CDuiString& id);
// Returns once the font configuration read ahead (ui/font_configuration.h) is done; at once when
// none was started. ResolveFont waits for it, so that Qt never reads the configuration alongside.
void AwaitFontConfiguration();

// Text alignment bits for DrawText.
enum TextStyle : unsigned {
  kAlignLeft = 0,
  kAlignCenter = 1,
  kAlignRight = 2,
  kAlignTop = 0,
  kAlignVCenter = 4,
  kAlignBottom = 8,
  kWordBreak = 16,
  kEndEllipsis = 32,
};
void DrawText(CPaintContext& ctx, const CDuiString& text, const RECT& rc, const CDuiString& font,
              DWORD color, unsigned style);

// Draws an image-syntax text into `rc` (dest='...' is relative to it). False when the image is
// missing.
bool DrawImage(CPaintContext& ctx, const CDuiString& image, const RECT& rc);

// The loaded image for a file or in-memory name (cached), or null.
std::shared_ptr<const QImage> FindImage(const CDuiString& file);
// "skins/a.png" -> "skins/a@2x.png" (a name without extension gets "@2x" appended): the skin's
// twice-size variant of an image.
CDuiString TwinImageName(const CDuiString& file);
// The image to draw on a device of `device_pixel_ratio`: above 1 the twice-size twin when there
// is one of exactly twice the size (scale 2), else the image itself (scale 1).
struct ScaledImage {
  std::shared_ptr<const QImage> image;
  int scale = 1;
};
ScaledImage FindImageForScale(const CDuiString& file, qreal device_pixel_ratio);
// An icon of a skin image and its twice-size twin, read through the image cache. Qt's own
// icon from a file name probes the content and so loads every image format plugin.
QIcon IconOfImageFile(const CDuiString& file);
void AddNamedImage(const CDuiString& name, QImage image);
bool RemoveNamedImage(const CDuiString& name);
bool HasNamedImage(const CDuiString& name);
// Files only (the skin folder changed), or files and named images (Term).
void ClearFileImageCache();
void ClearImageCache();

// The paint manager a CDialogBuilder is building for on this thread (window-local colours
// resolve against it before the control joins the tree), or null.
CPaintManagerUI* BuildingManager();
void SetBuildingManager(CPaintManagerUI* pm);

// Makes sure a QApplication exists (tests and benchmarks run without a main that makes one).
void EnsureApplication();
// Before the application exists: lets Qt show the desktop's file dialog through the XDG desktop
// portal where its plugin is installed and the user chose no platform theme (file_dialog.cpp).
void PreferDesktopPortalDialogs();

}  // namespace internal
}  // namespace DuiLib
