// SPDX-License-Identifier: GPL-3.0-or-later
// The accessible object of one control: its place in the tree, texts, geometry, states and
// actions.
#include "ui/internal/accessible_control.h"

#include <QTimer>
#include <QWidget>
#include <unordered_map>

#include "ui/button.h"
#include "ui/combo.h"
#include "ui/control.h"
#include "ui/edit.h"
#include "ui/internal/accessibility.h"
#include "ui/internal/accessible_naming.h"
#include "ui/internal/combo_drop_window.h"
#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/list.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

namespace DuiLib::internal {
namespace {

// Control -> id of its registered object. QAccessible owns the objects.
std::unordered_map<const CControlUI*, QAccessible::Id>& Registry() {
  static auto* registry = new std::unordered_map<const CControlUI*, QAccessible::Id>;
  return *registry;
}

bool g_in_use = false;

bool EnabledWithAncestors(const CControlUI* c) {
  for (; c; c = c->GetParent())
    if (!c->IsEnabled()) return false;
  return true;
}

// The row's place in the list while it is laid out, or false when it is scrolled away.
bool RowInView(CControlUI* c) {
  auto* list = c->GetParent() ? dynamic_cast<CListUI*>(c->GetParent()) : nullptr;
  if (!list) return true;
  const int index = list->GetItemIndex(c);
  const auto [first, last] = list->VisibleRange();
  return index >= first && index < last;
}

bool IsComboItem(CControlUI* c) { return c->GetParent() && c->GetParent()->GetInterface(u"Combo"); }

}  // namespace

bool AccessibleObjectsInUse() { return g_in_use; }

AccessibleControl* AccessibleControl::Existing(const CControlUI* control) {
  if (!control || !g_in_use) return nullptr;
  auto& reg = Registry();
  auto it = reg.find(control);
  if (it == reg.end()) return nullptr;
  return static_cast<AccessibleControl*>(QAccessible::accessibleInterface(it->second));
}

AccessibleControl* AccessibleControl::For(CControlUI* control) {
  if (!control || !control->GetManager() || !control->GetManager()->GetWindow()) return nullptr;
  if (AccessibleControl* a = Existing(control)) return a;
  AccessibleControl* a;
  if (control->GetInterface(u"Progress"))
    a = new AccessibleRange(control);
  else if (control->GetInterface(u"Edit"))
    a = new AccessibleEdit(control);
  else
    a = new AccessibleControl(control);
  g_in_use = true;
  Registry()[control] = QAccessible::registerAccessibleInterface(a);
  return a;
}

void ForgetAccessibleObject(CControlUI* control) {
  auto& reg = Registry();
  auto it = reg.find(control);
  if (it == reg.end()) return;
  const QAccessible::Id id = it->second;
  reg.erase(it);
  if (auto* a = static_cast<AccessibleControl*>(QAccessible::accessibleInterface(id))) a->Detach();
  QAccessible::deleteAccessibleInterface(id);
}

CPaintManagerUI* AccessibleControl::manager() const {
  return control_ ? control_->GetManager() : nullptr;
}

HostWidget* AccessibleControl::host() const {
  CPaintManagerUI* pm = manager();
  CWindowWnd* w = pm ? pm->GetWindow() : nullptr;
  return w ? w->NativeHostForTesting() : nullptr;
}

bool AccessibleControl::isValid() const { return host() != nullptr; }

QWindow* AccessibleControl::window() const {
  HostWidget* h = host();
  return h ? h->windowHandle() : nullptr;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>> AccessibleControl::relations(
    QAccessible::Relation match) const {
  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> out;
  if (!isValid() || !(match & QAccessible::Labelled)) return out;
  const CDuiString label = control_->GetAccessibleLabel();
  if (label.IsEmpty()) return out;
  if (AccessibleControl* l = For(manager()->FindControl(label)))
    out.append({l, QAccessible::Labelled});
  return out;
}

QAccessibleInterface* AccessibleControl::focusChild() const {
  if (!isValid()) return nullptr;
  CControlUI* focus = manager()->GetFocus();
  for (CControlUI* f = focus ? focus->GetParent() : nullptr; f; f = f->GetParent())
    if (f == control_) return For(focus);
  return nullptr;
}

QAccessibleInterface* AccessibleControl::childAt(int x, int y) const {
  const int n = childCount();
  for (int i = 0; i < n; ++i) {
    QAccessibleInterface* c = child(i);
    if (c && c->rect().contains(x, y)) return c;
  }
  return nullptr;
}

QAccessibleInterface* AccessibleControl::parent() const {
  if (!isValid()) return nullptr;
  if (CControlUI* p = control_->GetParent()) return For(p);
  return QAccessible::queryAccessibleInterface(host());
}

QAccessibleInterface* AccessibleControl::child(int index) const {
  if (!isValid() || index < 0) return nullptr;
  const std::vector<CControlUI*> children = AccessibleChildrenOf(control_);
  if (index >= static_cast<int>(children.size())) return nullptr;
  return For(children[static_cast<std::size_t>(index)]);
}

int AccessibleControl::childCount() const {
  return isValid() ? static_cast<int>(AccessibleChildrenOf(control_).size()) : 0;
}

int AccessibleControl::indexOfChild(const QAccessibleInterface* child) const {
  const auto* c = dynamic_cast<const AccessibleControl*>(child);
  if (!isValid() || !c || !c->control_) return -1;
  const std::vector<CControlUI*> children = AccessibleChildrenOf(control_);
  for (std::size_t i = 0; i < children.size(); ++i)
    if (children[i] == c->control_) return static_cast<int>(i);
  return -1;
}

QString AccessibleControl::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  switch (t) {
    case QAccessible::Name:
      return ToQString(AccessibleNameOf(control_));
    case QAccessible::Description:
      return ToQString(AccessibleDescriptionOf(control_));
    case QAccessible::Value:
      return ToQString(AccessibleValueTextOf(control_));
    default:
      return {};
  }
}

void AccessibleControl::setText(QAccessible::Text, const QString&) {}

QRect AccessibleControl::rect() const {
  HostWidget* h = host();
  if (!h || !control_->IsVisible()) return {};
  if (IsComboItem(control_)) {
    // Items are drawn only in the open drop-down.
    auto* combo = static_cast<CComboUI*>(control_->GetParent());
    auto* drop = combo->DropWindowForTesting();
    IListItemUI* item = dynamic_cast<CListElementUI*>(control_);
    if (!drop || !item) return {};
    RECT r = drop->RowRect(item->GetIndex());
    if (r.IsEmpty()) return {};
    return QRect(drop->mapToGlobal(QPoint(r.left, r.top)), QSize(r.Width(), r.Height()));
  }
  manager()->UpdateLayout();
  if (!RowInView(control_)) return {};
  RECT r = control_->GetPos();
  // A control scrolled out of its parent shows only its visible part.
  for (CControlUI* p = control_->GetParent(); p; p = p->GetParent()) {
    if (!RowInView(p)) return {};
    const RECT& pr = p->GetPos();
    r = {std::max(r.left, pr.left), std::max(r.top, pr.top), std::min(r.right, pr.right),
         std::min(r.bottom, pr.bottom)};
  }
  if (r.IsEmpty()) return {};
  return QRect(h->ContentToGlobal(QPoint(r.left, r.top)), QSize(r.Width(), r.Height()));
}

QAccessible::Role AccessibleControl::role() const {
  return control_ ? AccessibleRoleOf(control_) : QAccessible::NoRole;
}

QAccessible::State AccessibleControl::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  CControlUI* c = control_;
  HostWidget* h = host();
  s.invisible = !c->IsVisible() || !h->isVisible();
  s.offscreen = s.invisible || rect().isEmpty();
  s.disabled = !EnabledWithAncestors(c);
  s.focusable = c->TakesFocus() && c->IsKeyboardEnabled();
  s.focused = c->IsFocused();
  const QAccessible::Role r = role();
  if (auto* option = static_cast<COptionUI*>(c->GetInterface(u"Option"))) {
    if (r == QAccessible::PageTab) {
      s.selectable = true;
      s.selected = option->IsSelected();
    } else {
      s.checkable = true;
      s.checked = option->IsSelected();
    }
  }
  if (auto* entry = dynamic_cast<CMenuElementUI*>(c); entry && entry->IsCheckable()) {
    s.checkable = true;
    s.checked = entry->IsChecked();
  }
  if (auto* item = dynamic_cast<IListItemUI*>(c)) {
    s.selectable = true;
    s.selected = item->IsSelected();
    // In a focused list the selected row is where the keyboard works.
    if (CControlUI* owner = c->GetParent(); owner && owner->IsFocused() && item->IsSelected())
      s.focused = true;
  }
  if (auto* edit = static_cast<CEditUI*>(c->GetInterface(u"Edit"))) {
    s.editable = !edit->IsReadOnly();
    s.readOnly = edit->IsReadOnly();
    s.passwordEdit = edit->IsPasswordMode();
    s.selectableText = true;
  }
  if (auto* combo = static_cast<CComboUI*>(c->GetInterface(u"Combo"))) {
    s.hasPopup = true;
    s.expandable = true;
    s.expanded = combo->IsDropped();
    s.collapsed = !combo->IsDropped();
  }
  if (auto* item = dynamic_cast<CMenuElementUI*>(c); item && !item->IsSeparator()) {
    s.focusable = true;
    s.focused = item->IsHot();
    s.hasPopup = !item->GetSubmenu().IsEmpty();  // it opens a menu beside itself
  }
  if (r == QAccessible::Button) s.pressed = static_cast<CButtonUI*>(c)->IsPushed();
  return s;
}

