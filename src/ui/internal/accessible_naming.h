// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the library describes a control to assistive technologies: its role by class, the name
// a person hears, its description, and which of its children are worth an accessible object.
// The rules are listed in src/ui/README.md, section "Accessibility".

#include <QAccessible>
#include <vector>

#include "ui/dui_string.h"

namespace DuiLib {
class CControlUI;
class CWindowWnd;
namespace internal {

QAccessible::Role AccessibleRoleOf(CControlUI* control);
// Explicit accessible name, then the label it names, then what the control shows, then its
// tooltip. Language keys are resolved.
CDuiString AccessibleNameOf(CControlUI* control);
CDuiString AccessibleDescriptionOf(CControlUI* control);
// The value an edit, combo, slider, progress bar or colour palette shows, as text.
CDuiString AccessibleValueTextOf(CControlUI* control);
// Roles a user works with; the tree check wants a name on each of them.
bool IsInteractiveRole(QAccessible::Role role);
// The children that get accessible objects: visible ones, without the spacers and plain boxes
// that show nothing. Rows of a list count while visible, also when scrolled out of view.
std::vector<CControlUI*> AccessibleChildrenOf(CControlUI* control);
// The text of the first label of a window's caption area, or empty.
CDuiString CaptionTitleOf(CWindowWnd* window);
// A window's name: its root's accessible name, else its desktop title (CWindowWnd).
CDuiString AccessibleWindowNameOf(CWindowWnd* window);

}  // namespace internal
}  // namespace DuiLib
