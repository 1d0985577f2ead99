// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_store.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "macro/macro_repair.h"

namespace kb {

namespace {

// Records read by one call while loading the store.
constexpr std::size_t kRecordsPerRead = 16;

}  // namespace

MacroStoreLoad ParseMacroStore(std::span<const std::uint8_t> bytes, MacroList& list) {
  MacroStoreLoad result;
  result.file = StoreFileState::Read;
  constexpr std::size_t kRecord = sizeof(MacroRecord);
  const std::size_t whole = std::min(bytes.size() / kRecord, kMaxStoredMacros);
  result.dropped_tail_bytes = bytes.size() - whole * kRecord;
  list.reserve(list.size() + whole);
  for (std::size_t i = 0; i < whole; ++i) {
    auto record = MacroRecordFromBytes(bytes.subspan(i * kRecord).first<kRecord>());
    const MacroRepair repair = RepairMacro(*record);
    result.clamped_action_counts += repair.clamped_action_count;
    result.terminated_names += repair.terminated_name;
    list.push_back(std::move(record));
  }
  result.loaded = whole;
  return result;
}

MacroStoreLoad LoadMacroStore(const std::filesystem::path& path, MacroList& list) {
  MacroStoreLoad result;
  Result<ReadableFile> file = OpenRegularFile(path, kMaxMacroStoreBytes);
  if (!file) {
    std::error_code ec;
    // Through links: a link to nothing yet is a store not made yet.
    const auto type = std::filesystem::status(path, ec).type();
    const bool missing = type == std::filesystem::file_type::not_found;
    result.file = missing ? StoreFileState::Missing : StoreFileState::Unreadable;
    if (!missing) result.read = file.status();
    return result;
  }
  result.file = StoreFileState::Read;
  constexpr std::size_t kRecord = sizeof(MacroRecord);
  const std::size_t whole = file->size() / kRecord;
  const std::size_t first = list.size();
  list.reserve(first + whole);
  // Read a few records at a time and kept without their pages of zeros.
  std::vector<std::uint8_t> chunk(std::min(whole, kRecordsPerRead) * kRecord);
  for (std::size_t done = 0; done < whole;) {
    const std::size_t want = std::min(kRecordsPerRead, whole - done) * kRecord;
    const Result<std::size_t> n = file->Read(chunk.data(), want);
    if (!n) {
      list.resize(first);
      return MacroStoreLoad{.file = StoreFileState::Unreadable, .read = n.status()};
    }
    const std::span<const std::uint8_t> bytes(chunk.data(), *n);
    for (std::size_t i = 0; i < *n / kRecord; ++i)
      list.push_back(MacroRecordFromBytes(bytes.subspan(i * kRecord).first<kRecord>()));
    done += *n / kRecord;
    if (*n < want) break;  // the file may have shrunk meanwhile
  }
  for (std::size_t i = first; i < list.size(); ++i) {
    const MacroRepair repair = RepairMacro(*list[i]);
    result.clamped_action_counts += repair.clamped_action_count;
    result.terminated_names += repair.terminated_name;
  }
  result.loaded = list.size() - first;
  result.dropped_tail_bytes = file->size() - result.loaded * kRecord;
  return result;
}

Status SaveMacroStore(const std::filesystem::path& path, const MacroList& list) {
  std::vector<std::span<const std::uint8_t>> parts;
  parts.reserve(list.size());
  for (const auto& record : list) parts.push_back(BytesOf(*record));
  return WriteFileAtomically(path, parts, {.remove_stale_temporaries = true});
}

}  // namespace kb
