// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/udev_rule_fix.h"

namespace kb {

UdevRuleFix UdevRuleFixFor(const AppPaths& paths) {
  UdevRuleFix fix;
  fix.installed_rule = InstalledUdevRule(paths);
  // Installed, the rule is in udev's folder already but applies at a device's next event: a
  // keyboard plugged in before the installation, or a session that came later, needs one.
  fix.command = fix.installed_rule.empty()
                    ? "sudo cp dist/70-kbconfig.rules /etc/udev/rules.d/"
                    : "sudo udevadm trigger --subsystem-match=hidraw --action=change";
  return fix;
}

}  // namespace kb
