// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/utf16_text.h"

#include <algorithm>

namespace kb {
namespace {

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::u16string_view FieldText(std::span<const char16_t> field) {
  auto end = std::find(field.begin(), field.end(), u'\0');
  return {field.data(), static_cast<std::size_t>(end - field.begin())};
}

std::u16string_view Shorten(std::u16string_view text, std::size_t max_units) {
  if (text.size() <= max_units) return text;
  std::size_t n = max_units;
  if (n > 0 && IsHighSurrogate(text[n - 1]) && IsLowSurrogate(text[n])) --n;
  return text.substr(0, n);
}

std::size_t StoreFieldText(std::span<char16_t> field, std::u16string_view text) {
  if (field.empty()) return 0;
  std::u16string_view fitted = Shorten(FieldText({text.data(), text.size()}), field.size() - 1);
  std::copy(fitted.begin(), fitted.end(), field.begin());
  field[fitted.size()] = u'\0';
  return fitted.size();
}

bool TerminateField(std::span<char16_t> field) {
  if (field.empty() || std::find(field.begin(), field.end(), u'\0') != field.end()) return false;
  field.back() = u'\0';
  if (field.size() >= 2 && IsHighSurrogate(field[field.size() - 2]))
    field[field.size() - 2] = u'\0';
  return true;
}

char16_t FoldCase(char16_t u) {
  if (u < 0x80) return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u + 32) : u;
  // Latin-1: À..Þ except ×.
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char16_t>(u + 32);
  // Latin Extended-A: pairs, upper case on the even (or, in two runs, odd) unit.
  if (u >= 0x100 && u <= 0x137) return static_cast<char16_t>(u | 1);
  if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E))
    return (u & 1) ? static_cast<char16_t>(u + 1) : u;
  if (u >= 0x14A && u <= 0x177) return static_cast<char16_t>(u | 1);
  if (u == 0x178) return 0xFF;
  // Greek.
  if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return static_cast<char16_t>(u + 32);
  if (u == 0x3C2) return 0x3C3;  // final sigma
  if (u == 0x386) return 0x3AC;
  if (u >= 0x388 && u <= 0x38A) return static_cast<char16_t>(u + 37);
  if (u == 0x38C) return 0x3CC;
  if (u == 0x38E || u == 0x38F) return static_cast<char16_t>(u + 63);
  // Cyrillic.
  if (u >= 0x400 && u <= 0x40F) return static_cast<char16_t>(u + 80);
  if (u >= 0x410 && u <= 0x42F) return static_cast<char16_t>(u + 32);
  if ((u >= 0x460 && u <= 0x481) || (u >= 0x48A && u <= 0x4BF) || (u >= 0x4D0 && u <= 0x52F))
    return static_cast<char16_t>(u | 1);
  if (u >= 0x4C1 && u <= 0x4CE) return (u & 1) ? static_cast<char16_t>(u + 1) : u;
  // Armenian.
  if (u >= 0x531 && u <= 0x556) return static_cast<char16_t>(u + 48);
  // Latin Extended Additional (Vietnamese and others): pairs.
  if (u >= 0x1E00 && u <= 0x1EFF && !(u >= 0x1E96 && u <= 0x1E9F))
    return static_cast<char16_t>(u | 1);
  // Fullwidth Latin.
  if (u >= 0xFF21 && u <= 0xFF3A) return static_cast<char16_t>(u + 32);
  return u;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  // Layouts, themes and texts are almost all ASCII, and the start reads thousands of their
  // strings: a run of ASCII is widened in one go before the byte-by-byte decoding.
  const auto ascii_end = std::find_if(text.begin(), text.end(),
                                      [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
  std::u16string out;
  out.reserve(text.size());
  out.assign(text.begin(), ascii_end);
  if (ascii_end == text.end()) return out;
  std::size_t i = static_cast<std::size_t>(ascii_end - text.begin());
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const unsigned char cont = static_cast<unsigned char>(text[i + k]);
      if ((cont & 0xC0) != 0x80)
        valid = false;
      else
        c = (c << 6) | (cont & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))
      valid = false;
    if (!valid) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

}  // namespace kb
