// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/language_file.h"

#include <cctype>
#include <cstdlib>

#include "common/file_io.h"
#include "common/utf16_text.h"

namespace kb {
namespace {

// Replaces the five predefined entities and numeric character references.
bool DecodeEntities(std::string_view in, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '&') {
      out += in[i];
      continue;
    }
    std::size_t end = in.find(';', i);
    if (end == std::string_view::npos) return false;
    std::string_view name = in.substr(i + 1, end - i - 1);
    if (name == "amp")
      out += '&';
    else if (name == "lt")
      out += '<';
    else if (name == "gt")
      out += '>';
    else if (name == "quot")
      out += '"';
    else if (name == "apos")
      out += '\'';
    else if (name.size() > 1 && name[0] == '#') {
      std::string digits(name.substr(name[1] == 'x' ? 2 : 1));
      char* stop = nullptr;
      unsigned long code = std::strtoul(digits.c_str(), &stop, name[1] == 'x' ? 16 : 10);
      if (digits.empty() || *stop != '\0' || code == 0 || code > 0x10FFFF) return false;
      char32_t c = static_cast<char32_t>(code);
      std::u16string unit;
      if (c >= 0x10000) {
        unit += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        unit += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        unit += static_cast<char16_t>(c);
      }
      out += ToUtf8(unit);
    } else {
      return false;
    }
    i = end;
  }
  return true;
}

// True when `rest` opens the element `tag` itself, not one whose name merely begins with it.
bool OpensElement(std::string_view rest, std::string_view tag) {
  if (!rest.starts_with(tag)) return false;
  if (rest.size() == tag.size()) return true;
  const char next = rest[tag.size()];
  return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' || next == '\r';
}

std::size_t LineOf(std::string_view xml, std::size_t pos) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < pos && i < xml.size(); ++i) line += xml[i] == '\n';
  return line;
}

}  // namespace

Status LanguageTexts::Parse(std::string_view xml) {
  // The format is flat: <Language> holding <Text key="...">text</Text> elements, plus the
  // XML declaration and comments. Anything else is an error, so a typo is not silently lost.
  std::size_t pos = 0;
  auto fail = [&](const std::string& what) {
    return Status::Fail("text.xml line " + std::to_string(LineOf(xml, pos)) + ": " + what);
  };
  while (true) {
    std::size_t open = xml.find('<', pos);
    if (open == std::string_view::npos) return Status::Ok();
    pos = open;
    std::string_view rest = xml.substr(open);
    if (rest.starts_with("<?")) {
      std::size_t end = xml.find("?>", open);
      if (end == std::string_view::npos) return fail("unterminated declaration");
      pos = end + 2;
    } else if (rest.starts_with("<!--")) {
      std::size_t end = xml.find("-->", open);
      if (end == std::string_view::npos) return fail("unterminated comment");
      pos = end + 3;
    } else if (OpensElement(rest, "<Language") || OpensElement(rest, "</Language")) {
      std::size_t end = xml.find('>', open);
      if (end == std::string_view::npos) return fail("unterminated Language tag");
      pos = end + 1;
    } else if (OpensElement(rest, "<Text")) {
      std::size_t tag_end = xml.find('>', open);
      if (tag_end == std::string_view::npos) return fail("unterminated Text tag");
      std::string_view tag = xml.substr(open, tag_end - open);
      std::size_t key_at = tag.find("key=\"");
      while (key_at != std::string_view::npos &&
             !std::isspace(static_cast<unsigned char>(tag[key_at - 1])))
        key_at = tag.find("key=\"", key_at + 1);
      if (key_at == std::string_view::npos) return fail("Text without key");
      std::size_t key_end = tag.find('"', key_at + 5);
      if (key_end == std::string_view::npos) return fail("unterminated key");
      std::string key;
      if (!DecodeEntities(tag.substr(key_at + 5, key_end - key_at - 5), key))
        return fail("bad entity in key");
      std::string value;
      if (tag.ends_with("/")) {
        pos = tag_end + 1;
      } else {
        std::size_t close = xml.find("</Text>", tag_end);
        if (close == std::string_view::npos) return fail("Text without </Text>");
        if (!DecodeEntities(xml.substr(tag_end + 1, close - tag_end - 1), value))
          return fail("bad entity in text of " + key);
        pos = close + 7;
      }
      texts_[key] = FromUtf8(value);
    } else {
      return fail("unexpected element");
    }
  }
}

Status LanguageTexts::Load(const std::filesystem::path& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return bytes.status();
  return Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

const std::u16string* LanguageTexts::Find(std::string_view key) const {
  auto it = texts_.find(key);
  return it == texts_.end() ? nullptr : &it->second;
}

std::u16string LanguageTexts::Text(std::string_view key) const {
  const std::u16string* text = Find(key);
  return text != nullptr ? *text : std::u16string();
}

bool LanguageTexts::Has(std::string_view key) const { return Find(key) != nullptr; }

}  // namespace kb
