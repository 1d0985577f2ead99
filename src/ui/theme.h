// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The theme: named fonts, named colours and default attributes per element class. The global
// theme comes from the skin's "theme.xml" (CResourceManager::LoadTheme); a layout's Window
// root may add window-local entries. Format: res/README.md, section "Layouts".

#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "common/status.h"
#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

struct FontSpec {
  CDuiString family;
  int size = 12;  // pixels
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

class CTheme {
 public:
  using AttributeList = std::vector<std::pair<CDuiString, CDuiString>>;

  static CTheme& Global();

  // Reads a theme document; entries are added to (and replace) what the theme holds.
  kb::Status Parse(std::string_view xml);
  // The entries of `parsed` added to (and replacing) those of this theme, as if its document had
  // been parsed into this one: a document is read once, into a scratch theme, and taken over only
  // when it is whole.
  void TakeOver(CTheme&& parsed);
  void Clear();

  void SetFont(const CDuiString& id, const FontSpec& font, bool is_default = false);
  const FontSpec* FindFont(const CDuiString& id) const;
  // The font used where a control names none (empty id: the library's own default).
  const CDuiString& DefaultFontId() const { return default_font_; }

  void SetColor(const CDuiString& name, DWORD argb);
  bool FindColor(const CDuiString& name, DWORD& argb) const;

  // Attributes applied to every element of `element_class` before its own attributes.
  void SetDefaultAttributes(const CDuiString& element_class, AttributeList attributes);
  const AttributeList* FindDefaultAttributes(const CDuiString& element_class) const;

  // A counter that changes whenever a font changes, so font caches know when to refresh.
  int FontRevision() const { return font_revision_; }

 private:
  std::map<CDuiString, FontSpec> fonts_;
  std::map<CDuiString, DWORD> colors_;
  std::map<CDuiString, AttributeList> defaults_;
  CDuiString default_font_;
  bool default_named_ = false;  // a font said it is the default, rather than coming first
  int font_revision_ = 0;
};

}  // namespace DuiLib
