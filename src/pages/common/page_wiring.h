// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window hands every page at start-up (owner window, hook table, capture flags)
// and what the controller hands it (the model's data). Every page keeps the same four values.

#include "pages/common/hook_table.h"
#include "session/model_data.h"
#include "ui/ui_types.h"

namespace kb {

struct PageWiring {
  DuiLib::HWND owner = nullptr;
  const HookFunctionTable* hooks = nullptr;
  CaptureFlags* capture = nullptr;
};

}  // namespace kb
