// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the theme reader (theme.xml, and a layout's Window-level entries) on
// arbitrary bytes. Whatever the bytes, the parse ends, a failure says why, and the default font
// it names is one it holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/theme.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DuiLib::CTheme theme;
  const kb::Status parsed =
      theme.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!parsed.ok() && parsed.reason().empty()) std::abort();
  if (!theme.DefaultFontId().IsEmpty() && theme.FindFont(theme.DefaultFontId()) == nullptr)
    std::abort();
  return 0;
}
