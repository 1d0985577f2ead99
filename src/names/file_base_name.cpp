// SPDX-License-Identifier: GPL-3.0-or-later
#include "names/file_base_name.h"

#include "common/utf16_text.h"

namespace kb {

std::u16string FileBaseName(const std::filesystem::path& path) {
  return FromUtf8(path.filename().stem().string());
}

}  // namespace kb