void* AccessibleControl::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
  return nullptr;
}

QStringList AccessibleControl::actionNames() const {
  QStringList names;
  if (!isValid()) return names;
  switch (role()) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::ListItem:
      names << pressAction();
      break;
    case QAccessible::ComboBox:
      names << pressAction() << showMenuAction();
      break;
    case QAccessible::Slider:
      names << increaseAction() << decreaseAction();
      break;
    default:
      break;
  }
  if (control_->TakesFocus() && control_->IsKeyboardEnabled()) names << setFocusAction();
  return names;
}

void AccessibleControl::doAction(const QString& action) {
  if (!isValid() || !actionNames().contains(action)) return;
  if (action != pressAction() && action != showMenuAction()) {
    Perform(action);
    return;
  }
  // A press runs from the event loop, as a button's animated click does: a press that opens a
  // modal window (a question, a dialog) runs that window's loop inside it, and a screen reader
  // or script waiting on the bus for the call's reply would hang until the window closed. The
  // object may be gone by then (a page rebuilt), so it is looked up again by its id.
  const QAccessible::Id id = QAccessible::uniqueId(this);
  QTimer::singleShot(0, host(), [id, action] {
    if (auto* a = static_cast<AccessibleControl*>(QAccessible::accessibleInterface(id)))
      if (a->isValid()) a->Perform(action);
  });
}

