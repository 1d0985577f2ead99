// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dui_string.h"

#include <algorithm>
#include <cstdio>

#include "common/utf16_text.h"

namespace DuiLib {

CDuiString::CDuiString(const char* utf8) : s_(kb::FromUtf8(utf8 ? utf8 : "")) {}
CDuiString::CDuiString(const std::string& utf8) : s_(kb::FromUtf8(utf8)) {}

char16_t CDuiString::GetAt(int index) const {
  if (index < 0 || index >= GetLength()) return 0;
  return s_[static_cast<std::size_t>(index)];
}

void CDuiString::SetAt(int index, char16_t ch) {
  if (index >= 0 && index < GetLength()) s_[static_cast<std::size_t>(index)] = ch;
}

std::string CDuiString::ToUtf8() const { return kb::ToUtf8(s_); }

int CDuiString::Compare(std::u16string_view other) const {
  int c = std::u16string_view(s_).compare(other);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CDuiString::CompareNoCase(std::u16string_view other) const {
  std::size_t n = std::min(s_.size(), other.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t a = kb::FoldCase(s_[i]);
    char16_t b = kb::FoldCase(other[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  if (s_.size() == other.size()) return 0;
  return s_.size() < other.size() ? -1 : 1;
}

void CDuiString::MakeLower() {
  for (auto& c : s_) c = kb::FoldCase(c);
}

void CDuiString::MakeUpper() {
  // Upper-casing is only needed for ASCII key names and hex digits.
  for (auto& c : s_)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
}

CDuiString CDuiString::Left(int count) const {
  if (count <= 0) return {};
  return CDuiString(s_.substr(0, static_cast<std::size_t>(count)));
}

CDuiString CDuiString::Mid(int pos, int count) const {
  if (pos < 0) pos = 0;
  if (pos >= GetLength()) return {};
  if (count < 0) return CDuiString(s_.substr(static_cast<std::size_t>(pos)));
  return CDuiString(s_.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(count)));
}

CDuiString CDuiString::Right(int count) const {
  if (count <= 0) return {};
  if (count >= GetLength()) return *this;
  return CDuiString(s_.substr(s_.size() - static_cast<std::size_t>(count)));
}

int CDuiString::Find(char16_t ch, int start) const {
  if (start < 0) start = 0;
  auto p = s_.find(ch, static_cast<std::size_t>(start));
  return p == std::u16string::npos ? -1 : static_cast<int>(p);
}

int CDuiString::Find(std::u16string_view text, int start) const {
  if (start < 0) start = 0;
  auto p = s_.find(text, static_cast<std::size_t>(start));
  return p == std::u16string::npos ? -1 : static_cast<int>(p);
}

int CDuiString::ReverseFind(char16_t ch) const {
  auto p = s_.rfind(ch);
  return p == std::u16string::npos ? -1 : static_cast<int>(p);
}

int CDuiString::Replace(std::u16string_view from, std::u16string_view to) {
  if (from.empty()) return 0;
  int count = 0;
  std::size_t pos = 0;
  while ((pos = s_.find(from, pos)) != std::u16string::npos) {
    s_.replace(pos, from.size(), to);
    pos += to.size();
    ++count;
  }
  return count;
}

void CDuiString::TrimLeft() {
  std::size_t i = 0;
  while (i < s_.size() && (s_[i] == u' ' || s_[i] == u'\t' || s_[i] == u'\r' || s_[i] == u'\n'))
    ++i;
  s_.erase(0, i);
}

void CDuiString::TrimRight() {
  while (!s_.empty() &&
         (s_.back() == u' ' || s_.back() == u'\t' || s_.back() == u'\r' || s_.back() == u'\n'))
    s_.pop_back();
}

std::u16string CDuiString::FormatList(const char16_t* pattern, const std::vector<FormatArg>& args) {
  std::u16string out;
  if (!pattern) return out;
  std::size_t next = 0;
  for (const char16_t* p = pattern; *p; ++p) {
    if (*p != u'%') {
      out += *p;
      continue;
    }
    if (p[1] == u'%') {
      out += u'%';
      ++p;
      continue;
    }
    // Copy the conversion into a narrow pattern for snprintf: flags, width, precision.
    std::string directive = "%";
    const char16_t* q = p + 1;
    while (*q && std::u16string_view(u"-+ #0").find(*q) != std::u16string_view::npos)
      directive += static_cast<char>(*q++);
    while (*q >= u'0' && *q <= u'9') directive += static_cast<char>(*q++);
    if (*q == u'.') {
      directive += '.';
      ++q;
      while (*q >= u'0' && *q <= u'9') directive += static_cast<char>(*q++);
    }
    while (*q == u'l' || *q == u'h' || *q == u'z' || *q == u'I' || *q == u'j' || *q == u't') ++q;
    char16_t conv = *q;
    if (!conv) break;
    p = q;
    const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
    ++next;
    if (!arg) continue;
    char buf[512];
    buf[0] = '\0';
    switch (conv) {
      case u'd':
      case u'i':
        if (auto* v = std::get_if<long long>(arg))
          std::snprintf(buf, sizeof buf, (directive + "lld").c_str(), *v);
        else if (auto* u = std::get_if<unsigned long long>(arg))
          std::snprintf(buf, sizeof buf, (directive + "lld").c_str(), static_cast<long long>(*u));
        break;
      case u'u':
      case u'x':
      case u'X':
      case u'o': {
        unsigned long long v = 0;
        if (auto* s = std::get_if<long long>(arg))
          v = static_cast<unsigned long long>(*s);
        else if (auto* u = std::get_if<unsigned long long>(arg))
          v = *u;
        else
          break;
        // A negative int printed with %x shows its 32-bit pattern, as in C.
        if (auto* s = std::get_if<long long>(arg); s && *s < 0 && *s >= INT32_MIN)
          v &= 0xFFFFFFFFull;
        std::snprintf(buf, sizeof buf, (directive + "ll" + static_cast<char>(conv)).c_str(), v);
        break;
      }
      case u'c':
        if (auto* u = std::get_if<unsigned long long>(arg))
          out += static_cast<char16_t>(*u);
        else if (auto* s = std::get_if<long long>(arg))
          out += static_cast<char16_t>(*s);
        break;
      case u'f':
      case u'g':
      case u'e':
      case u'F':
      case u'G':
      case u'E':
        if (auto* d = std::get_if<double>(arg))
          std::snprintf(buf, sizeof buf, (directive + static_cast<char>(conv)).c_str(), *d);
        break;
      case u's':
      case u'S':
        if (auto* s = std::get_if<std::u16string>(arg)) {
          // Width and precision count UTF-16 units, applied here.
          std::u16string text = *s;
          std::size_t dot = directive.find('.');
          if (dot != std::string::npos) {
            std::size_t prec = std::strtoul(directive.c_str() + dot + 1, nullptr, 10);
            if (text.size() > prec) text.resize(prec);
          }
          std::size_t wstart = directive.find_first_of("123456789");
          std::size_t width =
              (wstart != std::string::npos && (dot == std::string::npos || wstart < dot))
                  ? std::strtoul(directive.c_str() + wstart, nullptr, 10)
                  : 0;
          bool left = directive.find('-') != std::string::npos;
          if (text.size() < width) {
            std::u16string pad(width - text.size(), u' ');
            text = left ? text + pad : pad + text;
          }
          out += text;
        }
        break;
      case u'p':
        if (auto* v = std::get_if<const void*>(arg)) std::snprintf(buf, sizeof buf, "%p", *v);
        break;
      default:
        break;
    }
    for (const char* c = buf; *c; ++c) out += static_cast<char16_t>(static_cast<unsigned char>(*c));
  }
  return out;
}

}  // namespace DuiLib
