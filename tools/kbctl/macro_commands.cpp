// SPDX-License-Identifier: GPL-3.0-or-later
// Macro commands: list, show, export to and import from .mco files.

#include <string>

#include "arguments.h"
#include "command.h"
#include "common/utf16_text.h"
#include "json_writer.h"
#include "macro/macro_file.h"
#include "macro/macro_store.h"
#include "names/name_rules.h"
#include "plain_text.h"
#include "record_json.h"
#include "stores.h"

namespace kbctl {
namespace {

void ListMacros(Context& context) {
  const kb::MacroList macros = LoadMacros(context).list;
  for (std::size_t i = 0; i < macros.size(); ++i) {
    *context.out << i << '\t' << ListingText(kb::NameOf(*macros[i])) << '\t'
                 << macros[i]->action_count << " actions\tloop " << macros[i]->loop_time << '\n';
  }
}

void ShowMacro(Context& context) {
  const kb::MacroList macros = LoadMacros(context).list;
  const std::size_t index = ParseIndex(context.args[0], macros.size(), "macro");
  JsonWriter json;
  WriteMacroJson(json, *macros[index], index, context.texts);
  *context.out << json.Finish();
}

void ExportMacro(Context& context) {
  const kb::MacroList macros = LoadMacros(context).list;
  const std::size_t index = ParseIndex(context.args[0], macros.size(), "macro");
  const std::filesystem::path file = context.args[1];
  RefuseStoreAsTarget(context, file);
  kb::Status written = kb::ExportMacroFile(file, *macros[index]);
  if (!written.ok()) throw CommandFailed("cannot write " + file.string() + ": " + written.reason());
  *context.out << "exported macro " << index << " \"" << kb::ToUtf8(kb::NameOf(*macros[index]))
               << "\" to " << file.string() << '\n';
}

void ImportMacro(Context& context) {
  const kb::StoreLock lock = LockForWriting(context);
  MacroStore macros = LoadMacros(context);
  const std::filesystem::path file = context.args[0];
  kb::MacroImport import = kb::ImportMacroFile(file, macros.list);
  if (import.outcome == kb::MacroImportOutcome::Unreadable) throw CommandFailed(import.reason);
  if (import.outcome == kb::MacroImportOutcome::StoreFull)
    throw CommandFailed("cannot import " + file.string() + ": " + import.reason);
  if (import.outcome != kb::MacroImportOutcome::Imported)
    throw CommandFailed("cannot import: " + import.reason);
  SaveMacros(context, macros);
  *context.out << "imported macro " << import.index << " \"" << kb::ToUtf8(import.name) << "\"\n";
}

constexpr Command kCommands[] = {
    {"macros", "", "list the macros: number, name, number of actions, loop time", 0, 0, ListMacros},
    {"show-macro", "N", "show macro N with its actions as JSON", 1, 1, ShowMacro},
    {"export-macro", "N FILE.mco", "write macro N to a macro file", 2, 2, ExportMacro},
    {"import-macro", "FILE.mco", "add the macro of a macro file, named after the file", 1, 1,
     ImportMacro},
};

}  // namespace

std::span<const Command> MacroCommands() { return kCommands; }

}  // namespace kbctl
