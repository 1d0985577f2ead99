// SPDX-License-Identifier: GPL-3.0-or-later
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

#include "common/result.h"
#include "common/status.h"

namespace kb {

using Bytes = std::vector<std::uint8_t>;

// Files the program reads are untrusted: a FIFO would block the reader for ever, a device
// node or a huge file would fill the memory. Every reader goes through OpenRegularFile or
// ReadWholeFile, which take regular files only (through symbolic links) and check the size
// before reading.
inline constexpr std::size_t kDefaultReadLimit = std::size_t{64} << 20;

// A regular file opened for reading, with its size at the time it was opened. Closes on
// destruction.
class ReadableFile {
 public:
  ReadableFile() = default;
  ReadableFile(ReadableFile&& other) noexcept;
  ReadableFile& operator=(ReadableFile&& other) noexcept;
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;
  ~ReadableFile();

  std::size_t size() const { return size_; }
  // Reads up to `size` bytes into `into`; fewer only at the end of the file. Returns how many,
  // or the read error.
  Result<std::size_t> Read(void* into, std::size_t size);
  // Reads into `parts` in turn, with as few calls as the system allows (readv): a file read
  // straight into many records. Returns the bytes read, fewer only at the end of the file.
  Result<std::size_t> ReadScattered(std::span<const std::span<std::uint8_t>> parts);

 private:
  friend Result<ReadableFile> OpenRegularFile(const std::filesystem::path&, std::size_t);
  int fd_ = -1;
  std::size_t size_ = 0;
  std::filesystem::path path_;
};

// Opens `path` when it is a regular file of at most `max_bytes`; otherwise the reason, naming
// the file. Never blocks on a FIFO.
Result<ReadableFile> OpenRegularFile(const std::filesystem::path& path, std::size_t max_bytes);

// The bytes of the regular file `path` of at most `max_bytes`, or why not.
Result<Bytes> ReadWholeFile(const std::filesystem::path& path,
                            std::size_t max_bytes = kDefaultReadLimit);

struct WriteOptions {
  // Removes temporary files of earlier saves of the same file that a crash or kill left behind,
  // when they are older than this process. Only for files whose writers are serialised (the
  // stores, under their lock): another writer's temporary file is never that old.
  bool remove_stale_temporaries = false;
  // Creates the file only: when a file is at `path` (or appears there while the new one is
  // written), the write fails and leaves that file as it is, instead of replacing it.
  bool create_only = false;
};

// Writes the concatenation of `parts` to a temporary file in the same folder, flushes it to
// disk and renames it over `path`. Creates missing parent folders. A `path` that is a symbolic
// link stays one: the file it points to is replaced. Refuses a target that exists and is not a
// regular file (a FIFO, a device node, a folder). On failure the old file (if any) is untouched
// and the temporary file is removed.
Status WriteFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts,
                           WriteOptions options = {});
Status WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                           WriteOptions options = {});

// The file a write of `path` replaces: `path` itself, or the end of its chain of symbolic links
// (which need not exist yet).
std::filesystem::path WriteTargetOf(const std::filesystem::path& path);

// The short temporary-file prefix that saves of `path` use beside it ("." and the start of the
// file's name); a leftover of a killed save is this prefix and six more characters.
std::string TemporaryPrefixOf(const std::filesystem::path& path);

// True when `a` and `b` name the same existing file (also through links or other names).
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Keeps the current file at `path` (through links) beside itself as `<name><suffix>`, without
// a moment in which `path` is missing: a hard link, or a copy where links are not possible.
// The copy's name goes to *kept when given.
[[nodiscard]] Status KeepCopyBeside(const std::filesystem::path& path, const std::string& suffix,
                                    std::filesystem::path* kept = nullptr);

// Test seam: called after the temporary file is complete and synced, just before the rename.
// A hook that returns false aborts the save there, as a crash at that moment would.
using BeforeRenameHook = std::function<bool(const std::filesystem::path& temp_path)>;
void SetBeforeRenameHookForTesting(BeforeRenameHook hook);

template <class T>
std::span<const std::uint8_t> BytesOf(const T& object) {
  return {reinterpret_cast<const std::uint8_t*>(&object), sizeof(T)};
}

}  // namespace kb
