// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name an imported macro or profile takes: its file's name without folder and extension.

#include <filesystem>
#include <string>

namespace kb {

// The last path component without its last extension, as UTF-16 (file names are taken as
// UTF-8; bytes that are not become U+FFFD). A name that is only an extension, such as ".mco",
// keeps it: a hidden file's name is its whole name, and an empty name would be unusable.
std::u16string FileBaseName(const std::filesystem::path& path);

}  // namespace kb
