# SPDX-License-Identifier: GPL-3.0-or-later
# The installed layout's folders, relative to the prefix. The program finds its skin and the
# udev rule from its own folder, so the paths between them are compiled in (see
# src/common/app_directory.cpp) and follow these lines.
set(KB_APP_INSTALL_DIR lib/kbconfig)           # kbconfig, kbctl, KB/Torvane_3.so, Quillet.so
set(KB_SHARE_INSTALL_DIR share/kbconfig)       # res/
set(KB_UDEV_RULES_INSTALL_DIR lib/udev/rules.d)
set(KB_UDEV_RULE_NAME 70-kbconfig.rules)

file(RELATIVE_PATH KB_INSTALLED_SKIN_FROM_APP_DIR
     /prefix/${KB_APP_INSTALL_DIR} /prefix/${KB_SHARE_INSTALL_DIR}/res)
file(RELATIVE_PATH KB_INSTALLED_UDEV_RULE_FROM_APP_DIR
     /prefix/${KB_APP_INSTALL_DIR} /prefix/${KB_UDEV_RULES_INSTALL_DIR}/${KB_UDEV_RULE_NAME})
