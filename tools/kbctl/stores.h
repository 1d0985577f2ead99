// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The model's stores and texts as the commands see them. Loads that cannot read an existing
// store fail instead of going on with an empty or default list: a later save would otherwise
// replace the user's file. Commands that change a store hold the model's write lock (taken by
// LockForWriting before they load), so that concurrent kbctl runs wait for each other and none
// writes while the program runs.

#include <filesystem>
#include <string>

#include "command.h"
#include "macro/macro_record.h"
#include "profile/profile_exchange.h"
#include "profile/profile_record.h"
#include "profile/profile_store.h"
#include "profile/store_lock.h"

namespace kbctl {

struct ProfileStore {
  kb::StoreHeader header{};
  kb::ProfileList list;
  bool lost_bytes = false;  // the file held bytes the list does not (see SaveProfiles)
};

struct MacroStore {
  kb::MacroList list;
  bool lost_bytes = false;
};

std::filesystem::path ProfileStorePath(const Context& context);
std::filesystem::path MacroStorePath(const Context& context);

// The model tag of profile files: the language text of the model's "kb_N_text", or the model's
// name ("KB_3") when the language file lacks it, which is what the shipped file says.
kb::ModelTag ModelTagOf(const Context& context);
// The name of the profile a new KB_3 store starts with: "kb_3_1_text" and "_1" ("Profile_1"
// when the language file lacks the key).
std::u16string FirstProfileName(const Context& context);

// Waits for other kbctl writers of the model; fails ("kbconfig is running: ...") while the
// program holds the stores. Keep the lock until the last save is done.
kb::StoreLock LockForWriting(const Context& context);

// Throw CommandFailed with the reason. A read-only command only loads: nothing is written but a
// missing KB_3 store, which is created under the writers' lock (taken here for the creation
// alone), so that it never lands between an import's load and save.
ProfileStore LoadProfiles(const Context& context);
// The same for a command that holds the write lock already.
ProfileStore LoadProfiles(const Context& context, const kb::StoreLock& held);
MacroStore LoadMacros(const Context& context);
// Before the first save over a store that was loaded with losses, the old file is kept beside
// it as "<name>.damaged-<date>-<time>" and a line on standard error says so.
void SaveProfiles(const Context& context, ProfileStore& store);
void SaveMacros(const Context& context, MacroStore& store);

// Throws CommandFailed when `path` is one of the stores: an export must not overwrite one.
void RefuseStoreAsTarget(const Context& context, const std::filesystem::path& path);

}  // namespace kbctl
