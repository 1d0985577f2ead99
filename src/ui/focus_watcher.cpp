// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focus_watcher.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QWindow>

#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, std::strlen(name), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// The bytes of property `atom` of `window`, at most 64 KiB; empty when it has none.
std::string Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t atom) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(c, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 16384);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
  if (reply == nullptr) return {};
  const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
  const int bytes = xcb_get_property_value_length(reply);
  std::string value(data, data + std::max(bytes, 0));
  if (reply->format != 8 && reply->format != 32) value.clear();
  std::free(reply);
  return value;
}

// WM_CLASS holds the instance and the class, each ending in a NUL: the class names the program,
// the instance only when there is no class.
std::string WmClassName(xcb_connection_t* c, xcb_window_t window) {
  const std::string wm_class = Property(c, window, XCB_ATOM_WM_CLASS);
  const std::size_t first_end = wm_class.find('\0');
  std::string name = wm_class.substr(0, first_end);
  if (first_end != std::string::npos && first_end + 1 < wm_class.size()) {
    std::string cls = wm_class.substr(first_end + 1);
    cls = cls.substr(0, cls.find('\0'));
    if (!cls.empty()) name = cls;
  }
  return name;
}

bool OwnWindow(xcb_window_t window) {
  for (QWindow* own : QGuiApplication::allWindows())
    if (own->handle() != nullptr && static_cast<xcb_window_t>(own->winId()) == window) return true;
  return false;
}

// sway's and i3's IPC: "i3-ipc", the payload's length and the message type (native byte order),
// then the payload. Events have the type's high bit set.
constexpr char kIpcMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::uint32_t kIpcSubscribe = 2;
constexpr std::uint32_t kIpcGetTree = 4;
constexpr std::uint32_t kIpcWindowEvent = 0x80000003;
constexpr std::size_t kIpcHeader = sizeof kIpcMagic + 8;
// A window event carries one container; anything longer is no event of ours.
constexpr std::uint32_t kIpcMaxPayload = 1 << 20;

std::string IpcMessage(std::uint32_t type, std::string_view payload) {
  std::string message(kIpcMagic, sizeof kIpcMagic);
  const auto length = static_cast<std::uint32_t>(payload.size());
  message.append(reinterpret_cast<const char*>(&length), 4);
  message.append(reinterpret_cast<const char*>(&type), 4);
  message.append(payload);
  return message;
}

const char* IpcSocketPath() {
  const char* path = std::getenv("SWAYSOCK");
  if (path == nullptr || *path == '\0') path = std::getenv("I3SOCK");
  return path != nullptr && *path != '\0' ? path : nullptr;
}

// A connected socket to sway's or i3's IPC, -1 when there is none.
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

// Reads exactly `size` bytes, waiting at most a second for each part: a compositor that does
// not answer must not hang the program.
bool ReadAll(int fd, char* data, std::size_t size) {
  while (size > 0) {
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, 1000) != 1) return false;
    const ssize_t got = read(fd, data, size);
    if (got <= 0) return false;
    data += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

// One request on a connection of its own, so that the replies never mix with the events of
// the watching one; the reply's payload, empty on any failure.
QByteArray IpcRequest(const char* path, std::uint32_t type) {
  const int fd = ConnectIpc(path);
  if (fd < 0) return {};
  QByteArray payload;
  const std::string request = IpcMessage(type, {});
  char header[kIpcHeader];
  std::uint32_t length = 0, reply_type = 0;
  if (write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size()) &&
      ReadAll(fd, header, sizeof header) && std::memcmp(header, kIpcMagic, sizeof kIpcMagic) == 0) {
    std::memcpy(&length, header + sizeof kIpcMagic, 4);
    std::memcpy(&reply_type, header + sizeof kIpcMagic + 4, 4);
    // The whole tree is larger than one window event; 64 MiB is far more than any desktop.
    if (reply_type == type && length <= 64u * kIpcMaxPayload) {
      payload.resize(static_cast<qsizetype>(length));
      if (!ReadAll(fd, payload.data(), length)) payload.clear();
    }
  }
  close(fd);
  return payload;
}

// The views in sway's or i3's tree (the containers that hold a window), named as their focus
// events name them; the program's own left out.
void CollectIpcViews(const QJsonObject& node, std::vector<std::string>& names) {
  const bool view = node.contains(QStringLiteral("pid")) &&
                    node.value(QStringLiteral("pid")).toInteger() != getpid();
  if (view) {
    QString name = node.value(QStringLiteral("app_id")).toString();
    if (name.isEmpty())
      name = node.value(QStringLiteral("window_properties"))
                 .toObject()
                 .value(QStringLiteral("class"))
                 .toString();
    if (!name.isEmpty()) names.push_back(name.toStdString());
  }
  for (const char* key : {"nodes", "floating_nodes"})
    for (const QJsonValue& child : node.value(QLatin1String(key)).toArray())
      CollectIpcViews(child.toObject(), names);
}

}  // namespace

struct CFocusWatcher::Impl : QAbstractNativeEventFilter {
  // sway or i3: their IPC socket.
  int ipc = -1;
  std::unique_ptr<QSocketNotifier> ipc_notifier;
  std::string ipc_buffer;

  bool StartIpc() {
    const char* path = IpcSocketPath();
    if (path == nullptr) return false;
    ipc = ConnectIpc(path);
    if (ipc < 0) return false;
    const std::string subscribe = IpcMessage(kIpcSubscribe, R"(["window"])");
    if (write(ipc, subscribe.data(), subscribe.size()) != static_cast<ssize_t>(subscribe.size())) {
      StopIpc();
      return false;
    }
    ipc_notifier = std::make_unique<QSocketNotifier>(ipc, QSocketNotifier::Read);
    QObject::connect(ipc_notifier.get(), &QSocketNotifier::activated, [this] { ReadIpc(); });
    return true;
  }

