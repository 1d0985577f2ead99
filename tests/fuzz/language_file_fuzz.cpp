// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the language file reader (text.xml) on arbitrary bytes. Whatever the bytes,
// the parse ends, and every text it kept is found again by its key.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kb::LanguageTexts texts;
  const kb::Status parsed =
      texts.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed.ok() && parsed.reason().empty()) std::abort();
  for (const auto& [key, text] : texts.all())
    if (!texts.Has(key) || texts.Text(key) != text) std::abort();
  return 0;
}
