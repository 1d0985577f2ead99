// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window hands the hook library's key and mouse-button events to, when a macro
// page set its capture bytes. Recording is built on this by the macro editor; UI thread only.

#include "ui/ui_types.h"

class IMacroRecordingHandler {
 public:
  virtual ~IMacroRecordingHandler() = default;
  // `message` is the hook's key or mouse-button message with its wParam and lParam.
  virtual void OnHookEvent(DuiLib::UINT message, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) = 0;
};
