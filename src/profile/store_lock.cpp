// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

namespace kb {
namespace {

constexpr char kProgramLockName[] = ".kbconfig.lock";
constexpr char kWritersLockName[] = ".writers.lock";

// How long the program waits at start-up for kbctl writes under way before it gives up.
constexpr std::chrono::seconds kProgramStartWait{10};
constexpr std::chrono::milliseconds kRetryPause{20};

std::string Reason(const std::string& what, const std::filesystem::path& path) {
  return what + " " + path.string() + ": " + std::strerror(errno);
}

// Opens (creating) a lock file without following a link planted in its place, so a lock can
// never truncate or create a file elsewhere.
Status OpenLockFile(const std::filesystem::path& path, int* fd) {
  *fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (*fd < 0) return Status::Fail(Reason("cannot open the lock file", path));
  return Status::Ok();
}

// Makes the data folder when it is missing and opens `name` in it.
Status OpenInFolder(const std::filesystem::path& folder, const char* name, int* fd) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Status::Fail("cannot create folder " + folder.string() + ": " + ec.message());
  return OpenLockFile(folder / name, fd);
}

int FlockRetryingSignals(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

}  // namespace

StoreLock::StoreLock(StoreLock&& other) noexcept
    : program_fd_(std::exchange(other.program_fd_, -1)),
      writers_fd_(std::exchange(other.writers_fd_, -1)) {}

StoreLock& StoreLock::operator=(StoreLock&& other) noexcept {
  if (this != &other) {
    Release();
    program_fd_ = std::exchange(other.program_fd_, -1);
    writers_fd_ = std::exchange(other.writers_fd_, -1);
  }
  return *this;
}

StoreLock::~StoreLock() { Release(); }

void StoreLock::Release() {
  // Closing the descriptors drops the locks.
  if (writers_fd_ >= 0) ::close(writers_fd_);
  if (program_fd_ >= 0) ::close(program_fd_);
  writers_fd_ = program_fd_ = -1;
}

std::filesystem::path StoreFolderOf(const ModelPaths& paths) {
  return paths.profile_store.parent_path();
}

Status StoreLock::HoldForProgram(const ModelPaths& paths, StoreLock* out) {
  const std::filesystem::path folder = StoreFolderOf(paths);
  const std::filesystem::path path = folder / kProgramLockName;
  StoreLock lock;
  if (Status opened = OpenInFolder(folder, kProgramLockName, &lock.program_fd_); !opened)
    return opened;
  // A running kbctl holds the lock shared for the few milliseconds of its write: retry for a
  // while. Another program holds it exclusively for its whole run and is not waited out.
  const auto deadline = std::chrono::steady_clock::now() + kProgramStartWait;
  while (FlockRetryingSignals(lock.program_fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) return Status::Fail(Reason("cannot lock", path));
    if (std::chrono::steady_clock::now() >= deadline) {
      return Status::Fail("the stores in " + folder.string() +
                          " are in use by another program or a kbctl command that does not end");
    }
    std::this_thread::sleep_for(kRetryPause);
  }
  *out = std::move(lock);
  return Status::Ok();
}

Status StoreLock::LockForWriting(const ModelPaths& paths, StoreLock* out) {
  const std::filesystem::path folder = StoreFolderOf(paths);
  const std::filesystem::path program_path = folder / kProgramLockName;
  StoreLock lock;
  if (Status opened = OpenInFolder(folder, kProgramLockName, &lock.program_fd_); !opened)
    return opened;
  if (FlockRetryingSignals(lock.program_fd_, LOCK_SH | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) {
      return Status::Fail("kbconfig is running: it holds the stores in " + folder.string() +
                          "; make the change in the program, or close it first");
    }
    return Status::Fail(Reason("cannot lock", program_path));
  }
  if (Status taken = lock.TakeWritersLock(folder); !taken) return taken;
  *out = std::move(lock);
  return Status::Ok();
}

Status StoreLock::LockForCreating(const ModelPaths& paths, StoreLock* out) {
  StoreLock lock;
  if (Status taken = lock.TakeWritersLock(StoreFolderOf(paths)); !taken) return taken;
  *out = std::move(lock);
  return Status::Ok();
}

Status StoreLock::TakeWritersLock(const std::filesystem::path& folder) {
  const std::filesystem::path writers_path = folder / kWritersLockName;
  if (Status opened = OpenInFolder(folder, kWritersLockName, &writers_fd_); !opened) return opened;
  if (FlockRetryingSignals(writers_fd_, LOCK_EX) != 0)
    return Status::Fail(Reason("cannot lock", writers_path));
  return Status::Ok();
}

}  // namespace kb
