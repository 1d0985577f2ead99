// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/theme.h"

#include <string>

#include "common/utf16_text.h"
#include "ui/control.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/xml_reader.h"

namespace DuiLib {

CTheme& CTheme::Global() {
  static CTheme* theme = new CTheme;
  return *theme;
}

void CTheme::Clear() {
  fonts_.clear();
  colors_.clear();
  defaults_.clear();
  default_font_.Empty();
  default_named_ = false;
  ++font_revision_;
}

void CTheme::TakeOver(CTheme&& parsed) {
  for (auto& [id, font] : parsed.fonts_) fonts_.insert_or_assign(id, std::move(font));
  for (auto& [name, argb] : parsed.colors_) colors_.insert_or_assign(name, argb);
  for (auto& [element_class, list] : parsed.defaults_)
    defaults_.insert_or_assign(element_class, std::move(list));
  if (parsed.default_named_ || (default_font_.IsEmpty() && !parsed.default_font_.IsEmpty())) {
    default_font_ = parsed.default_font_;
    default_named_ = default_named_ || parsed.default_named_;
  }
  if (!parsed.fonts_.empty()) ++font_revision_;
}

void CTheme::SetFont(const CDuiString& id, const FontSpec& font, bool is_default) {
  fonts_[id] = font;
  if (is_default || default_font_.IsEmpty()) default_font_ = id;
  default_named_ = default_named_ || is_default;
  ++font_revision_;
}

const FontSpec* CTheme::FindFont(const CDuiString& id) const {
  auto it = fonts_.find(id);
  return it == fonts_.end() ? nullptr : &it->second;
}

void CTheme::SetColor(const CDuiString& name, DWORD argb) { colors_[name] = argb; }

bool CTheme::FindColor(const CDuiString& name, DWORD& argb) const {
  auto it = colors_.find(name);
  if (it == colors_.end()) return false;
  argb = it->second;
  return true;
}

void CTheme::SetDefaultAttributes(const CDuiString& element_class, AttributeList attributes) {
  defaults_[element_class] = std::move(attributes);
}

const CTheme::AttributeList* CTheme::FindDefaultAttributes(const CDuiString& element_class) const {
  auto it = defaults_.find(element_class);
  return it == defaults_.end() ? nullptr : &it->second;
}

namespace {

// The value of the attribute `name`, empty where the element has none.
CDuiString AttributeOf(const internal::XmlElement& element, std::string_view name) {
  for (const char* const* a = element.attributes; *a != nullptr; a += 2)
    if (name == a[0]) return kb::FromUtf8(a[1]);
  return {};
}

kb::Status ApplyThemeElement(CTheme& theme, const internal::XmlElement& element) {
  const auto get = [&](std::string_view name) { return AttributeOf(element, name); };
  const std::string line = std::to_string(element.line);
  const std::string_view name = element.name;
  if (name == "Font") {
    FontSpec f;
    CDuiString id = get("id");
    if (id.IsEmpty()) id = get("name");
    if (id.IsEmpty()) return kb::Status::Fail("theme: Font without id at line " + line);
    f.family = get("family");
    CDuiString size = get("size");
    if (!size.IsEmpty()) f.size = ParseSize(size.view()).cx;
    f.bold = ParseBool(get("bold").view());
    f.italic = ParseBool(get("italic").view());
    f.underline = ParseBool(get("underline").view());
    theme.SetFont(id, f, ParseBool(get("default").view()));
  } else if (name == "Color") {
    CDuiString color = get("name");
    DWORD argb = 0;
    if (color.IsEmpty() || !ParseColor(get("value").view(), argb))
      return kb::Status::Fail("theme: Color needs a name and a #AARRGGBB value at line " + line);
    theme.SetColor(color, argb);
  } else if (name == "Default") {
    CDuiString cls = get("class");
    if (cls.IsEmpty()) cls = get("name");
    if (cls.IsEmpty()) return kb::Status::Fail("theme: Default without class at line " + line);
    CTheme::AttributeList list;
    for (const char* const* a = element.attributes; *a != nullptr; a += 2) {
      const std::string_view attribute = a[0];
      if (attribute == "class" || attribute == "name") continue;
      CDuiString key(kb::FromUtf8(attribute));
      CDuiString value(kb::FromUtf8(a[1]));
      list.emplace_back(std::move(key), std::move(value));
    }
    theme.SetDefaultAttributes(cls, std::move(list));
  } else {
    return kb::Status::Fail("theme: unknown element " + std::string(name) + " at line " + line);
  }
  return kb::Status::Ok();
}

}  // namespace

kb::Status CTheme::Parse(std::string_view xml) {
  int depth = 0;
  const auto start = [&](const internal::XmlElement& element) {
    ++depth;
    if (depth == 1 && std::string_view(element.name) != "Theme")
      return kb::Status::Fail("theme: the root element must be Theme");
    if (depth == 2) return ApplyThemeElement(*this, element);
    return kb::Status::Ok();
  };
  return internal::ReadXmlElements(xml, "theme", start, [&] { --depth; });
}

}  // namespace DuiLib
