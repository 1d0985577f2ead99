// SPDX-License-Identifier: GPL-3.0-or-later
// kbctl: the keyboard utility's profiles and macros from the command line. It reads and writes
// the same stores and exchange files as the program, in the same application directory.

#include <cstdio>
#include <iostream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "command.h"
#include "common/app_directory.h"

namespace kbctl {
namespace {

// The groups of subcommands, in the order the help lists them. A new group adds one line here
// and its declaration in command.h.
using Group = std::span<const Command> (*)();
constexpr Group kGroups[] = {
    ProfileCommands, MacroCommands, DeviceCommands, LinkCommands, WhereCommands,
};

const Command* FindCommand(std::string_view name) {
  for (Group group : kGroups)
    for (const Command& command : group())
      if (command.name == name) return &command;
  return nullptr;
}

std::string HelpText() {
  std::ostringstream help;
  help << "Usage: kbctl [--app-dir DIR] [--model kb_3|kb_4] COMMAND [ARGUMENTS]\n"
          "\n"
          "Reads and changes the profiles and macros of the keyboard utility: the profile store\n"
          "Data/kb/<model>/data.pros and the macro store Data/kb/<model>/macro.mcos, and the\n"
          "profile (.kpo) and macro (.mco) files it exchanges; applies the selected profile to\n"
          "the keyboard through the HID library beside the program. Installed, the stores are\n"
          "in $XDG_DATA_HOME/kbconfig (~/.local/share/kbconfig), each user's own, root's too;\n"
          "`kbctl where` names them. Profiles and macros are numbered from 0 in store order.\n"
          "\n"
          "Options:\n"
          "  --app-dir DIR   the programs' folder (default: the folder of this program). A\n"
          "                  folder with its own res/ is portable: texts from DIR/res/text.xml,\n"
          "                  data from DIR/Data, or from $XDG_DATA_HOME/kbconfig when DIR is\n"
          "                  not writable. The installed PREFIX/lib/kbconfig takes its texts\n"
          "                  from PREFIX/share/kbconfig/res and its data from\n"
          "                  $XDG_DATA_HOME/kbconfig\n"
          "  --model MODEL   kb_3 (default) or kb_4\n"
          "  --help          this text\n"
          "  --version       kbctl's version\n"
          "\n"
          "Commands:\n";
  for (Group group : kGroups) {
    for (const Command& command : group()) {
      std::string head = std::string(command.name);
      if (!command.arguments.empty()) head.append(" ").append(command.arguments);
      help << "  " << head << std::string(head.size() < 28 ? 28 - head.size() : 1, ' ')
           << command.summary << '\n';
    }
  }
  help << "\n"
          "A missing KB_3 profile store is created with one default profile on first use.\n"
          "import-profile saves the profile store with the new profile selected, and the macro\n"
          "store when the file brought macros; import-macro saves the macro store.\n"
          "\n"
          "Commands that change a store wait for other kbctl commands that change it, and refuse\n"
          "while kbconfig runs on the same application directory; reading commands never wait.\n"
          "\n"
          "Exit status: 0 done, 1 the command failed, 2 wrong use of the command line,\n"
          "3 apply sent the profile but left macros out for lack of keyboard memory.\n";
  return help.str();
}

struct Invocation {
  bool help = false;
  bool version = false;
  std::filesystem::path app_dir;
  kb::Model model = kb::Model::KB_3;
  std::vector<std::string> words;  // the command and its arguments
};

kb::Model ParseModel(std::string_view text) {
  if (const kb::ModelInfo* info = kb::FindModel(text)) return info->model;
  throw UsageError("unknown model \"" + std::string(text) + "\" (use kb_3 or kb_4)");
}

// Options may stand anywhere; "--" ends them, so a file may be called "--help".
Invocation ParseCommandLine(int argc, char** argv) {
  Invocation invocation;
  invocation.app_dir = kb::ExecutableDirectory();
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view option) -> std::string {
      if (arg.size() > option.size() && arg[option.size()] == '=')
        return std::string(arg.substr(option.size() + 1));
      if (i + 1 >= argc) throw UsageError(std::string(option) + " needs a value");
      return argv[++i];
    };
    if (options_done || !arg.starts_with("--")) {
      if (!options_done && arg == "-h") {
        invocation.help = true;
        continue;
      }
      invocation.words.emplace_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "--dry-run") {  // the apply command's own option, handed to it
      invocation.words.emplace_back(arg);
    } else if (arg == "--help") {
      invocation.help = true;
    } else if (arg == "--version") {
      invocation.version = true;
    } else if (arg == "--app-dir" || arg.starts_with("--app-dir=")) {
      const std::string dir = value("--app-dir");
      if (dir.empty()) throw UsageError("--app-dir needs a folder");
      invocation.app_dir = std::filesystem::path(dir) / "";
    } else if (arg == "--model" || arg.starts_with("--model=")) {
      invocation.model = ParseModel(value("--model"));
    } else {
      throw UsageError("unknown option " + std::string(arg) + " (see kbctl --help)");
    }
  }
  return invocation;
}

