// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Profiles and macros as kbctl shows them in JSON.

#include <cstddef>

#include "common/language_file.h"
#include "json_writer.h"
#include "keys/keyboard_model.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kbctl {

// Name, bank and format tag, each bank's lighting per mode, the custom colours and every key
// and Fn-slot entry that differs from the factory settings of `model`.
void WriteProfileJson(JsonWriter& json, const kb::ProfileRecord& profile, std::size_t index,
                      bool selected, kb::Model model);

// Name, loop time and the valid actions, with the display text of each action's key when the
// language file has one.
void WriteMacroJson(JsonWriter& json, const kb::MacroRecord& macro, std::size_t index,
                    const kb::LanguageTexts& texts);

}  // namespace kbctl
