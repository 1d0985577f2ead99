#include "macro/macro_store.h"

#include <cstring>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "macro/macro_repair.h"

namespace kb {

MacroStoreLoad ParseMacroStore(std::span<const std::uint8_t> bytes, MacroList& list) {
  MacroStoreLoad result;
  result.file = StoreFileState::Read;
  constexpr std::size_t kRecord = sizeof(MacroRecord);
  const std::size_t whole = bytes.size() / kRecord;
  result.dropped_tail_bytes = bytes.size() % kRecord;
  list.reserve(list.size() + whole);
  for (std::size_t i = 0; i < whole; ++i) {
    // Every byte is overwritten at once, so the record need not be zeroed first.
    auto record = std::make_unique_for_overwrite<MacroRecord>();
    std::memcpy(record.get(), bytes.data() + i * kRecord, kRecord);
    const MacroRepair repair = RepairMacro(*record);
    result.clamped_action_counts += repair.clamped_action_count;
    result.terminated_names += repair.terminated_name;
    list.push_back(std::move(record));
  }
  result.loaded = whole;
  return result;
}

MacroStoreLoad LoadMacroStore(const std::filesystem::path& path, MacroList& list) {
  std::string why;
  std::optional<Bytes> bytes = ReadWholeFile(path, &why);
  if (!bytes) {
    MacroStoreLoad result;
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    result.file = exists || ec ? StoreFileState::Unreadable : StoreFileState::Missing;
    if (result.file == StoreFileState::Unreadable) result.reason = why;
    return result;
  }
  return ParseMacroStore(*bytes, list);
}

Status SaveMacroStore(const std::filesystem::path& path, const MacroList& list) {
  std::vector<std::span<const std::uint8_t>> parts;
  parts.reserve(list.size());
  for (const auto& record : list) parts.push_back(BytesOf(*record));
  return WriteFileAtomically(path, parts);
}

}  // namespace kb
