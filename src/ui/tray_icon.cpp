// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tray_icon.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <filesystem>

#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"
#include "ui/ui_messages.h"
#include "ui/window.h"

namespace DuiLib {

struct CTrayIcon::Impl {
  std::unique_ptr<QSystemTrayIcon> icon;
  HWND hwnd = nullptr;
  UINT id = 0;
  UINT message = 0;
  CDuiString tooltip;
  void Post(bool right) const {
    if (message)
      PostMessage(hwnd, message, id, static_cast<LPARAM>(right ? WM_RBUTTONUP : WM_LBUTTONUP));
  }
};

CTrayIcon::CTrayIcon() : d_(std::make_unique<Impl>()) {}
CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

bool CTrayIcon::IsSystemTrayAvailable() {
  internal::EnsureApplication();
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CTrayIcon::CreateTrayIcon(HWND hwnd, UINT icon_id, const CDuiString& tooltip, UINT message,
                               const CDuiString& icon_file) {
  internal::EnsureApplication();
  DeleteTrayIcon();
  d_->hwnd = hwnd;
  d_->id = icon_id;
  d_->message = message;
  d_->tooltip = tooltip;
  d_->icon = std::make_unique<QSystemTrayIcon>(internal::IconOfImageFile(icon_file));
  d_->icon->setToolTip(internal::ToQString(tooltip));
  Impl* impl = d_.get();
  QObject::connect(d_->icon.get(), &QSystemTrayIcon::activated,
                   [impl](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger)
                       impl->Post(false);
                     else if (reason == QSystemTrayIcon::Context)
                       impl->Post(true);
                   });
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  d_->icon->show();
  return true;
}

void CTrayIcon::DeleteTrayIcon() {
  if (d_->icon) d_->icon->hide();
  d_->icon.reset();
  d_->message = 0;
}

bool CTrayIcon::IsCreated() const { return d_->icon != nullptr; }

void CTrayIcon::SetTooltipText(const CDuiString& tooltip) {
  d_->tooltip = tooltip;
  if (d_->icon) d_->icon->setToolTip(internal::ToQString(tooltip));
}

CDuiString CTrayIcon::GetTooltipText() const { return d_->tooltip; }

void CTrayIcon::SimulateClickForTesting(bool right) {
  if (d_->icon) d_->Post(right);
}

}  // namespace DuiLib
