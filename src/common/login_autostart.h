// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starting the program at login, the freedesktop way: an entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart/, by default ~/.config/autostart/). Its presence is the setting;
// nothing else records it.

#include <filesystem>
#include <string>

#include "common/status.h"

namespace kb {

// The argument the autostart entry passes: the program starts hidden in the tray.
inline constexpr char kStartedAtLoginArgument[] = "--login";

// "$XDG_CONFIG_HOME/autostart/kbconfig.desktop", or under $HOME/.config when XDG_CONFIG_HOME
// is unset or not absolute; empty when neither gives a folder.
std::filesystem::path AutostartEntryPath();

bool StartsAtLogin();

// Writes the entry (crash-safe) to start `program` (an absolute path) with kStartedAtLoginArgument,
// or removes it. A missing entry is not an error when removing.
[[nodiscard]] Status SetStartsAtLogin(bool on, const std::filesystem::path& program);

// The text of the entry for `program`.
std::string AutostartEntryText(const std::filesystem::path& program);

}  // namespace kb