int Run(int argc, char** argv) {
  Invocation invocation = ParseCommandLine(argc, argv);
  if (invocation.help) {
    std::cout << HelpText();
    return 0;
  }
  if (invocation.version) {
    std::cout << "kbctl " << KB_VERSION << '\n';
    return 0;
  }
  if (invocation.words.empty()) throw UsageError("no command given (see kbctl --help)");
  const Command* command = FindCommand(invocation.words.front());
  if (command == nullptr)
    throw UsageError("unknown command \"" + invocation.words.front() + "\" (see kbctl --help)");
  const std::size_t count = invocation.words.size() - 1;
  if (count < command->min_args || count > command->max_args) {
    std::string usage = std::string(command->name);
    if (!command->arguments.empty()) usage += " " + std::string(command->arguments);
    throw UsageError("usage: kbctl " + usage);
  }
  if (!std::filesystem::is_directory(invocation.app_dir))
    throw UsageError("application directory " + invocation.app_dir.string() + " does not exist");

  Context context;
  context.model = invocation.model;
  context.paths = kb::ResolveAppPaths(invocation.app_dir);
  if (command->needs_data && context.paths.data_root.empty())
    throw CommandFailed(
        "no folder for the stores: neither XDG_DATA_HOME nor HOME names one, and the account "
        "has no home folder");
  // Without a language file the texts that become data fall back to the shipped English ones;
  // a language file that is there but broken is an error, not a silent change of names.
  const std::filesystem::path text_file = context.paths.Resource("text.xml");
  if (std::error_code ec; std::filesystem::exists(text_file, ec)) {
    kb::Status loaded = context.texts.Load(text_file);
    if (!loaded.ok()) throw CommandFailed("cannot read the language file: " + loaded.reason());
  }
  context.args.assign(invocation.words.begin() + 1, invocation.words.end());
  context.out = &std::cout;
  command->run(context);
  std::cout.flush();
  if (!std::cout) throw CommandFailed("cannot write the output");
  return 0;
}

}  // namespace
}  // namespace kbctl

int main(int argc, char** argv) {
  try {
    return kbctl::Run(argc, argv);
  } catch (const kbctl::UsageError& error) {
    std::cerr << "kbctl: " << error.what() << '\n';
    return 2;
  } catch (const kbctl::CommandPartlyDone& error) {
    std::cerr << "kbctl: " << error.what() << '\n';
    return kbctl::kExitPartly;
  } catch (const std::bad_alloc&) {
    std::cerr << "kbctl: out of memory\n";
    return 1;
  } catch (const std::exception& error) {
    std::cerr << "kbctl: " << error.what() << '\n';
    return 1;
  }
}
