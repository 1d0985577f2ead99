// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The portable macro file (.mco): one MacroRecord, 36108 bytes, name included, with no model
// tag, so a file exported by one model imports into the other. Exports write exactly the
// record; imports read the file's first 36108 bytes.

#include <cstddef>
#include <filesystem>
#include <string>

#include "common/status.h"
#include "macro/macro_record.h"
#include "macro/macro_repair.h"

namespace kb {

// Writes the record's 36108 bytes unchanged, crash-safe.
[[nodiscard]] Status ExportMacroFile(const std::filesystem::path& path, const MacroRecord& macro);

enum class MacroImportOutcome {
  Imported,
  Unreadable,  // the file could not be opened or read
  WrongSize,   // shorter than one record: a truncated or foreign file
  StoreFull,   // the list already holds kMaxStoredMacros macros
};

struct MacroImport {
  MacroImportOutcome outcome = MacroImportOutcome::Unreadable;
  std::string reason;     // for the failures, a sentence naming the file
  std::size_t index = 0;  // position of the new macro in the list
  std::u16string name;    // the name it got
  MacroRepair repair;     // what had to be corrected in the file's record
};

// Reads the first record of a .mco (bytes after it are not read: what other programs append
// there is theirs) and appends it to `list`; a file shorter than a record is refused. The macro is
// named after the file's base name, made unique in the list ("Burst", "Burst_1", ...) and shortened
// to fit; the name inside the file is discarded; every other byte is taken over, but for the
// repairs the store load makes too. A list that has no room (MacrosFit) is refused before the file
// is read. Saving the store and updating the list control are the
// caller's. UI thread.
[[nodiscard]] MacroImport ImportMacroFile(const std::filesystem::path& path, MacroList& list);

}  // namespace kb
