// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace {

constexpr char kSignal[] = "show\n";
// A signal is one short line; whatever else comes is read no further than this, and no more
// connections than this are served at once, so a flood costs neither memory nor descriptors.
constexpr std::size_t kMaxLine = 64;
constexpr std::size_t kMaxClients = 8;

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

// A folder this user owns and nobody else may write or read into, or a reason.
bool IsPrivateFolder(const std::string& path, std::string* why) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) {
    *why = Errno(path);
    return false;
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
    *why = path + " is not a folder that only this user can use";
    return false;
  }
  return true;
}

std::string PrivateFolderIn(const std::string& parent, const std::string& leaf, std::string* why) {
  const std::string path = parent + "/" + leaf;
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    *why = Errno(path);
    return {};
  }
  return IsPrivateFolder(path, why) ? path : std::string();
}

bool SocketAddress(const std::string& path, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

struct CSingleInstance::Impl {
  std::string name;
  std::string lock_path;
  std::string socket_path;
  std::string failure;
  int lock_fd = -1;
  int server_fd = -1;
  std::unique_ptr<QSocketNotifier> server_notifier;
  struct Client {
    std::unique_ptr<QSocketNotifier> notifier;
    std::string line;
  };
  std::map<int, Client> clients;
  HWND target = nullptr;
  UINT message = 0;
  int pending = 0;

  void Deliver() {
    if (!target) {
      ++pending;
      return;
    }
    PostMessage(target, message, 0, 0);
  }

  void Drop(int fd) {
    auto it = clients.find(fd);
    if (it != clients.end()) {
      // Its own signal may be running: disabled now, deleted once it has returned, and never
      // told about the descriptor number again.
      it->second.notifier->setEnabled(false);
      it->second.notifier.release()->deleteLater();
      clients.erase(it);
    }
    close(fd);
  }

  void Accept() {
    for (;;) {
      const int fd = accept4(server_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) return;
      if (clients.size() >= kMaxClients) {
        close(fd);
        continue;
      }
      Client& client = clients[fd];
      client.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      QObject::connect(client.notifier.get(), &QSocketNotifier::activated,
                       [this, fd] { Read(fd); });
      Read(fd);  // the line may be there already
    }
  }

  void Read(int fd) {
    auto it = clients.find(fd);
    if (it == clients.end()) return;
    char buffer[kMaxLine];
    const ssize_t got = read(fd, buffer, kMaxLine - it->second.line.size());
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (got <= 0) {
      Drop(fd);
      return;
    }
    it->second.line.append(buffer, static_cast<std::size_t>(got));
    const std::size_t end = it->second.line.find('\n');
    if (end != std::string::npos) {
      if (it->second.line.compare(0, end + 1, kSignal) == 0) Deliver();
      Drop(fd);  // one line per connection
    } else if (it->second.line.size() >= kMaxLine) {
      Drop(fd);
    }
  }

  void Release() {
    while (!clients.empty()) Drop(clients.begin()->first);
    server_notifier.reset();
    if (server_fd >= 0) {
      close(server_fd);
      server_fd = -1;
      unlink(socket_path.c_str());
    }
    if (lock_fd >= 0) {
      // Removed while still held: a start that opens the name now makes a new file, and one
      // that opened the old file sees that it was removed (TryAcquire compares the two).
      unlink(lock_path.c_str());
      close(lock_fd);
      lock_fd = -1;
    }
  }
};

CSingleInstance::CSingleInstance(const CDuiString& name) : d_(std::make_unique<Impl>()) {
  internal::EnsureApplication();
  d_->name = name.ToUtf8();
}

CSingleInstance::~CSingleInstance() { d_->Release(); }

std::string CSingleInstance::Folder(std::string* why) {
  std::string reason;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
    if (IsPrivateFolder(runtime, &reason)) return runtime;
  // Without a runtime folder of its own: a folder named after the user id in the temporary
  // folder, and where someone else took that name, one in the user's cache folder.
  const std::string leaf = "kbconfig-" + std::to_string(getuid());
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = PrivateFolderIn(tmp != nullptr && *tmp == '/' ? tmp : "/tmp", leaf, &reason);
  if (!folder.empty()) return folder;
  std::string cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/')
    cache = xdg;
  else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
    cache = std::string(home) + "/.cache";
  if (!cache.empty()) {
    (void)mkdir(cache.c_str(), 0700);
    std::string second;
    folder = PrivateFolderIn(cache, leaf, &second);
    if (!folder.empty()) return folder;
    reason += "; " + second;
  }
  if (why != nullptr) *why = reason;
  return {};
}

bool CSingleInstance::TryAcquire() {
  if (d_->server_fd >= 0) return true;
  d_->failure.clear();
  const std::string folder = Folder(&d_->failure);
  if (folder.empty()) return false;
  d_->lock_path = folder + "/" + d_->name + ".lock";
  d_->socket_path = folder + "/" + d_->name;
  sockaddr_un address{};
  if (!SocketAddress(d_->socket_path, &address)) {
    d_->failure = d_->socket_path + ": the path is too long for a local socket";
    return false;
  }
  int fd = -1;
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    fd = open(d_->lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      d_->failure = Errno(d_->lock_path);
      return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool held = errno == EWOULDBLOCK;
      if (!held) d_->failure = Errno(d_->lock_path);
      close(fd);
      return false;  // held: another instance of this user runs
    }
    // The owner before us may have removed the file between our open and our lock.
    struct stat opened {
    }, named{};
    if (fstat(fd, &opened) != 0 || stat(d_->lock_path.c_str(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev) {
      close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    d_->failure = d_->lock_path + ": kept changing while it was taken";
    return false;
  }
  // Whose lock it is, for people and scripts looking at the folder.
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) != 0 ||
      write(fd, pid.data(), pid.size()) != static_cast<ssize_t>(pid.size())) {
    d_->failure = Errno(d_->lock_path);
    close(fd);
    return false;
  }
  d_->lock_fd = fd;
  // The lock is ours, so a socket of that name is a leftover of a killed instance.
  (void)unlink(d_->socket_path.c_str());
  d_->server_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (d_->server_fd < 0 ||
      bind(d_->server_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(d_->server_fd, static_cast<int>(kMaxClients)) != 0) {
    d_->failure = Errno(d_->socket_path);
    d_->Release();
    return false;
  }
  d_->server_notifier = std::make_unique<QSocketNotifier>(d_->server_fd, QSocketNotifier::Read);
  Impl* impl = d_.get();
  QObject::connect(d_->server_notifier.get(), &QSocketNotifier::activated,
                   [impl] { impl->Accept(); });
  return true;
}

bool CSingleInstance::IsOwner() const { return d_->server_fd >= 0; }

const std::string& CSingleInstance::failure() const { return d_->failure; }

void CSingleInstance::SetTarget(HWND hwnd, UINT message) {
  d_->target = hwnd;
  d_->message = message;
  for (; d_->pending > 0; --d_->pending) PostMessage(hwnd, message, 0, 0);
}

bool CSingleInstance::SignalFirstInstance() {
  std::string why;
  const std::string folder = Folder(&why);
  sockaddr_un address{};
  if (folder.empty() || !SocketAddress(folder + "/" + d_->name, &address)) return false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // A first instance that hangs must not hang this start too.
  const timeval timeout{1, 0};
  (void)setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  const bool sent = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                    send(fd, kSignal, sizeof kSignal - 1, MSG_NOSIGNAL) ==
                        static_cast<ssize_t>(sizeof kSignal - 1);
  close(fd);
  return sent;
}

}  // namespace DuiLib
