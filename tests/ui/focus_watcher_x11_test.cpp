// SPDX-License-Identifier: GPL-3.0-or-later
// The focus watcher on X11 (run on a private Xvfb, with the xcb platform): the test acts as the
// window manager, setting the root window's _NET_ACTIVE_WINDOW and _NET_CLIENT_LIST over a
// connection of its own, to windows whose WM_CLASS names made-up applications, and to the
// program's own window.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QWindow>

#include "recording_window.h"
#include "ui/focus_watcher.h"
#include "ui/ui_test_driver.h"

namespace {

constexpr DuiLib::UINT kFront = DuiLib::WM_USER + 78;
using Names = std::vector<std::string>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// Sees the toolkit's events: once the marker property's change has come through, every root
// property change made before it has been handled too (the server sends them in order).
class MarkerFilter : public QAbstractNativeEventFilter {
 public:
  xcb_window_t root = 0;
  xcb_atom_t marker = XCB_ATOM_NONE;
  int seen = 0;
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (notify->window == root && notify->atom == marker) ++seen;
    return false;
  }
};

class FocusWatcherX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"SWAYSOCK", "I3SOCK", "WAYLAND_DISPLAY"}) unsetenv(name);
    ASSERT_TRUE(window.Open());
    ASSERT_NE(qGuiApp->nativeInterface<QNativeInterface::QX11Application>(), nullptr)
        << "not on X11: run with the xcb platform";
    window.on_message = [this](DuiLib::UINT msg, DuiLib::WPARAM, DuiLib::LPARAM, bool&) {
      if (msg == kFront) seen.push_back(watcher.Current());
    };
    wm = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(wm), 0);
    root = xcb_setup_roots_iterator(xcb_get_setup(wm)).data->root;
    filter.root = root;
    filter.marker = Atom(wm, "KB_TEST_MARKER");
    QCoreApplication::instance()->installNativeEventFilter(&filter);
  }
  void TearDown() override {
    watcher.Stop();
    QCoreApplication::instance()->removeNativeEventFilter(&filter);
    window.Close();
    DuiLib::Testing::ProcessEvents();
    xcb_disconnect(wm);
  }

  // A window of application `cls`, never mapped: the watcher reads only its WM_CLASS.
  xcb_window_t ClientWindow(const std::string& cls) {
    const xcb_window_t id = xcb_generate_id(wm);
    xcb_create_window(wm, XCB_COPY_FROM_PARENT, id, root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::string wm_class = "instance_of_" + cls + '\0' + cls + '\0';
    xcb_change_property(wm, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        wm_class.size(), wm_class.data());
    return id;
  }
  void SetRootWindows(const char* property, const std::vector<xcb_window_t>& windows) {
    xcb_change_property(wm, XCB_PROP_MODE_REPLACE, root, Atom(wm, property), XCB_ATOM_WINDOW, 32,
                        windows.size(), windows.data());
  }
  // What a window manager does when `window` is activated; returns once the program has seen it
  // and handled what it posted.
  void Activate(xcb_window_t window) {
    SetRootWindows("_NET_ACTIVE_WINDOW", {window});
    const int before = filter.seen;
    const std::uint32_t one = 1;
    xcb_change_property(wm, XCB_PROP_MODE_REPLACE, root, filter.marker, XCB_ATOM_CARDINAL, 32, 1,
                        &one);
    xcb_flush(wm);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (filter.seen == before && std::chrono::steady_clock::now() < deadline)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_GT(filter.seen, before) << "the marker's change never came";
    DuiLib::Testing::ProcessEvents();
  }
  xcb_window_t OwnWindow() const {
    for (QWindow* own : QGuiApplication::allWindows())
      if (own->isVisible()) return static_cast<xcb_window_t>(own->winId());
    return 0;
  }

  kbtest::RecordingWindow window{u"controls.xml"};
  DuiLib::CFocusWatcher watcher;
  Names seen;
  MarkerFilter filter;
  xcb_connection_t* wm = nullptr;
  xcb_window_t root = 0;
};

TEST_F(FocusWatcherX11Test, FollowsTheActiveWindowsClassAndListsTheClientsButOurOwn) {
  const xcb_window_t krita = ClientWindow("org.kde.krita");
  const xcb_window_t game = ClientWindow("steam_app_570");
  const xcb_window_t krita_too = ClientWindow("org.kde.krita");
  const xcb_window_t own = OwnWindow();
  ASSERT_NE(own, 0u);
  SetRootWindows("_NET_CLIENT_LIST", {krita, own, game, krita_too});
  xcb_flush(wm);

  ASSERT_TRUE(watcher.Start(window.GetHWND(), kFront)) << watcher.Unavailable();
  Activate(krita);
  Activate(own);  // our own window in front changes nothing
  Activate(game);
  EXPECT_EQ(seen, (Names{"org.kde.krita", "steam_app_570"}));
  EXPECT_EQ(watcher.OpenApplications(), (Names{"org.kde.krita", "steam_app_570"}));

  watcher.Stop();
  Activate(krita);
  EXPECT_EQ(seen.size(), 2u) << "a stopped watcher still follows";
}

TEST_F(FocusWatcherX11Test, OnWaylandTheXServerKnowsOnlyItsOwnWindows) {
  setenv("WAYLAND_DISPLAY", "wayland-9", 1);
  setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
  EXPECT_FALSE(watcher.Start(window.GetHWND(), kFront));
  EXPECT_NE(watcher.Unavailable().find("GNOME on Wayland"), std::string::npos)
      << watcher.Unavailable();
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("XDG_CURRENT_DESKTOP");
}

}  // namespace
