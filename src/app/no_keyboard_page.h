// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words of the main window's no-keyboard page. A keyboard that is not there is asked for; a
// keyboard that is there but whose device node this user may not open is named, with its node
// and the udev rule that lets the user open it.

#include "common/udev_rule_fix.h"
#include "device/device_access.h"
#include "ui/paint_manager.h"

namespace kb::app {

void ShowNoKeyboardReason(DuiLib::CPaintManagerUI& pm, const DeviceAccess& access,
                          const UdevRuleFix& fix);

}  // namespace kb::app