  void StopIpc() {
    ipc_notifier.reset();
    if (ipc >= 0) close(ipc);
    ipc = -1;
    ipc_buffer.clear();
  }

  void ReadIpc() {
    char chunk[4096];
    const ssize_t got = read(ipc, chunk, sizeof chunk);
    if (got <= 0) {  // the compositor went away: nothing more to follow
      StopIpc();
      return;
    }
    ipc_buffer.append(chunk, static_cast<std::size_t>(got));
    while (ipc_buffer.size() >= kIpcHeader) {
      std::uint32_t length = 0, type = 0;
      std::memcpy(&length, ipc_buffer.data() + sizeof kIpcMagic, 4);
      std::memcpy(&type, ipc_buffer.data() + sizeof kIpcMagic + 4, 4);
      if (ipc_buffer.compare(0, sizeof kIpcMagic, kIpcMagic, sizeof kIpcMagic) != 0 ||
          length > kIpcMaxPayload) {
        StopIpc();
        return;
      }
      if (ipc_buffer.size() < kIpcHeader + length) return;
      if (type == kIpcWindowEvent)
        OnIpcWindowEvent(QByteArray(ipc_buffer.data() + kIpcHeader, static_cast<int>(length)));
      ipc_buffer.erase(0, kIpcHeader + length);
    }
  }

  void OnIpcWindowEvent(const QByteArray& payload) {
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    if (event.value(QStringLiteral("change")).toString() != QStringLiteral("focus")) return;
    const QJsonObject container = event.value(QStringLiteral("container")).toObject();
    if (container.value(QStringLiteral("pid")).toInteger() == getpid()) return;  // our own
    // A Wayland window names its program by app_id; an X11 one beside it by its class.
    QString name = container.value(QStringLiteral("app_id")).toString();
    if (name.isEmpty())
      name = container.value(QStringLiteral("window_properties"))
                 .toObject()
                 .value(QStringLiteral("class"))
                 .toString();
    Changed(name.toStdString());
  }

  void Changed(const std::string& name) {
    if (name == current) return;
    current = name;
    PostMessage(hwnd, message, 0, 0);
  }

  HWND hwnd = nullptr;
  UINT message = 0;
  std::string current;
  std::string unavailable;
  xcb_connection_t* connection = nullptr;
  xcb_window_t root = 0;
  xcb_atom_t active_atom = XCB_ATOM_NONE;
  bool filtering = false;

  bool nativeEventFilter(const QByteArray& type, void* message_data, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message_data);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (notify->window == root && notify->atom == active_atom) ActiveWindowChanged();
    return false;
  }

  void ActiveWindowChanged() {
    const std::string value = Property(connection, root, active_atom);
    if (value.size() < 4) return;
    xcb_window_t active = 0;
    std::memcpy(&active, value.data(), 4);
    if (active == 0 || OwnWindow(active)) return;
    Changed(WmClassName(connection, active));
  }
};

CFocusWatcher::CFocusWatcher() : d_(std::make_unique<Impl>()) {}
CFocusWatcher::~CFocusWatcher() { Stop(); }

bool CFocusWatcher::Start(HWND hwnd, UINT message) {
  internal::EnsureApplication();
  Stop();
  d_->hwnd = hwnd;
  d_->message = message;
  // sway and i3 tell through their IPC, for Wayland and X11 windows alike.
  if (d_->StartIpc()) {
    d_->unavailable.clear();
    return true;
  }
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr) {
    d_->unavailable = "this desktop does not tell programs which window is active";
    return false;
  }
  d_->connection = x11->connection();
  const xcb_setup_t* setup = xcb_get_setup(d_->connection);
  d_->root = xcb_setup_roots_iterator(setup).data->root;
  d_->active_atom = Atom(d_->connection, "_NET_ACTIVE_WINDOW");
  // Added to the events the toolkit selects on the root window, never in their place.
  xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
      d_->connection, xcb_get_window_attributes(d_->connection, d_->root), nullptr);
  const std::uint32_t mask =
      (attributes != nullptr ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
  std::free(attributes);
  xcb_change_window_attributes(d_->connection, d_->root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(d_->connection);
  QCoreApplication::instance()->installNativeEventFilter(d_.get());
  d_->filtering = true;
  d_->unavailable.clear();
  d_->ActiveWindowChanged();
  return true;
}

void CFocusWatcher::Stop() {
  d_->StopIpc();
  if (d_->filtering && QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->removeNativeEventFilter(d_.get());
  d_->filtering = false;
}

std::vector<std::string> CFocusWatcher::OpenApplications() const {
  std::vector<std::string> names;
  if (const char* path = IpcSocketPath()) {
    CollectIpcViews(QJsonDocument::fromJson(IpcRequest(path, kIpcGetTree)).object(), names);
  } else if (auto* x11 = qGuiApp != nullptr
                             ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                             : nullptr;
             x11 != nullptr && x11->connection() != nullptr) {
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::string list = Property(c, root, Atom(c, "_NET_CLIENT_LIST"));
    for (std::size_t at = 0; at + 4 <= list.size(); at += 4) {
      xcb_window_t window = 0;
      std::memcpy(&window, list.data() + at, 4);
      if (OwnWindow(window)) continue;
      std::string name = WmClassName(c, window);
      if (!name.empty()) names.push_back(std::move(name));
    }
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

const std::string& CFocusWatcher::Current() const { return d_->current; }
const std::string& CFocusWatcher::Unavailable() const { return d_->unavailable; }

}  // namespace DuiLib
