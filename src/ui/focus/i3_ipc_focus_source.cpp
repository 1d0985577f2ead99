// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focus/i3_ipc_focus_source.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

namespace DuiLib::internal {
namespace {

// sway's and i3's IPC: "i3-ipc", the payload's length and the message type (native byte order),
// then the payload. Events have the type's high bit set.
constexpr char kIpcMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::uint32_t kIpcSubscribe = 2;
constexpr std::uint32_t kIpcGetTree = 4;
constexpr std::uint32_t kIpcWindowEvent = 0x80000003;
constexpr std::size_t kIpcHeader = sizeof kIpcMagic + 8;
// A window event carries one container; anything longer is no event of ours.
constexpr std::uint32_t kIpcMaxEvent = 1 << 20;
// The whole tree is longer than one event; no desktop has a tree near this size.
constexpr std::uint32_t kIpcMaxTree = 64u << 20;
// How long a request waits for each part of its answer: a compositor that does not answer must
// not hang the program.
constexpr int kIpcReplyWaitMs = 1000;

const char* IpcSocketPath() {
  const char* path = std::getenv("SWAYSOCK");
  if (path == nullptr || *path == '\0') path = std::getenv("I3SOCK");
  return path != nullptr && *path != '\0' ? path : nullptr;
}

std::string IpcMessage(std::uint32_t type, std::string_view payload) {
  std::string message(kIpcMagic, sizeof kIpcMagic);
  const auto length = static_cast<std::uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), 4);
  message.append(reinterpret_cast<const char*>(&type), 4);
  message.append(payload);
  return message;
}

// A connected socket to the IPC, -1 when there is none.
int ConnectIpc(const char* path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (std::strlen(path) >= sizeof address.sun_path) return -1;
  std::strcpy(address.sun_path, path);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool WriteAll(int fd, const std::string& bytes) {
  return write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool ReadAll(int fd, char* data, std::size_t size) {
  while (size > 0) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, kIpcReplyWaitMs) != 1) return false;
    const ssize_t got = read(fd, data, size);
    if (got <= 0) return false;
    data += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

// One request on a connection of its own, so that its reply never mixes with the events of the
// watching one; the reply's payload, empty on any failure.
QByteArray IpcRequest(const char* path, std::uint32_t type) {
  const int fd = ConnectIpc(path);
  if (fd < 0) return {};
  QByteArray payload;
  char header[kIpcHeader];
  if (WriteAll(fd, IpcMessage(type, {})) && ReadAll(fd, header, sizeof header) &&
      std::memcmp(header, kIpcMagic, sizeof kIpcMagic) == 0) {
    std::uint32_t length = 0, reply_type = 0;
    std::memcpy(&length, header + sizeof kIpcMagic, 4);
    std::memcpy(&reply_type, header + sizeof kIpcMagic + 4, 4);
    if (reply_type == type && length <= kIpcMaxTree) {
      payload.resize(static_cast<qsizetype>(length));
      if (!ReadAll(fd, payload.data(), length)) payload.clear();
    }
  }
  close(fd);
  return payload;
}

bool OwnContainer(const QJsonObject& container) {
  return container.value(QStringLiteral("pid")).toInteger() == getpid();
}

// A Wayland window names its program by app_id; an X11 one beside it by its class.
std::string ContainerApplication(const QJsonObject& container) {
  QString name = container.value(QStringLiteral("app_id")).toString();
  if (name.isEmpty())
    name = container.value(QStringLiteral("window_properties"))
               .toObject()
               .value(QStringLiteral("class"))
               .toString();
  return name.toStdString();
}

// The views of the tree (the containers that hold a window: those with a pid), but our own.
void CollectViews(const QJsonObject& node, std::vector<std::string>& names) {
  if (node.contains(QStringLiteral("pid")) && !OwnContainer(node)) {
    std::string name = ContainerApplication(node);
    if (!name.empty()) names.push_back(std::move(name));
  }
  for (const char* key : {"nodes", "floating_nodes"})
    for (const QJsonValue& child : node.value(QLatin1String(key)).toArray())
      CollectViews(child.toObject(), names);
}

}  // namespace

struct I3IpcFocusSource::Impl {
  Changed changed;
  int ipc = -1;
  std::unique_ptr<QSocketNotifier> notifier;
  std::string buffer;

  void Close() {
    notifier.reset();
    if (ipc >= 0) close(ipc);
    ipc = -1;
    buffer.clear();
  }

  void Read() {
    char chunk[4096];
    const ssize_t got = read(ipc, chunk, sizeof chunk);
    if (got <= 0) {  // the compositor went away: nothing more to follow
      Close();
      return;
    }
    buffer.append(chunk, static_cast<std::size_t>(got));
    while (buffer.size() >= kIpcHeader) {
      std::uint32_t length = 0, type = 0;
      std::memcpy(&length, buffer.data() + sizeof kIpcMagic, 4);
      std::memcpy(&type, buffer.data() + sizeof kIpcMagic + 4, 4);
      if (buffer.compare(0, sizeof kIpcMagic, kIpcMagic, sizeof kIpcMagic) != 0 ||
          length > kIpcMaxEvent) {
        Close();
        return;
      }
      if (buffer.size() < kIpcHeader + length) return;
      if (type == kIpcWindowEvent)
        OnWindowEvent(QByteArray(buffer.data() + kIpcHeader, static_cast<int>(length)));
      buffer.erase(0, kIpcHeader + length);
    }
  }

  void OnWindowEvent(const QByteArray& payload) {
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    if (event.value(QStringLiteral("change")).toString() != QStringLiteral("focus")) return;
    const QJsonObject container = event.value(QStringLiteral("container")).toObject();
    if (OwnContainer(container)) return;
    changed(ContainerApplication(container));
  }
};

I3IpcFocusSource::I3IpcFocusSource() : d_(std::make_unique<Impl>()) {}
I3IpcFocusSource::~I3IpcFocusSource() { Stop(); }

bool I3IpcFocusSource::Fits() { return IpcSocketPath() != nullptr; }

kb::Status I3IpcFocusSource::Start(Changed changed) {
  Stop();
  const char* path = IpcSocketPath();
  if (path == nullptr) return kb::Status::Fail("no sway or i3 IPC socket is named");
  d_->ipc = ConnectIpc(path);
  if (d_->ipc < 0)
    return kb::Status::Fail(std::string("the IPC socket ") + path + " does not answer");
  if (!WriteAll(d_->ipc, IpcMessage(kIpcSubscribe, R"(["window"])"))) {
    d_->Close();
    return kb::Status::Fail(std::string("the IPC socket ") + path + " refused the subscription");
  }
  d_->changed = std::move(changed);
  d_->notifier = std::make_unique<QSocketNotifier>(d_->ipc, QSocketNotifier::Read);
  QObject::connect(d_->notifier.get(), &QSocketNotifier::activated, [this] { d_->Read(); });
  return kb::Status::Ok();
}

void I3IpcFocusSource::Stop() { d_->Close(); }

std::vector<std::string> I3IpcFocusSource::OpenApplications() const {
  std::vector<std::string> names;
  if (const char* path = IpcSocketPath())
    CollectViews(QJsonDocument::fromJson(IpcRequest(path, kIpcGetTree)).object(), names);
  return names;
}

}  // namespace DuiLib::internal
