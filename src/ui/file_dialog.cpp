// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPalette>
#include <QStringList>
#include <filesystem>

#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/theme.h"
#include "ui/window.h"

namespace DuiLib {
namespace {

FileDialogHandler& Handler() {
  static FileDialogHandler* h = new FileDialogHandler;
  return *h;
}

// The folder of the last file chosen in this run; empty before the first.
CDuiString& LastFolder() {
  static CDuiString* folder = new CDuiString;
  return *folder;
}

CDuiString WithDefaultExtension(const CDuiString& path, const CDuiString& ext) {
  if (ext.IsEmpty()) return path;
  std::filesystem::path p(path.ToUtf8());
  if (p.has_extension()) return path;
  return path + u"." + ext;
}

CDuiString StartPath(const FileDialogRequest& req) {
  if (!req.initial_path.IsEmpty()) return req.initial_path;
  internal::EnsureApplication();
  CDuiString folder = LastFolder();
  if (folder.IsEmpty()) folder = internal::FromQString(QDir::homePath());
  if (!req.save || req.suggested_name.IsEmpty()) return folder;
  return internal::FromQString(
      QDir(internal::ToQString(folder)).filePath(internal::ToQString(req.suggested_name)));
}

QColor ThemeColor(const char16_t* name, QColor fallback) {
  DWORD argb = 0;
  if (!CTheme::Global().FindColor(CDuiString(name), argb)) return fallback;
  return QColor::fromRgba(argb);
}

// Qt's own dialog in the skin's colours. A dialog of the desktop draws itself and ignores it.
QPalette SkinPalette() {
  QPalette p;
  const QColor window = ThemeColor(u"window", QColor(0x1B, 0x1E, 0x24));
  const QColor panel = ThemeColor(u"panel", QColor(0x23, 0x27, 0x2F));
  const QColor field = ThemeColor(u"field", QColor(0x17, 0x1A, 0x1F));
  const QColor surface = ThemeColor(u"surface", QColor(0x2D, 0x32, 0x3C));
  const QColor text = ThemeColor(u"text", QColor(0xE6, 0xE8, 0xEC));
  const QColor dim = ThemeColor(u"text_dim", QColor(0x9A, 0xA2, 0xB1));
  const QColor disabled = ThemeColor(u"text_disabled", QColor(0x5C, 0x63, 0x70));
  const QColor selection = ThemeColor(u"selection", QColor(0x1F, 0x5F, 0x86));
  const QColor accent = ThemeColor(u"accent", QColor(0x2F, 0xA8, 0xE8));
  const QColor border = ThemeColor(u"border", QColor(0x45, 0x4C, 0x59));
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, field);
  p.setColor(QPalette::AlternateBase, panel);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::PlaceholderText, dim);
  p.setColor(QPalette::Button, surface);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, text);
  p.setColor(QPalette::Highlight, selection);
  p.setColor(QPalette::HighlightedText, text);
  p.setColor(QPalette::Link, accent);
  p.setColor(QPalette::ToolTipBase, panel);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Light, border);
  p.setColor(QPalette::Midlight, surface);
  p.setColor(QPalette::Mid, border);
  p.setColor(QPalette::Dark, window);
  p.setColor(QPalette::Shadow, QColor(0, 0, 0));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, disabled);
  return p;
}

std::optional<CDuiString> Run(const FileDialogRequest& request) {
  FileDialogRequest req = request;
  req.initial_path = StartPath(request);
  std::optional<CDuiString> answer;
  if (Handler()) {
    answer = Handler()(req);
  } else {
    internal::EnsureApplication();
    CWindowWnd* owner = CWindowWnd::FromHandle(req.owner);
    // A folder to start in and, for a save with a suggestion, the name offered there.
    const QString start = internal::ToQString(req.initial_path);
    const bool offers_name = req.save && !req.suggested_name.IsEmpty();
    QFileDialog dlg(owner ? owner->NativeHostForTesting() : nullptr, internal::ToQString(req.title),
                    offers_name ? QFileInfo(start).absolutePath() : start);
    dlg.setPalette(SkinPalette());
    if (!req.filter_pattern.IsEmpty()) {
      QStringList patterns =
          internal::ToQString(req.filter_pattern).split(u';', Qt::SkipEmptyParts);
      dlg.setNameFilter(internal::ToQString(req.filter_label) + QStringLiteral(" (") +
                        patterns.join(u' ') + QStringLiteral(")"));
    }
    if (req.save) {
      dlg.setAcceptMode(QFileDialog::AcceptSave);
      dlg.setFileMode(QFileDialog::AnyFile);
      if (!req.default_extension.IsEmpty())
        dlg.setDefaultSuffix(internal::ToQString(req.default_extension));
      if (offers_name) dlg.selectFile(QFileInfo(start).fileName());
    } else {
      dlg.setAcceptMode(QFileDialog::AcceptOpen);
      dlg.setFileMode(QFileDialog::ExistingFile);
    }
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
      answer = internal::FromQString(dlg.selectedFiles().front());
  }
  if (!answer || answer->IsEmpty()) return std::nullopt;
  const CDuiString chosen =
      req.save ? WithDefaultExtension(*answer, req.default_extension) : *answer;
  const std::filesystem::path folder = std::filesystem::path(chosen.ToUtf8()).parent_path();
  if (!folder.empty()) LastFolder() = CDuiString(folder.string());
  return chosen;
}

}  // namespace

namespace internal {

void PreferDesktopPortalDialogs() {
  // The user's or the desktop's own choice stands; tests and the offscreen platform have no
  // desktop to ask.
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME")) return;
  if (qEnvironmentVariable("QT_QPA_PLATFORM") == QStringLiteral("offscreen")) return;
  const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                         QStringLiteral("/platformthemes/libqxdgdesktopportal.so");
  // The portal theme keeps the desktop's theme underneath and falls back to its dialog (or
  // Qt's own) where no portal answers.
  if (QFileInfo::exists(plugin)) qputenv("QT_QPA_PLATFORMTHEME", "xdgdesktopportal");
}

}  // namespace internal

std::optional<CDuiString> GetOpenFileName(const FileDialogRequest& request) {
  FileDialogRequest r = request;
  r.save = false;
  return Run(r);
}

std::optional<CDuiString> GetSaveFileName(const FileDialogRequest& request) {
  FileDialogRequest r = request;
  r.save = true;
  return Run(r);
}

CDuiString FileNameFor(const CDuiString& name, const CDuiString& extension) {
  std::u16string file(name.view());
  for (char16_t& c : file)
    if (c == u'/' || c == u'\0') c = u'_';
  if (!file.empty() && file.front() == u'.') file.front() = u'_';
  if (file.empty()) return {};
  if (!extension.IsEmpty()) {
    // Appended piece by piece: GCC 12 at -O3 misreads a temporary joined in front here.
    file += u'.';
    file.append(extension.view());
  }
  return CDuiString(file);
}

void SetFileDialogHandlerForTesting(FileDialogHandler handler) {
  Handler() = std::move(handler);
  LastFolder() = CDuiString();
}

}  // namespace DuiLib
