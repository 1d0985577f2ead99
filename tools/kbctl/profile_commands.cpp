// SPDX-License-Identifier: GPL-3.0-or-later
// Profile commands: list, show, export to and import from .kpo files.

#include <string>

#include "arguments.h"
#include "command.h"
#include "common/utf16_text.h"
#include "json_writer.h"
#include "macro/macro_store.h"
#include "names/name_rules.h"
#include "plain_text.h"
#include "profile/profile_exchange.h"
#include "record_json.h"
#include "stores.h"

namespace kbctl {
namespace {

std::size_t SelectedIndex(const ProfileStore& store) {
  return static_cast<std::size_t>(store.header.selected_index);
}

void ListProfiles(Context& context) {
  const ProfileStore store = LoadProfiles(context);
  for (std::size_t i = 0; i < store.list.size(); ++i) {
    *context.out << i << '\t' << ListingText(kb::NameOf(*store.list[i]));
    if (i == SelectedIndex(store)) *context.out << "\t*";
    *context.out << '\n';
  }
}

std::size_t ProfileIndexArgument(const Context& context, const ProfileStore& store,
                                 std::size_t position) {
  if (store.list.empty()) throw CommandFailed("the profile store holds no profiles");
  if (position >= context.args.size()) return SelectedIndex(store);
  return ParseIndex(context.args[position], store.list.size(), "profile");
}

void ShowProfile(Context& context) {
  const ProfileStore store = LoadProfiles(context);
  const std::size_t index = ProfileIndexArgument(context, store, 0);
  JsonWriter json;
  WriteProfileJson(json, *store.list[index], index, index == SelectedIndex(store), context.model);
  *context.out << json.Finish();
}

void ExportProfile(Context& context) {
  const ProfileStore store = LoadProfiles(context);
  const std::size_t index = ProfileIndexArgument(context, store, 0);
  const kb::MacroList macros = LoadMacros(context).list;
  const std::filesystem::path file = context.args[1];
  RefuseStoreAsTarget(context, file);
  const kb::ProfileRecord& profile = *store.list[index];
  kb::Status written =
      kb::ExportProfileFile(file, ModelTagOf(context), profile, macros, context.model);
  if (!written.ok()) throw CommandFailed("cannot write " + file.string() + ": " + written.reason());
  *context.out << "exported profile " << index << " \"" << kb::ToUtf8(kb::NameOf(profile))
               << "\" with " << kb::MacrosToExport(profile, macros).size() << " macros to "
               << file.string() << '\n';
}

void ImportProfile(Context& context) {
  const kb::StoreLock lock = LockForWriting(context);
  ProfileStore store = LoadProfiles(context, lock);
  MacroStore macros = LoadMacros(context);
  const std::filesystem::path file = context.args[0];
  kb::ProfileImport import =
      kb::ImportProfileFile(file, ModelTagOf(context), context.model, store.list, macros.list);
  if (import.outcome != kb::ProfileImportOutcome::Imported)
    throw CommandFailed(import.outcome == kb::ProfileImportOutcome::Unreadable
                            ? import.reason
                            : "cannot import: " + import.reason);
  // Macros first: extra macros in the store are harmless if the profile save then fails,
  // while a saved profile whose keys point past the macro store is not.
  if (import.macros_added > 0) SaveMacros(context, macros);
  store.header.selected_index = static_cast<std::int32_t>(import.profile_index);
  try {
    SaveProfiles(context, store);
  } catch (const CommandFailed& failed) {
    if (import.macros_added == 0) throw;
    throw CommandFailed(std::string(failed.what()) + "; the macro store was saved and now holds " +
                        std::to_string(macros.list.size()) + " macros, " +
                        std::to_string(import.macros_added) +
                        " of them from this file, which no profile uses");
  }
  *context.out << "imported profile " << import.profile_index << " \""
               << kb::ToUtf8(import.profile_name) << "\" with " << import.macros_added << " macros";
  for (std::size_t i = 0; i < import.macro_names.size(); ++i)
    *context.out << (i == 0 ? ": \"" : ", \"") << kb::ToUtf8(import.macro_names[i]) << '"';
  if (const int released = import.keys_released + import.fn_bindings_released; released > 0) {
    *context.out << "; " << released
                 << " keys bound to a macro the file does not hold got their factory assignment";
  }
  *context.out << '\n';
}

constexpr Command kCommands[] = {
    {"profiles", "", "list the profiles: number, name, and * on the selected one", 0, 0,
     ListProfiles},
    {"show", "[N]", "show profile N (default: the selected one) as JSON", 0, 1, ShowProfile},
    {"export-profile", "N FILE.kpo",
     "write profile N and the macros its keys use to a profile file", 2, 2, ExportProfile},
    {"import-profile", "FILE.kpo",
     "add the profile of a profile file, select it, and add its macros", 1, 1, ImportProfile},
};

}  // namespace

std::span<const Command> ProfileCommands() { return kCommands; }

}  // namespace kbctl
