// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a key of the keyboard picture is labelled with: the language key of the name of what it
// is assigned. Shortcuts and macro bindings are composed by the page from their parts (the
// modifier texts and the key name, the macro's name).

#include <cstdint>
#include <string_view>

#include "keys/key_code.h"

namespace kb {

enum class CaptionForm {
  Text,      // show the language text of `text_key`
  Shortcut,  // modifiers of kind_param, then the name of the usage in the code's low byte
  Macro,     // the entry's macro name
};

struct KeyCaption {
  CaptionForm form = CaptionForm::Text;
  std::string_view text_key;  // for Text (and the key name of a Shortcut); may be ""
};

// The label of an assignment of `kind` with `code`. Safe from any thread.
KeyCaption KeyCaptionOf(std::uint8_t kind, KeyCode code);

// The language keys of the shortcut modifiers, bit 0 to bit 3 of kind_param.
inline constexpr std::string_view kShortcutModifierKeys[4] = {"shortcut_2_text", "shortcut_3_text",
                                                              "shortcut_4_text", "shortcut_5_text"};

}  // namespace kb
