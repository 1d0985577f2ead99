// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/theme.h"

#include <QXmlStreamReader>

#include "ui/control.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/xml_helpers.h"

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
  ++font_revision_;
}

void CTheme::SetFont(const CDuiString& id, const FontSpec& font, bool is_default) {
  fonts_[id] = font;
  if (is_default || default_font_.IsEmpty()) default_font_ = id;
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

kb::Status CTheme::Parse(std::string_view xml) {
  QXmlStreamReader reader(QByteArray(xml.data(), static_cast<qsizetype>(xml.size())));
  int depth = 0;
  while (!reader.atEnd()) {
    auto token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++depth;
      if (depth == 1) {
        if (reader.name() != u"Theme")
          return kb::Status::Fail("theme: the root element must be Theme");
        continue;
      }
      if (depth == 2) {
        kb::Status st = internal::ApplyThemeElement(*this, reader);
        if (!st.ok()) return st;
      }
    } else if (token == QXmlStreamReader::EndElement) {
      --depth;
    }
  }
  if (reader.hasError())
    return kb::Status::Fail("theme: " + reader.errorString().toStdString() + " at line " +
                            std::to_string(reader.lineNumber()));
  return kb::Status::Ok();
}

namespace internal {

kb::Status ApplyThemeElement(CTheme& theme, QXmlStreamReader& reader) {
  auto attrs = reader.attributes();
  auto get = [&](const char16_t* n) {
    return FromQString(attrs.value(QString::fromUtf16(n)).toString());
  };
  auto line = std::to_string(reader.lineNumber());
  if (reader.name() == u"Font") {
    FontSpec f;
    CDuiString id = get(u"id");
    if (id.IsEmpty()) id = get(u"name");
    if (id.IsEmpty()) return kb::Status::Fail("theme: Font without id at line " + line);
    f.family = get(u"family");
    CDuiString size = get(u"size");
    if (!size.IsEmpty()) f.size = ParseSize(size.view()).cx;
    f.bold = ParseBool(get(u"bold").view());
    f.italic = ParseBool(get(u"italic").view());
    f.underline = ParseBool(get(u"underline").view());
    theme.SetFont(id, f, ParseBool(get(u"default").view()));
  } else if (reader.name() == u"Color") {
    CDuiString name = get(u"name");
    DWORD argb = 0;
    if (name.IsEmpty() || !ParseColor(get(u"value").view(), argb))
      return kb::Status::Fail("theme: Color needs a name and a #AARRGGBB value at line " + line);
    theme.SetColor(name, argb);
  } else if (reader.name() == u"Default") {
    CDuiString cls = get(u"class");
    if (cls.IsEmpty()) cls = get(u"name");
    if (cls.IsEmpty()) return kb::Status::Fail("theme: Default without class at line " + line);
    CTheme::AttributeList list;
    for (const auto& a : attrs) {
      QString n = a.name().toString();
      if (n == u"class" || n == u"name") continue;
      list.emplace_back(FromQString(n), FromQString(a.value().toString()));
    }
    theme.SetDefaultAttributes(cls, std::move(list));
  } else {
    return kb::Status::Fail("theme: unknown element " + reader.name().toString().toStdString() +
                            " at line " + line);
  }
  return kb::Status::Ok();
}

}  // namespace internal
}  // namespace DuiLib
