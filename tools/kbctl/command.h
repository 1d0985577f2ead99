// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// kbctl's subcommands. Each group of subcommands lives in its own file and hands main its
// table; main concatenates the tables and dispatches by name.

#include <filesystem>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_directory.h"
#include "common/language_file.h"
#include "keys/keyboard_model.h"

namespace kbctl {

// What every command gets: the chosen model, the application's folders, its language texts,
// the command's own arguments (without the command name) and where to write.
struct Context {
  kb::Model model = kb::Model::KB_3;
  kb::AppPaths paths;
  kb::LanguageTexts texts;
  std::vector<std::string> args;
  std::ostream* out = nullptr;
};

// Wrong use of the command line: main prints the message and exits with 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command that could not be done (unreadable file, refused import, failed save): main
// prints the message and exits with 1.
class CommandFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command that did its work only in part, as an apply that had to leave macros out for lack of
// keyboard memory: main prints the message and exits with kExitPartly.
class CommandPartlyDone : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kExitPartly = 3;

struct Command {
  std::string_view name;
  std::string_view arguments;  // for the help text, e.g. "N FILE.kpo"
  std::string_view summary;    // one line for the help text
  std::size_t min_args;
  std::size_t max_args;
  void (*run)(Context& context);
  bool needs_data = true;  // false: runs also where the user has no data folder
};

// The groups. Each is defined in the file named after it.
std::span<const Command> ProfileCommands();  // profile_commands.cpp
std::span<const Command> MacroCommands();    // macro_commands.cpp
std::span<const Command> DeviceCommands();   // device_commands.cpp (apply, devices)
std::span<const Command> LinkCommands();     // link_commands.cpp (application links)
std::span<const Command> WhereCommands();    // where_command.cpp

}  // namespace kbctl
