// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <map>

#include "ui/dialog_builder.h"

namespace DuiLib::internal {

// The built-in classes beyond the basic ones (lists, combos, sliders, menus ...).
void RegisterMoreBuiltins(std::map<CDuiString, CControlFactory::Creator>& builtins);

}  // namespace DuiLib::internal
