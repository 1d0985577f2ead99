// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What controls tell assistive technologies (screen readers, desktop automation over AT-SPI)
// about themselves. Controls report their changes here; the reports become Qt accessibility
// events. Until an assistive technology has asked a window for its tree, a report costs one
// test of a flag, so users without one pay nothing. UI thread only.

namespace DuiLib {
class CControlUI;
class CWindowWnd;
namespace internal {

enum class AccessibleChange {
  kName,         // text, tooltip, accessible name, language
  kDescription,  // accessible description
  kValue,        // slider or progress value, colour
  kText,         // an edit's text
  kChecked,      // option or check box state
  kEnabled,
  kSelection,  // list or combo selection; `control` is the newly selected item or the owner
  kFocus,      // `control` took the keyboard focus
  kShown,
  kHidden,
  kPopup,    // a combo's drop-down opened or closed
  kAdded,    // joined a container of a window
  kRemoved,  // about to leave its container (still attached)
};

// True once an assistive technology has asked for an accessible object of a control.
bool AccessibleObjectsInUse();
void ReportAccessibleChange(CControlUI* control, AccessibleChange change);
inline void AccessibleChanged(CControlUI* control, AccessibleChange change) {
  if (AccessibleObjectsInUse()) ReportAccessibleChange(control, change);
}
// The control is being destroyed: its accessible object answers as invalid from now on.
void ForgetAccessibleObject(CControlUI* control);
inline void AccessibleGone(CControlUI* control) {
  if (AccessibleObjectsInUse()) ForgetAccessibleObject(control);
}

// The window was shown. Its name is its title, which the window sets after it was created (a
// message box gets its title key in its initialisation); a reader that asked for the name at
// creation hears the title now.
void ReportWindowShown(CWindowWnd* window);
inline void AccessibleWindowShown(CWindowWnd* window) {
  if (AccessibleObjectsInUse()) ReportWindowShown(window);
}

// Makes Qt answer the library's own accessible object for a window's native widget. Called
// when the first window is created.
void InstallAccessibleFactory();

}  // namespace internal
}  // namespace DuiLib
