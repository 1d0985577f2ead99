// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Folders for tests that touch the file system: a fresh temporary folder per test, removed
// afterwards, and a way to make a folder unwritable even for root (whose writes a read-only
// mode does not stop), so that failed saves are tested on every machine.

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace kb::testing {

// $TMPDIR, or /tmp.
inline std::filesystem::path TemporaryBase() {
  const char* base = std::getenv("TMPDIR");
  return base && *base ? base : "/tmp";
}

// A memory-backed folder when the system has one: a test that saves hundreds of times then
// measures threads, not the disk's flushes.
inline std::filesystem::path MemoryBackedBase() {
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
  return TemporaryBase();
}

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix,
                      const std::filesystem::path& base = TemporaryBase()) {
    std::string pattern = (base / (prefix + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// While it lives, nothing can be created, renamed or removed in `folder`. Check active():
// on a file system without the immutable flag a process running as root cannot be stopped, so
// CTest runs the tests that use this as an ordinary user (kb_add_gtest ... UNPRIVILEGED).
class UnwritableFolder {
 public:
  explicit UnwritableFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::permissions(
        folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(folder_.c_str(), W_OK) != 0) {
      active_ = true;
      return;
    }
    immutable_ = SetImmutable(true);
    active_ = immutable_;
  }
  ~UnwritableFolder() { Restore(); }
  UnwritableFolder(const UnwritableFolder&) = delete;
  UnwritableFolder& operator=(const UnwritableFolder&) = delete;

  bool active() const { return active_; }

  void Restore() {
    if (immutable_) immutable_ = !SetImmutable(false);
    std::error_code ec;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ec);
    active_ = false;
  }

 private:
  bool SetImmutable(bool on) {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
  }

  std::filesystem::path folder_;
  bool active_ = false;
  bool immutable_ = false;
};

// While it lives, no write may make a file larger than `bytes`: write() fails as on a full disk,
// for any user.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
    if (!ok_) return;
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  sighandler_t old_handler_ = SIG_DFL;
  bool ok_ = false;
};

}  // namespace kb::testing
