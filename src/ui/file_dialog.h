// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's open and save dialogs, behind calls that tests can answer.
//
// Where the dialog starts: in the folder of the last file chosen in any file dialog of this
// run, else in the user's home folder; a save dialog offers the suggested name there. The
// dialog is the desktop's own where Qt offers one (through the XDG desktop portal, or the
// desktop's platform theme), else Qt's own dialog in the skin's dark colours.

#include <functional>
#include <optional>

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

struct FileDialogRequest {
  HWND owner = nullptr;
  bool save = false;
  CDuiString title;
  // One filter: a label and ';'-separated patterns ("Keyboard Profile File", "*.kpo;*.KPO").
  CDuiString filter_label;
  CDuiString filter_pattern;
  // Added to a chosen name that has no extension ("kpo").
  CDuiString default_extension;
  // A save dialog's offered file name, without folder ("Game.kpo"); empty offers none.
  CDuiString suggested_name;
  // Where the dialog starts: a folder, or a folder and the offered name. Empty: the library
  // fills it in as said above (the handler of a test sees the filled-in path).
  CDuiString initial_path;
};

// The chosen path (UTF-16, absolute), or nothing when the user cancelled. A save dialog asks
// before replacing a file; an open dialog accepts only existing files.
std::optional<CDuiString> GetOpenFileName(const FileDialogRequest& request);
std::optional<CDuiString> GetSaveFileName(const FileDialogRequest& request);

// A file name made from a profile's or macro's name: characters no file name may hold ('/'
// and NUL) become '_', a leading '.' (a hidden file) too, and `extension` is appended.
CDuiString FileNameFor(const CDuiString& name, const CDuiString& extension);

// Test seam: while set, the handler answers instead of the system dialog (nullopt = cancel).
// The default extension is still added to its answer. Setting it (also to null) forgets the
// folder last used.
using FileDialogHandler = std::function<std::optional<CDuiString>(const FileDialogRequest&)>;
void SetFileDialogHandlerForTesting(FileDialogHandler handler);

}  // namespace DuiLib
