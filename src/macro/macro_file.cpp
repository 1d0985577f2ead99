// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_file.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "common/file_io.h"
#include "common/utf16_text.h"
#include "macro/macro_store.h"
#include "names/file_base_name.h"
#include "names/name_rules.h"

namespace kb {

Status ExportMacroFile(const std::filesystem::path& path, const MacroRecord& macro) {
  return WriteFileAtomically(path, BytesOf(macro));
}

MacroImport ImportMacroFile(const std::filesystem::path& path, MacroList& list) {
  MacroImport result;
  if (!MacrosFit(list.size(), 1)) {
    result.outcome = MacroImportOutcome::StoreFull;
    result.reason = "the macro store holds " + std::to_string(list.size()) + " macros; at most " +
                    std::to_string(kMaxStoredMacros) + " are allowed";
    return result;
  }
  // Only the first record is read, however long the file is, so a huge file costs nothing.
  Result<ReadableFile> file = OpenRegularFile(path, SIZE_MAX);
  if (!file) {
    result.outcome = MacroImportOutcome::Unreadable;
    result.reason = file.reason();
    return result;
  }
  if (file->size() < sizeof(MacroRecord)) {
    result.outcome = MacroImportOutcome::WrongSize;
    result.reason = path.string() + " is " + std::to_string(file->size()) +
                    " bytes long; a macro file holds " + std::to_string(sizeof(MacroRecord)) +
                    " bytes";
    return result;
  }
  auto record = std::make_unique_for_overwrite<MacroRecord>();
  const Result<std::size_t> got = file->Read(record.get(), sizeof(MacroRecord));
  if (!got || *got != sizeof(MacroRecord)) {
    result.outcome = got ? MacroImportOutcome::WrongSize : MacroImportOutcome::Unreadable;
    result.reason = got ? path.string() + " changed while it was read" : got.reason();
    return result;
  }
  result.repair = RepairMacro(*record);
  result.name = MakeUniqueName(FileBaseName(path), list);
  StoreFieldText(record->name, result.name);
  result.index = list.size();
  list.push_back(std::move(record));
  result.outcome = MacroImportOutcome::Imported;
  return result;
}

}  // namespace kb
