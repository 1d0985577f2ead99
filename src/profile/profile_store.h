// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The profile store "data.pros": a 44-byte header, then the model's profile records in list
// order. No magic, count or checksum: the number of records follows from the file length, so
// the loader trusts nothing in the file beyond what whole records give it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "common/file_io.h"
#include "common/status.h"
#include "common/store_file_state.h"
#include "keys/keyboard_model.h"
#include "profile/profile_record.h"

namespace kb {

struct StoreHeader {
  std::int32_t selected_index;  // position of the selected profile in the list
  std::uint8_t reserved[40];    // carried over unchanged from the file that was read
};

static_assert(sizeof(StoreHeader) == 44);
static_assert(offsetof(StoreHeader, selected_index) == 0);
static_assert(offsetof(StoreHeader, reserved) == 4);

inline constexpr std::size_t kStoreHeaderSize = sizeof(StoreHeader);
inline constexpr std::size_t kStoreRecordSize = sizeof(ProfileRecord);

// The most profiles a store may hold (about 48.6 MB): a file longer than that is refused as not
// a store, so the limit is kept on the way in too (imports refuse to pass it).
inline constexpr std::size_t kMaxStoredProfiles = 1000;
inline constexpr std::size_t kMaxProfileStoreBytes =
    kStoreHeaderSize + kMaxStoredProfiles * kStoreRecordSize;

// Whether `added` more profiles fit in a store that holds `held` (see MacrosFit).
constexpr bool ProfilesFit(std::size_t held, std::size_t added) {
  return held <= kMaxStoredProfiles && added <= kMaxStoredProfiles - held;
}

// What reading the bytes of a store found.
struct ProfileStoreParse {
  int records = 0;                      // whole records kept
  std::size_t dropped_bytes = 0;        // a header cut short, or a partial last record
  bool selected_index_clamped = false;  // selected_index lay outside the list
  int names_terminated = 0;             // name fields without a NUL (profile and key macro names)
};

// Replaces `header` and `list` with the store held in `bytes`. Never fails: whatever the bytes,
// the result is whole records only, every name field terminated, and selected_index inside the
// list (0 for an empty list). A header cut short is taken as zero.
ProfileStoreParse ParseProfileStore(std::span<const std::uint8_t> bytes, StoreHeader& header,
                                    ProfileList& list);

// What loading a store did.
struct ProfileStoreLoad {
  StoreFileState file = StoreFileState::Missing;
  bool created_default = false;  // the list is a new default store (see LoadProfileStore)
  ProfileStoreParse parse;       // what the file held, when it was read
  Status read = Status::Ok();    // why an existing store could not be read
  Status save = Status::Ok();    // the write of a new default store; ok when nothing was written

  // Bytes of an existing file that the list does not hold (a partial record, a header cut
  // short): the file must be kept aside before a save replaces it.
  bool lost_bytes() const { return file == StoreFileState::Read && parse.dropped_bytes > 0; }
};

// Reads the store at `path` into `header` and `list` (both replaced), straight into the
// records. Only a regular file of at most kMaxProfileStoreBytes is read; anything else is
// unreadable. For KB_3 the list always ends with at least one profile: when the file is
// missing, unreadable or holds no whole record, the header becomes zero and one default profile
// named `first_profile_name` (the language text of "kb_3_1_text" followed by "_1") is created.
// Only a missing store is then written at once, created and never replaced: when another
// process makes the store meanwhile, the load reads that store instead. An existing file is
// never written by a load.
// For KB_4 nothing is created and nothing is written: the list stays as the file gave it,
// possibly empty. Call on the thread that owns the list, before anyone else sees it.
[[nodiscard]] ProfileStoreLoad LoadProfileStore(const std::filesystem::path& path, Model model,
                                                std::u16string_view first_profile_name,
                                                StoreHeader& header, ProfileList& list);

// The file image of a store: the header and every record in list order; no bytes at all for an
// empty list.
Bytes SerializeProfileStore(const StoreHeader& header, const ProfileList& list);

// Writes the whole store crash-safely: on failure the old file stays whole and the reason is
// returned. An empty list writes an empty file. The caller keeps the list and the records from
// changing until it returns.
[[nodiscard]] Status SaveProfileStore(const std::filesystem::path& path, const StoreHeader& header,
                                      const ProfileList& list);

}  // namespace kb
