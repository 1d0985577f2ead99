// SPDX-License-Identifier: GPL-3.0-or-later
// A window's native widget for assistive technologies: a window, dialog or menu window whose
// child is the root control of its layout.
#include <QAccessibleWidget>
#include <QWindow>

#include "ui/combo.h"
#include "ui/control.h"
#include "ui/internal/accessibility.h"
#include "ui/internal/accessible_control.h"
#include "ui/internal/accessible_naming.h"
#include "ui/internal/combo_drop_window.h"
#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

namespace DuiLib::internal {
namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* host = dynamic_cast<HostWidget*>(object)) return new AccessibleWindow(host);
  if (auto* drop = dynamic_cast<ComboDropWindow*>(object)) return new AccessibleDropDown(drop);
  return nullptr;
}

}  // namespace

void InstallAccessibleFactory() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(&Factory);
}

AccessibleWindow::AccessibleWindow(HostWidget* host)
    : QAccessibleWidget(host, QAccessible::Window) {}

CWindowWnd* AccessibleWindow::windowObject() const {
  auto* host = static_cast<HostWidget*>(widget());
  return host ? host->window() : nullptr;
}

CControlUI* AccessibleWindow::root() const {
  CWindowWnd* w = windowObject();
  CPaintManagerUI* pm = w ? w->GetPaintManager() : nullptr;
  CControlUI* r = pm ? pm->GetRoot() : nullptr;
  return r && r->IsVisible() ? r : nullptr;
}

QAccessibleInterface* AccessibleWindow::focusChild() const {
  CWindowWnd* w = windowObject();
  CPaintManagerUI* pm = w ? w->GetPaintManager() : nullptr;
  if (!pm) return nullptr;
  if (CControlUI* focus = pm->GetFocus()) return AccessibleControl::For(focus);
  // A menu works by its highlight, not by the focus.
  if (auto* menu = dynamic_cast<CMenuUI*>(pm->GetRoot()))
    for (int i = 0; i < menu->GetCount(); ++i)
      if (auto* item = dynamic_cast<CMenuElementUI*>(menu->GetItemAt(i)); item && item->IsHot())
        return AccessibleControl::For(item);
  return nullptr;
}

QAccessibleInterface* AccessibleWindow::childAt(int x, int y) const {
  QAccessibleInterface* r = child(0);
  return r && r->rect().contains(x, y) ? r : nullptr;
}

QAccessibleInterface* AccessibleWindow::child(int index) const {
  return index == 0 ? AccessibleControl::For(root()) : nullptr;
}

int AccessibleWindow::childCount() const { return root() ? 1 : 0; }

int AccessibleWindow::indexOfChild(const QAccessibleInterface* child) const {
  return child && child == AccessibleControl::Existing(root()) ? 0 : -1;
}

QString AccessibleWindow::text(QAccessible::Text t) const {
  if (t == QAccessible::Name) return ToQString(AccessibleWindowNameOf(windowObject()));
  return QAccessibleWidget::text(t);
}

QAccessible::Role AccessibleWindow::role() const {
  QWidget* w = widget();
  if (!w) return QAccessible::Window;
  // Menus are windows of their own; their root is the menu. Owned, tool and modal windows are
  // dialogs.
  if (dynamic_cast<CMenuUI*>(root())) return QAccessible::Window;
  CWindowWnd* wnd = windowObject();
  if ((wnd && wnd->IsModal()) || w->windowType() == Qt::Tool ||
      (w->windowHandle() && w->windowHandle()->transientParent()))
    return QAccessible::Dialog;
  return QAccessible::Window;
}

QAccessible::State AccessibleWindow::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  if (CWindowWnd* w = windowObject(); w && w->IsModal()) s.modal = true;
  return s;
}

AccessibleDropDown::AccessibleDropDown(ComboDropWindow* drop)
    : QAccessibleWidget(drop, QAccessible::List) {}

QAccessibleInterface* AccessibleDropDown::combo() const {
  auto* drop = static_cast<ComboDropWindow*>(widget());
  return drop ? AccessibleControl::For(drop->owner()) : nullptr;
}

QAccessibleInterface* AccessibleDropDown::child(int index) const {
  QAccessibleInterface* c = combo();
  return c ? c->child(index) : nullptr;
}

int AccessibleDropDown::childCount() const {
  QAccessibleInterface* c = combo();
  return c ? c->childCount() : 0;
}

int AccessibleDropDown::indexOfChild(const QAccessibleInterface* child) const {
  QAccessibleInterface* c = combo();
  return c ? c->indexOfChild(child) : -1;
}

QAccessibleInterface* AccessibleDropDown::childAt(int x, int y) const {
  for (int i = 0; i < childCount(); ++i)
    if (QAccessibleInterface* item = child(i); item && item->rect().contains(x, y)) return item;
  return nullptr;
}

QString AccessibleDropDown::text(QAccessible::Text t) const {
  QAccessibleInterface* c = combo();
  if (t == QAccessible::Name && c) return c->text(QAccessible::Name);
  return QAccessibleWidget::text(t);
}

}  // namespace DuiLib::internal
