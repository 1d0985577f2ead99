// SPDX-License-Identifier: GPL-3.0-or-later
#include "plain_text.h"

#include <cstdio>

#include "common/utf16_text.h"

namespace kbctl {

std::string ListingText(std::u16string_view name) {
  const std::string utf8 = kb::ToUtf8(name);
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kbctl
