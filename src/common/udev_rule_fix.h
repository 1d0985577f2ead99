// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the user does when the keyboard is there but its hidraw node may not be opened, as the
// program and kbctl tell it: in a build tree or a copied folder, install the udev rule that
// comes with the program; where the package installed the rule already, let udev apply it to
// the keyboard that is plugged in.

#include <filesystem>
#include <string>

#include "common/app_directory.h"

namespace kb {

struct UdevRuleFix {
  std::filesystem::path installed_rule;  // where the package put the rule; empty when none did
  std::string command;                   // the one command line to run, then replug
};

UdevRuleFix UdevRuleFixFor(const AppPaths& paths);

}  // namespace kb
