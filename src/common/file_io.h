#pragma once
// Whole-file reads and crash-safe whole-file writes. Every store and exchange file is written
// through WriteFileAtomically so that a failed or interrupted save leaves the old file whole.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/status.h"

namespace kb {

using Bytes = std::vector<std::uint8_t>;

// The file's bytes, or nullopt when it cannot be opened or read (reason in *why when given).
std::optional<Bytes> ReadWholeFile(const std::filesystem::path& path, std::string* why = nullptr);

// Writes the concatenation of `parts` to a temporary file in the same folder, flushes it to
// disk and renames it over `path`. Creates missing parent folders. On failure the old file (if
// any) is untouched and the temporary file is removed.
Status WriteFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts);
Status WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Test seam: called after the temporary file is complete and synced, just before the rename.
// A hook that returns false aborts the save there, as a crash at that moment would.
using BeforeRenameHook = std::function<bool(const std::filesystem::path& temp_path)>;
void SetBeforeRenameHookForTesting(BeforeRenameHook hook);

template <class T>
std::span<const std::uint8_t> BytesOf(const T& object) {
  return {reinterpret_cast<const std::uint8_t*>(&object), sizeof(T)};
}

}  // namespace kb
