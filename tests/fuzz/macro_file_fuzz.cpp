// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: a macro file (.mco) as the macro page and kbctl import it, then encoded as
// the keyboard would receive it. Whatever the bytes, a file shorter than a record is refused
// and changes nothing; an imported macro is repaired into the bounds the rest of the program
// relies on and gets the file's name.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "device/macro_program.h"
#include "macro/macro_file.h"
#include "names/name_rules.h"

namespace {

std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

void RemoveFolder() {
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/macro_file_fuzz_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  Folder() = pattern;
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = Folder() / "Burst.mco";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }
  kb::MacroList list;
  const kb::MacroImport import = kb::ImportMacroFile(file, list);
  if (size < sizeof(kb::MacroRecord)) {
    if (import.outcome != kb::MacroImportOutcome::WrongSize || !list.empty()) std::abort();
    return 0;
  }
  if (import.outcome != kb::MacroImportOutcome::Imported || list.size() != 1) std::abort();
  const kb::MacroRecord& macro = *list[0];
  if (macro.action_count < 0 || macro.action_count > kb::kMaxMacroActions) std::abort();
  if (kb::NameOf(macro) != u"Burst" || import.name != u"Burst") std::abort();
  const std::vector<std::uint8_t> program = kb::EncodeMacroProgram(macro, macro.loop_time);
  if (program.size() < kb::kProgramLoopsSize + kb::kProgramEndMarkSize) std::abort();
  return 0;
}
