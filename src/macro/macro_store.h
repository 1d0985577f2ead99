// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The macro store: the model's macro list written back to back, 36108 bytes per record, in list
// order, with no header. The number of macros follows from the file length.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/status.h"
#include "common/store_file_state.h"
#include "macro/macro_record.h"

namespace kb {

// The most macros a store may hold (about 36 MB); longer files are refused as not a store, and
// imports refuse to pass the limit.
inline constexpr std::size_t kMaxStoredMacros = 1000;
inline constexpr std::size_t kMaxMacroStoreBytes = kMaxStoredMacros * sizeof(MacroRecord);

// Whether `added` more macros fit in a store that holds `held`: the one rule every add and import
// (the program's and kbctl's) checks before it changes the list, so that nothing of a refused
// import is kept.
constexpr bool MacrosFit(std::size_t held, std::size_t added) {
  return held <= kMaxStoredMacros && added <= kMaxStoredMacros - held;
}

// What a load found. Only whole records are kept; every kept record has action_count in
// 0..3000 and a NUL-terminated name.
struct MacroStoreLoad {
  StoreFileState file = StoreFileState::Missing;
  Status read = Status::Ok();          // why an existing file could not be read
  std::size_t loaded = 0;              // records appended to the list
  std::size_t dropped_tail_bytes = 0;  // bytes of a partial last record, not kept
  std::size_t clamped_action_counts = 0;
  std::size_t terminated_names = 0;

  // The file held bytes the list does not: keep it aside before a save replaces it.
  bool lost_bytes() const { return file == StoreFileState::Read && dropped_tail_bytes > 0; }
};

// Appends the whole records of `bytes` to `list`. Never fails: the bytes are untrusted and
// anything that is not a whole record is dropped and counted.
MacroStoreLoad ParseMacroStore(std::span<const std::uint8_t> bytes, MacroList& list);

// Reads the store at `path` into `list` (expected empty), straight into the records; only a
// regular file of at most kMaxMacroStoreBytes is read. Never writes. UI thread, at start-up.
[[nodiscard]] MacroStoreLoad LoadMacroStore(const std::filesystem::path& path, MacroList& list);

// Rewrites the store whole and crash-safe; an empty list gives an empty file. On failure the
// old file is untouched.
[[nodiscard]] Status SaveMacroStore(const std::filesystem::path& path, const MacroList& list);

}  // namespace kb
