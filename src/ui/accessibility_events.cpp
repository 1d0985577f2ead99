// SPDX-License-Identifier: GPL-3.0-or-later
// Changes of controls become Qt accessibility events, so that a screen reader follows the
// focus, hears new names and values, and sees controls come and go.
#include <QAccessible>

#include "ui/combo.h"
#include "ui/control.h"
#include "ui/internal/accessibility.h"
#include "ui/internal/accessible_control.h"
#include "ui/internal/host_widget.h"
#include "ui/list.h"
#include "ui/slider.h"
#include "ui/window.h"

namespace DuiLib::internal {
namespace {

AccessibleEventObserver g_observer = nullptr;

void Dispatch(QAccessibleEvent* ev) {
  if (g_observer) g_observer(ev);
  QAccessible::updateAccessibility(ev);
}

void Send(QAccessibleInterface* a, QAccessible::Event type) {
  if (!a) return;
  QAccessibleEvent ev(a, type);
  Dispatch(&ev);
}

void SendState(QAccessibleInterface* a, QAccessible::State changed) {
  if (!a) return;
  QAccessibleStateChangeEvent ev(a, changed);
  Dispatch(&ev);
}

void SendValue(AccessibleControl* a) {
  if (!a) return;
  QVariant value;
  if (auto* v = a->valueInterface())
    value = v->currentValue();
  else
    value = a->text(QAccessible::Value);
  QAccessibleValueChangeEvent ev(a, value);
  Dispatch(&ev);
}

}  // namespace

void SetAccessibleEventObserverForTesting(AccessibleEventObserver observer) {
  g_observer = observer;
}

void ReportWindowShown(CWindowWnd* window) {
  if (!window || !window->IsWindow()) return;
  Send(QAccessible::queryAccessibleInterface(window->NativeHostForTesting()),
       QAccessible::NameChanged);
}

void ReportAccessibleChange(CControlUI* c, AccessibleChange change) {
  if (!c) return;
  AccessibleControl* a = AccessibleControl::Existing(c);
  switch (change) {
    case AccessibleChange::kName:
      Send(a, QAccessible::NameChanged);
      break;
    case AccessibleChange::kDescription:
      Send(a, QAccessible::DescriptionChanged);
      break;
    case AccessibleChange::kValue:
      SendValue(a);
      break;
    case AccessibleChange::kText:
      if (a) {
        // One update for the whole line: the field is short, and the reader re-reads it.
        QAccessibleTextUpdateEvent ev(a, 0, QString(), a->text(QAccessible::Value));
        Dispatch(&ev);
        SendValue(a);
      }
      break;
    case AccessibleChange::kChecked: {
      QAccessible::State s;
      s.checked = true;
      s.selected = true;
      SendState(a, s);
      break;
    }
    case AccessibleChange::kEnabled: {
      QAccessible::State s;
      s.disabled = true;
      SendState(a, s);
      break;
    }
    case AccessibleChange::kPopup: {
      QAccessible::State s;
      s.expanded = true;
      s.collapsed = true;
      SendState(a, s);
      break;
    }
    case AccessibleChange::kSelection: {
      // `c` is the newly selected item, or the owner when nothing is selected any more.
      CControlUI* owner = dynamic_cast<IListItemUI*>(c) ? c->GetParent() : c;
      if (owner != c) {
        AccessibleControl* item = AccessibleControl::For(c);
        Send(item, QAccessible::Selection);
        if (owner && owner->IsFocused()) Send(item, QAccessible::Focus);
      }
      if (owner && owner->GetInterface(u"Combo")) {
        AccessibleControl* combo = AccessibleControl::Existing(owner);
        SendValue(combo);
        Send(combo, QAccessible::NameChanged);
      }
      break;
    }
    case AccessibleChange::kFocus: {
      AccessibleControl* f = AccessibleControl::For(c);
      // A list is worked at its selected row.
      if (auto* list = dynamic_cast<CListUI*>(c); list && list->GetItemAt(list->GetCurSel()))
        f = AccessibleControl::For(list->GetItemAt(list->GetCurSel()));
      Send(f, QAccessible::Focus);
      break;
    }
    case AccessibleChange::kShown:
      // Announced only where an assistive technology has seen the parent.
      if (a || AccessibleControl::Existing(c->GetParent()))
        Send(AccessibleControl::For(c), QAccessible::ObjectShow);
      break;
    case AccessibleChange::kHidden:
      Send(a, QAccessible::ObjectHide);
      break;
    case AccessibleChange::kAdded:
      // The bridge tells the parent's readers that a child came, at its index.
      if (AccessibleControl::Existing(c->GetParent()))
        Send(AccessibleControl::For(c), QAccessible::ObjectCreated);
      break;
    case AccessibleChange::kRemoved:
      if (a) {
        Send(a, QAccessible::ObjectDestroyed);
        ForgetAccessibleObject(c);
      }
      break;
  }
}

}  // namespace DuiLib::internal
