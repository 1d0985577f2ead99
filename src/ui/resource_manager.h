// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CResourceManager: the language texts and the global theme of the skin.

#include <string_view>

#include "common/language_file.h"
#include "common/status.h"
#include "ui/dui_string.h"

namespace DuiLib {

class CResourceManager {
 public:
  static CResourceManager* GetInstance();

  // Loads a language file ("text.xml"), relative to the resource path unless absolute. On
  // failure the texts loaded before stay.
  kb::Status LoadLanguage(const CDuiString& file);
  // The text of `key`; an unknown key gives the empty string.
  CDuiString GetText(const CDuiString& key) const;
  void SetLanguageTexts(kb::LanguageTexts texts);
  const kb::LanguageTexts& Texts() const { return texts_; }

  // Loads a theme file ("theme.xml") into the global theme (CTheme::Global()).
  kb::Status LoadTheme(const CDuiString& file);

 private:
  kb::LanguageTexts texts_;
};

// The text of a key named in the program's code ("apply_text"); an unknown key gives the empty
// string. The key is looked up as it is spelled, not converted: the key captions ask for a text
// for every cap of the keyboard picture.
CDuiString LanguageText(std::string_view key);

}  // namespace DuiLib
