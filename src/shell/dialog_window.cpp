// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/dialog_window.h"

DuiLib::UINT RunOwnedDialog(DuiLib::WindowImplBase& dialog, DuiLib::HWND owner,
                            const DuiLib::CDuiString& window_text) {
  // The rectangle only seeds the window: the layout's own size replaces it.
  const DuiLib::RECT seed{0, 0, 800, 800};
  if (dialog.Create(owner, window_text, DuiLib::WS_POPUP | DuiLib::WS_VISIBLE,
                    DuiLib::WS_EX_TOOLWINDOW, seed) == nullptr)
    return 0;
  // Without its layout the window would be an empty frame without buttons: answer as Cancel
  // would, so that no confirmation counts as given and no name as entered.
  if (!dialog.IsLayoutBuilt()) {
    dialog.DestroyWindow();
    return 0;
  }
  dialog.CenterWindow();
  return dialog.ShowModal();
}
