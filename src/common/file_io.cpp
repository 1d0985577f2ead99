#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace kb {
namespace {

std::mutex g_hook_mutex;
BeforeRenameHook g_before_rename;

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

}  // namespace

std::optional<Bytes> ReadWholeFile(const std::filesystem::path& path, std::string* why) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (why) *why = ErrnoText("cannot open", path);
    return std::nullopt;
  }
  // Read straight into the result, sized from the file when it says its size; keep reading
  // past that in case the file grew (or reports no size, as /proc files do).
  struct stat info {};
  std::size_t expected =
      (::fstat(fd, &info) == 0 && info.st_size > 0) ? static_cast<std::size_t>(info.st_size) : 0;
  Bytes bytes(expected + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
    ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (why) *why = ErrnoText("cannot read", path);
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(filled);
  return bytes;
}

Status WriteFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> parts) {
  const std::filesystem::path folder = path.parent_path();
  std::error_code ec;
  if (!folder.empty()) {
    std::filesystem::create_directories(folder, ec);
    if (ec) return Status::Fail("cannot create folder " + folder.string() + ": " + ec.message());
  }
  // Built by appending: GCC 12 at -O3 sees a false overlap in `"." + std::string` (-Wrestrict).
  std::string temp_name(1, '.');
  temp_name.append(path.filename().string()).append(".XXXXXX");
  std::string temp = (folder / temp_name).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return Status::Fail(ErrnoText("cannot create a temporary file beside", path));
  (void)::fchmod(fd, 0644);  // mkstemp makes 0600; the stores are ordinary user files

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
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    Status failed = Status::Fail(ErrnoText("cannot replace", path));
    ::unlink(temp.c_str());
    return failed;
  }
  SyncFolder(folder);
  return Status::Ok();
}

Status WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> parts[] = {bytes};
  return WriteFileAtomically(path, parts);
}

void SetBeforeRenameHookForTesting(BeforeRenameHook hook) {
  std::lock_guard lock(g_hook_mutex);
  g_before_rename = std::move(hook);
}

}  // namespace kb