void AccessibleControl::Perform(const QString& action) {
  CControlUI* c = control_;
  CPaintManagerUI* pm = manager();
  if (!c->IsVisible() || !EnabledWithAncestors(c)) return;
  pm->BeginDispatch();
  if (action == setFocusAction()) {
    pm->SetFocus(c);
  } else if (action == pressAction() || action == showMenuAction()) {
    if (auto* item = dynamic_cast<IListItemUI*>(c)) {
      IListOwnerUI* owner = item->GetOwner();
      if (auto* combo = dynamic_cast<CComboUI*>(owner)) {
        // As a choice in the drop-down: it closes, then the combo reports the pick.
        combo->Activate(false);
        combo->SelectItem(item->GetIndex(), true);
      } else if (owner) {
        // As a press on the row: the focus leaves the old control, the list takes it.
        pm->SetFocus(nullptr);
        if (c->GetManager() == pm) owner->SelectItem(item->GetIndex(), true, true);
      }
    } else {
      // As the left button: the focus moves first, then the control acts (see OnButtonDown).
      pm->SetFocus(c->TakesFocus() ? c : nullptr);
      if (c->GetManager() == pm) c->Activate();
    }
  }
  pm->EndDispatch();
}

QStringList AccessibleControl::keyBindingsForAction(const QString&) const { return {}; }

}  // namespace DuiLib::internal
