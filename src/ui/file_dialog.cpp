#include "ui/file_dialog.h"

#include <QFileDialog>
#include <QStringList>
#include <filesystem>

#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace {

FileDialogHandler& Handler() {
  static FileDialogHandler* h = new FileDialogHandler;
  return *h;
}

CDuiString WithDefaultExtension(const CDuiString& path, const CDuiString& ext) {
  if (ext.IsEmpty()) return path;
  std::filesystem::path p(path.ToUtf8());
  if (p.has_extension()) return path;
  return path + u"." + ext;
}

std::optional<CDuiString> Run(const FileDialogRequest& req) {
  std::optional<CDuiString> answer;
  if (Handler()) {
    answer = Handler()(req);
  } else {
    internal::EnsureApplication();
    CWindowWnd* owner = CWindowWnd::FromHandle(req.owner);
    QFileDialog dlg(owner ? owner->NativeHostForTesting() : nullptr, internal::ToQString(req.title),
                    internal::ToQString(req.initial_path));
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
    } else {
      dlg.setAcceptMode(QFileDialog::AcceptOpen);
      dlg.setFileMode(QFileDialog::ExistingFile);
    }
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
      answer = internal::FromQString(dlg.selectedFiles().front());
  }
  if (!answer || answer->IsEmpty()) return std::nullopt;
  return req.save ? WithDefaultExtension(*answer, req.default_extension) : *answer;
}

}  // namespace

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

void SetFileDialogHandlerForTesting(FileDialogHandler handler) { Handler() = std::move(handler); }

}  // namespace DuiLib
