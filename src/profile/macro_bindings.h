// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keys bound to macros (kind MacroBinding) name their macro by its position in the model's
// macro list, so every change of that list is followed by the bindings of every profile.

#include <cstdint>
#include <string_view>
#include <vector>

#include "keys/key_code.h"
#include "keys/keyboard_model.h"
#include "profile/profile_record.h"

namespace kb {

bool IsMacroBound(const KeyEntry& entry);

// What losing its macro does to a key: the factory assignment `factory_code`, no macro.
void ReturnToDefault(KeyEntry& entry, KeyCode factory_code);

// A key entry of a profile: bank 0 or 1, `keys` (fn false) or `fn_keys` (fn true), and index.
struct BoundEntry {
  int bank;
  bool fn;
  int index;
  friend bool operator==(const BoundEntry&, const BoundEntry&) = default;
};

// Macro `deleted` left the list: in every profile, entries bound to it return to their
// factory assignment (the model's key tables), and entries bound to later macros follow them
// down by one, so each key still plays the macro it played. Returns the entries of `current`
// that returned to default (the page re-highlights them and requests an apply for each).
std::vector<BoundEntry> ReleaseBindingsOfDeletedMacro(ProfileList& profiles, int deleted,
                                                      Model model, const ProfileRecord* current);

// Macro `index` was renamed: every entry bound to it carries the new name (shortened to the
// entry's field). Returns the entries of `current` that changed.
std::vector<BoundEntry> RenameBoundMacro(ProfileList& profiles, int index, std::u16string_view name,
                                         const ProfileRecord* current);

}  // namespace kb
