// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary folders and whole-file helpers for tests that read and write real files.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/test_folders.h"
#include "macro/macro_record.h"

namespace kb::testing {

// A fresh folder per test (aborts when none can be made, since every test here needs one).
class TempDir : public TempFolder {
 public:
  TempDir() : TempFolder("kbtest") {
    if (!ok()) std::abort();
  }
  std::filesystem::path operator/(const std::string& name) const { return path() / name; }
};

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

template <class T>
std::vector<std::uint8_t> ImageOf(const T& object) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&object);
  return {p, p + sizeof(T)};
}

// A macro with a name and `count` distinct key actions, the rest of the table zero.
inline std::unique_ptr<MacroRecord> MakeMacro(std::u16string_view name, int count = 2,
                                              int loop_time = 1) {
  auto macro = std::make_unique<MacroRecord>();
  for (std::size_t i = 0; i < name.size() && i + 1 < std::size(macro->name); ++i)
    macro->name[i] = name[i];
  macro->loop_time = loop_time;
  macro->action_count = count;
  for (int i = 0; i < count; ++i) {
    macro->actions[i].action_code = static_cast<std::uint8_t>(0x04 + i % 26);
    macro->actions[i].action_kind = static_cast<std::uint8_t>(1 + i % 2);
    macro->actions[i].delay = static_cast<std::uint16_t>(10 + i);
  }
  return macro;
}

}  // namespace kb::testing
