#pragma once
// The model's stores and texts as the commands see them. Loads that cannot read an existing
// store fail instead of going on with an empty or default list: a later save would otherwise
// replace the user's file.

#include <filesystem>
#include <string>

#include "command.h"
#include "macro/macro_record.h"
#include "profile/profile_exchange.h"
#include "profile/profile_record.h"
#include "profile/profile_store.h"

namespace kbctl {

struct ProfileStore {
  kb::StoreHeader header{};
  kb::ProfileList list;
};

std::filesystem::path ProfileStorePath(const Context& context);
std::filesystem::path MacroStorePath(const Context& context);

// The model tag of profile files: the language text of the model's "kb_N_text", or the model's
// name ("KB_3") when the language file lacks it, which is what the shipped file says.
kb::ModelTag ModelTagOf(const Context& context);
// The name of the profile a new KB_3 store starts with: "kb_3_1_text" and "_1" ("Profile_1"
// when the language file lacks the key).
std::u16string FirstProfileName(const Context& context);

// Throws CommandFailed with the reason.
ProfileStore LoadProfiles(const Context& context);
kb::MacroList LoadMacros(const Context& context);
void SaveProfiles(const Context& context, const ProfileStore& store);
void SaveMacros(const Context& context, const kb::MacroList& macros);

}  // namespace kbctl
