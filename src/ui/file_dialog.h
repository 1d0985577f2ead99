#pragma once
// The system's open and save dialogs, behind calls that tests can answer.

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
  CDuiString initial_path;
};

// The chosen path (UTF-16, absolute), or nothing when the user cancelled. A save dialog asks
// before replacing a file; an open dialog accepts only existing files.
std::optional<CDuiString> GetOpenFileName(const FileDialogRequest& request);
std::optional<CDuiString> GetSaveFileName(const FileDialogRequest& request);

// Test seam: while set, the handler answers instead of the system dialog (nullopt = cancel).
// The default extension is still added to its answer.
using FileDialogHandler = std::function<std::optional<CDuiString>(const FileDialogRequest&)>;
void SetFileDialogHandlerForTesting(FileDialogHandler handler);

}  // namespace DuiLib
