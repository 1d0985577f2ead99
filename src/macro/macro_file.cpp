#include "macro/macro_file.h"

#include <cstring>

#include "common/file_io.h"
#include "common/utf16_text.h"
#include "names/file_base_name.h"
#include "names/name_rules.h"

namespace kb {

Status ExportMacroFile(const std::filesystem::path& path, const MacroRecord& macro) {
  return WriteFileAtomically(path, BytesOf(macro));
}

MacroImport ImportMacroFile(const std::filesystem::path& path, MacroList& list) {
  MacroImport result;
  std::string why;
  std::optional<Bytes> bytes = ReadWholeFile(path, &why);
  if (!bytes) {
    result.outcome = MacroImportOutcome::Unreadable;
    result.reason = why;
    return result;
  }
  if (bytes->size() != sizeof(MacroRecord)) {
    result.outcome = MacroImportOutcome::WrongSize;
    result.reason = path.string() + " is " + std::to_string(bytes->size()) +
                    " bytes long; a macro file holds exactly " +
                    std::to_string(sizeof(MacroRecord)) + " bytes";
    return result;
  }
  auto record = std::make_unique_for_overwrite<MacroRecord>();
  std::memcpy(record.get(), bytes->data(), sizeof(MacroRecord));
  result.repair = RepairMacro(*record);
  result.name = MakeUniqueName(FileBaseName(path), list);
  StoreFieldText(record->name, result.name);
  result.index = list.size();
  list.push_back(std::move(record));
  result.outcome = MacroImportOutcome::Imported;
  return result;
}

}  // namespace kb
