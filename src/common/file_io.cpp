// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

namespace kb {
namespace {

std::mutex g_hook_mutex;
BeforeRenameHook g_before_rename;

// Temporary names keep this much of the target's name, so that a target whose name is as long
// as the file system allows (255 bytes) still gets a temporary name that fits.
constexpr std::size_t kTemporaryNameKept = 32;
constexpr char kTemporarySuffix[] = ".XXXXXX";
constexpr std::size_t kTemporaryRandomChars = 6;

// When this process started, for telling a killed save's leftovers from a save under way.
const std::time_t g_process_start = std::time(nullptr);

std::string ErrnoText(const std::string& what, const std::filesystem::path& path) {
  return what + " " + path.string() + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the rename itself durable; a failure here is not worth failing the save for.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const int dir_fd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != prefix.size() + 1 + kTemporaryRandomChars) continue;
    if (name.substr(0, prefix.size()) != prefix || name[prefix.size()] != '.') continue;
    struct stat info {};
    if (::fstatat(dir_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_mtime >= g_process_start) continue;
    ::unlinkat(dir_fd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), path_(std::move(other.path_)) {}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = other.size_;
    path_ = std::move(other.path_);
  }
  return *this;
}

ReadableFile::~ReadableFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result<std::size_t> ReadableFile::Read(void* into, std::size_t size) {
  auto* out = static_cast<std::uint8_t*>(into);
  std::size_t filled = 0;
  while (filled < size) {
    ssize_t n = ::read(fd_, out + filled, size - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Fail(ErrnoText("cannot read", path_));
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  return filled;
}

Result<std::size_t> ReadableFile::ReadScattered(std::span<const std::span<std::uint8_t>> parts) {
  std::vector<iovec> vectors;
  vectors.reserve(parts.size());
  for (std::span<std::uint8_t> part : parts)
    if (!part.empty()) vectors.push_back({part.data(), part.size()});
  std::size_t total = 0;
  std::size_t next = 0;  // first vector not yet filled
  while (next < vectors.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(vectors.size() - next, IOV_MAX));
    const ssize_t n = ::readv(fd_, vectors.data() + next, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Fail(ErrnoText("cannot read", path_));
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
    // Skip the vectors the call filled; a partly filled one continues where it stopped.
    std::size_t left = static_cast<std::size_t>(n);
    while (next < vectors.size() && left >= vectors[next].iov_len) left -= vectors[next++].iov_len;
    if (left > 0) {
      vectors[next].iov_base = static_cast<std::uint8_t*>(vectors[next].iov_base) + left;
      vectors[next].iov_len -= left;
    }
  }
  return total;
}

Result<ReadableFile> OpenRegularFile(const std::filesystem::path& path, std::size_t max_bytes) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Status::Fail(ErrnoText("cannot open", path));
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const Status failed = Status::Fail(ErrnoText("cannot examine", path));
    ::close(fd);
    return failed;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return Status::Fail(path.string() + " is " + KindOf(info.st_mode) + ", not a file");
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > max_bytes) {
    ::close(fd);
    return Status::Fail(path.string() + " is " + std::to_string(size) + " bytes long; at most " +
                        std::to_string(max_bytes) + " are expected");
  }
  ReadableFile file;
  file.fd_ = fd;
  file.size_ = static_cast<std::size_t>(size);
  file.path_ = path;
  return file;
}

Result<Bytes> ReadWholeFile(const std::filesystem::path& path, std::size_t max_bytes) {
  Result<ReadableFile> file = OpenRegularFile(path, max_bytes);
  if (!file) return file.status();
  // One byte more than the size shows a file that grew since it was opened.
  Bytes bytes(std::min(file->size(), max_bytes) + 1);
  const Result<std::size_t> got = file->Read(bytes.data(), bytes.size());
  if (!got) return got.status();
  if (*got > max_bytes)
    return Status::Fail(path.string() + " grew past " + std::to_string(max_bytes) + " bytes");
  bytes.resize(*got);
  return bytes;
}

std::filesystem::path WriteTargetOf(const std::filesystem::path& path) {
  std::filesystem::path target = path;
  // A bounded walk: a loop of links ends as a failed write, not a hang.
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) break;
    std::filesystem::path next = std::filesystem::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

std::string TemporaryPrefixOf(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  if (name.size() > kTemporaryNameKept) name.resize(kTemporaryNameKept);
  std::string prefix(1, '.');
  prefix.append(name);
  return prefix;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  struct stat first {
  }, second{};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

namespace {

// Moves the complete file `temp` to `target` only if nothing is there, in one step, so that a
// file another process put there meanwhile is never replaced: rename with RENAME_NOREPLACE, or
// where the file system lacks it, a hard link (which fails on an existing name too) and the
// removal of the temporary name. False with errno set (EEXIST: something is there).
bool PlaceNewFile(const std::string& temp, const std::filesystem::path& target) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::link(temp.c_str(), target.c_str()) != 0) return false;
  ::unlink(temp.c_str());
  return true;
}

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts,
                           WriteOptions options) {
  const std::filesystem::path target = WriteTargetOf(path);
  const std::filesystem::path folder = target.parent_path();
  std::error_code ec;
  if (!folder.empty()) {
    std::filesystem::create_directories(folder, ec);
    if (ec) return Status::Fail("cannot create folder " + folder.string() + ": " + ec.message());
  }
  struct stat existing {};
  if (::lstat(target.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) {
      return Status::Fail("will not replace " + target.string() + ": it is " +
                          KindOf(existing.st_mode));
    }
    if (options.create_only)
      return Status::Fail("will not replace " + target.string() + ": it exists already");
  }
  const std::string prefix = TemporaryPrefixOf(target);
  if (options.remove_stale_temporaries) RemoveStaleTemporaries(folder, prefix);
  std::string temp = (folder / (prefix + kTemporarySuffix)).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return Status::Fail(ErrnoText("cannot create a temporary file beside", target));
  // mkstemp makes 0600; a replaced file keeps its mode, a new one is an ordinary user file.
  (void)::fchmod(fd, existing.st_mode != 0 ? (existing.st_mode & 07777) : 0644);

  auto fail = [&](const std::string& reason) {
    ::close(fd);
    ::unlink(temp.c_str());
    return Status::Fail(reason);
  };
  for (auto part : parts) {
    if (!WriteAll(fd, part.data(), part.size())) return fail(ErrnoText("cannot write", temp));
  }
  if (::fsync(fd) != 0) return fail(ErrnoText("cannot flush", temp));
  if (::close(fd) != 0) {
    ::unlink(temp.c_str());
    return Status::Fail(ErrnoText("cannot close", temp));
  }
  BeforeRenameHook hook;
  {
    std::lock_guard lock(g_hook_mutex);
    hook = g_before_rename;
  }
  if (hook && !hook(temp)) {
    ::unlink(temp.c_str());
    return Status::Fail("save of " + path.string() + " interrupted before the rename");
  }
  if (options.create_only) {
    if (!PlaceNewFile(temp, target)) {
      Status failed = Status::Fail(errno == EEXIST ? "will not replace " + target.string() +
                                                         ": it appeared while it was being created"
                                                   : ErrnoText("cannot create", target));
      ::unlink(temp.c_str());
      return failed;
    }
  } else if (::rename(temp.c_str(), target.c_str()) != 0) {
    Status failed = Status::Fail(ErrnoText("cannot replace", target));
    ::unlink(temp.c_str());
    return failed;
  }
  SyncFolder(folder);
  return Status::Ok();
}

Status WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                           WriteOptions options) {
  const std::span<const std::uint8_t> parts[] = {bytes};
  return WriteFileAtomically(path, parts, options);
}

Status KeepCopyBeside(const std::filesystem::path& path, const std::string& suffix,
                      std::filesystem::path* kept) {
  const std::filesystem::path target = WriteTargetOf(path);
  std::filesystem::path copy = target;
  copy += suffix;
  if (::link(target.c_str(), copy.c_str()) != 0) {
    std::error_code ec;
    std::filesystem::copy_file(target, copy, std::filesystem::copy_options::none, ec);
    if (ec) {
      return Status::Fail("cannot keep a copy of " + target.string() + " as " + copy.string() +
                          ": " + ec.message());
    }
  }
  if (kept) *kept = copy;
  return Status::Ok();
}

void SetBeforeRenameHookForTesting(BeforeRenameHook hook) {
  std::lock_guard lock(g_hook_mutex);
  g_before_rename = std::move(hook);
}

}  // namespace kb
