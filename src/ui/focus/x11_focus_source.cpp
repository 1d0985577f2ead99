// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focus/x11_focus_source.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QWindow>

namespace DuiLib::internal {
namespace {

xcb_connection_t* ToolkitConnection() {
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->connection() : nullptr;
}

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

xcb_window_t RootWindow(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

}  // namespace

struct X11FocusSource::Impl : QAbstractNativeEventFilter {
  Changed changed;
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
    changed(WmClassName(connection, active));
  }
};

X11FocusSource::X11FocusSource() : d_(std::make_unique<Impl>()) {}
X11FocusSource::~X11FocusSource() { Stop(); }

bool X11FocusSource::Fits() { return ToolkitConnection() != nullptr; }

kb::Status X11FocusSource::Start(Changed changed) {
  Stop();
  d_->connection = ToolkitConnection();
  if (d_->connection == nullptr) return kb::Status::Fail("the program does not run on X11");
  d_->changed = std::move(changed);
  d_->root = RootWindow(d_->connection);
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
  d_->ActiveWindowChanged();
  return kb::Status::Ok();
}

void X11FocusSource::Stop() {
  if (d_->filtering && QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->removeNativeEventFilter(d_.get());
  d_->filtering = false;
}

std::vector<std::string> X11FocusSource::OpenApplications() const {
  std::vector<std::string> names;
  xcb_connection_t* c = ToolkitConnection();
  if (c == nullptr) return names;
  const std::string list = Property(c, RootWindow(c), Atom(c, "_NET_CLIENT_LIST"));
  for (std::size_t at = 0; at + 4 <= list.size(); at += 4) {
    xcb_window_t window = 0;
    std::memcpy(&window, list.data() + at, 4);
    if (OwnWindow(window)) continue;
    std::string name = WmClassName(c, window);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace DuiLib::internal
