// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What each command of the key menu writes into a KeyEntry. The key page opens the dialogs and
// calls these; a command writes only the fields its assignment kind names, plus `kind`, and
// leaves every other byte of the entry as it was.

#include <cstdint>
#include <string_view>

#include "keys/keyboard_model.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kb {

enum class KeyCommand {
  SingleKey,       // command 1: the single-key dialog
  Shortcut,        // command 2: the shortcut dialog
  Macro,           // command 3: the macro picker
  Disable,         // command 4
  RestoreDefault,  // command 6
  Media,           // "…_command_media_K", K = 1..19
  FixedChord,      // command 7, on models that have it
  Unknown,         // any other item name: kind Default with no function
};

struct ParsedKeyCommand {
  KeyCommand command = KeyCommand::Unknown;
  int media = 0;  // K for Media
};

// The command of key-menu item `item` ("kb_3_command_1", compared ignoring case) of `model`.
ParsedKeyCommand ParseKeyCommand(const ModelInfo& model, std::string_view item);

// The usage ID a dialog starts from: bits 7..0 of the entry's code.
std::uint8_t InitialUsageOf(const KeyEntry& entry);

void WriteSingleKey(KeyEntry& entry, std::uint8_t usage);
// Before the shortcut dialog opens: a key that is not a shortcut starts with no modifiers, and
// keeps none even when the dialog is cancelled.
void PrepareShortcut(KeyEntry& entry);
// `mask` uses bits 0..3. No modifier and no key disables the key.
void WriteShortcut(KeyEntry& entry, std::uint8_t mask, std::uint8_t usage);
// False, and the entry untouched, when `index` names no macro of `macros`.
bool WriteMacroBinding(KeyEntry& entry, const MacroList& macros, int index, int repeat_mode,
                       int loops);
void WriteDisabled(KeyEntry& entry);
// Key `index` (or Fn slot `index` when `fn`) of `model` back to its factory code; code2 stays.
void WriteFactoryDefault(KeyEntry& entry, const ModelInfo& model, bool fn, int index);
// False for a number outside 1..19.
bool WriteMediaCommand(KeyEntry& entry, int media);
void WriteFixedChord(KeyEntry& entry);
void WriteUnknownCommand(KeyEntry& entry);

// Applies a command that needs no dialog (Disable, RestoreDefault, Media, FixedChord, Unknown);
// false for the dialog commands, which the page completes with the writers above.
bool ApplyDirectKeyCommand(KeyEntry& entry, const ParsedKeyCommand& command, const ModelInfo& model,
                           bool fn, int index);

}  // namespace kb
