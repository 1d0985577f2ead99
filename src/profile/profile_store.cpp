// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_store.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "common/utf16_text.h"

namespace kb {
namespace {

int TerminateNames(ProfileRecord& record) {
  int terminated = TerminateField(record.name) ? 1 : 0;
  for (ProfileBank& bank : record.banks) {
    for (KeyEntry& entry : bank.keys) terminated += TerminateField(entry.macro_name) ? 1 : 0;
    for (KeyEntry& entry : bank.fn_keys) terminated += TerminateField(entry.macro_name) ? 1 : 0;
  }
  return terminated;
}

void UseDefaultStore(Model model, std::u16string_view first_profile_name, StoreHeader& header,
                     ProfileList& list) {
  std::memset(&header, 0, sizeof header);
  list.clear();
  NewDefaultProfile(first_profile_name, model, list);
}

// Clamps selected_index into the list, as every load does.
void ClampSelection(StoreHeader& header, const ProfileList& list, ProfileStoreParse& result) {
  result.records = static_cast<int>(list.size());
  const std::int32_t last = list.empty() ? 0 : static_cast<std::int32_t>(list.size() - 1);
  const std::int32_t clamped = std::clamp(header.selected_index, std::int32_t{0}, last);
  result.selected_index_clamped = clamped != header.selected_index;
  header.selected_index = clamped;
}

}  // namespace

ProfileStoreParse ParseProfileStore(std::span<const std::uint8_t> bytes, StoreHeader& header,
                                    ProfileList& list) {
  ProfileStoreParse result;
  std::memset(&header, 0, sizeof header);
  list.clear();
  if (bytes.size() < kStoreHeaderSize) {
    result.dropped_bytes = bytes.size();
    return result;
  }
  std::memcpy(&header, bytes.data(), kStoreHeaderSize);

  std::span<const std::uint8_t> rest = bytes.subspan(kStoreHeaderSize);
  const std::size_t whole = std::min(rest.size() / kStoreRecordSize, kMaxStoredProfiles);
  result.dropped_bytes = rest.size() - whole * kStoreRecordSize;
  list.reserve(whole);
  for (std::size_t i = 0; i < whole; ++i) {
    auto record = std::make_unique_for_overwrite<ProfileRecord>();
    std::memcpy(record.get(), rest.data() + i * kStoreRecordSize, kStoreRecordSize);
    result.names_terminated += TerminateNames(*record);
    list.push_back(std::move(record));
  }
  ClampSelection(header, list, result);
  return result;
}

namespace {

// Reads the store straight into its records: one read per record, no copy of the file.
Result<ProfileStoreParse> ReadStoreInPlace(ReadableFile& file, StoreHeader& header,
                                           ProfileList& list) {
  ProfileStoreParse result;
  std::memset(&header, 0, sizeof header);
  list.clear();
  const std::size_t size = file.size();
  if (size < kStoreHeaderSize) {
    result.dropped_bytes = size;
    return result;
  }
  const Result<std::size_t> got = file.Read(&header, kStoreHeaderSize);
  if (!got) return got.status();
  const std::size_t whole = (size - kStoreHeaderSize) / kStoreRecordSize;
  list.reserve(whole);
  std::vector<std::span<std::uint8_t>> places;
  places.reserve(whole);
  for (std::size_t i = 0; i < whole; ++i) {
    list.push_back(std::make_unique_for_overwrite<ProfileRecord>());
    places.emplace_back(reinterpret_cast<std::uint8_t*>(list.back().get()), kStoreRecordSize);
  }
  const Result<std::size_t> n = file.ReadScattered(places);
  if (!n) return n.status();
  list.resize(std::min(whole, *n / kStoreRecordSize));  // the file may have shrunk meanwhile
  for (const auto& record : list) result.names_terminated += TerminateNames(*record);
  result.dropped_bytes = size - kStoreHeaderSize - list.size() * kStoreRecordSize;
  ClampSelection(header, list, result);
  return result;
}

}  // namespace

namespace {

// One load; *appeared tells that the missing store could not be created because another process
// made it in the meantime.
ProfileStoreLoad LoadOnce(const std::filesystem::path& path, Model model,
                          std::u16string_view first_profile_name, StoreHeader& header,
                          ProfileList& list, bool* appeared) {
  ProfileStoreLoad result;
  Result<ReadableFile> file = OpenRegularFile(path, kMaxProfileStoreBytes);
  Result<ProfileStoreParse> parse =
      file ? ReadStoreInPlace(*file, header, list) : Result<ProfileStoreParse>(file.status());
  if (!parse) {
    std::error_code ec;
    const bool found =
        std::filesystem::status(path, ec).type() != std::filesystem::file_type::not_found;
    result.file = found ? StoreFileState::Unreadable : StoreFileState::Missing;
    if (found) result.read = parse.status();
    std::memset(&header, 0, sizeof header);
    list.clear();
    if (!InfoOf(model).creates_default_store) return result;
    UseDefaultStore(model, first_profile_name, header, list);
    result.created_default = true;
    // Only a missing store is written: one that exists may still hold the user's profiles. It
    // is created, never replaced, so a store another process saved since the look above (an
    // import under the writers' lock, the program) is kept; that store is then read instead.
    if (result.file == StoreFileState::Missing) {
      result.save =
          WriteFileAtomically(path, SerializeProfileStore(header, list), {.create_only = true});
      std::error_code ec;
      *appeared = !result.save.ok() &&
                  std::filesystem::status(path, ec).type() != std::filesystem::file_type::not_found;
    }
    return result;
  }

  result.file = StoreFileState::Read;
  result.parse = *parse;
  if (list.empty() && InfoOf(model).creates_default_store) {
    // In memory only: the file stays as it is until a command changes the store, and a save
    // then keeps the damaged file aside first (see ProfileStoreLoad::lost_bytes).
    UseDefaultStore(model, first_profile_name, header, list);
    result.created_default = true;
  }
  return result;
}

}  // namespace

ProfileStoreLoad LoadProfileStore(const std::filesystem::path& path, Model model,
                                  std::u16string_view first_profile_name, StoreHeader& header,
                                  ProfileList& list) {
  bool appeared = false;
  ProfileStoreLoad result = LoadOnce(path, model, first_profile_name, header, list, &appeared);
  // Once: a store that appeared is read like any other (and is never written by a load).
  if (appeared) result = LoadOnce(path, model, first_profile_name, header, list, &appeared);
  return result;
}

Bytes SerializeProfileStore(const StoreHeader& header, const ProfileList& list) {
  if (list.empty()) return {};
  // Sized once and filled in place (GCC 12 at -O3 also misreads growing inserts here).
  Bytes bytes(kStoreHeaderSize + list.size() * kStoreRecordSize);
  std::memcpy(bytes.data(), &header, kStoreHeaderSize);
  std::uint8_t* next = bytes.data() + kStoreHeaderSize;
  for (const auto& record : list) {
    std::memcpy(next, record.get(), kStoreRecordSize);
    next += kStoreRecordSize;
  }
  return bytes;
}

Status SaveProfileStore(const std::filesystem::path& path, const StoreHeader& header,
                        const ProfileList& list) {
  std::vector<std::span<const std::uint8_t>> parts;
  if (!list.empty()) {
    parts.reserve(list.size() + 1);
    parts.push_back(BytesOf(header));
    for (const auto& record : list) parts.push_back(BytesOf(*record));
  }
  return WriteFileAtomically(path, parts, {.remove_stale_temporaries = true});
}

}  // namespace kb
