// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and prints the milliseconds from its start until it maps a top-level window
// of the given title, then the program's process id; the program is left running.
//   map_watcher <title> <program> [arguments...]
// The watcher sleeps on the X connection until the server reports the map, so it neither steals
// a core from the program it measures nor adds a polling interval to the figure.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

extern char** environ;

namespace {

double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr),
      &std::free);
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string Property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property) {
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(
          x, xcb_get_property(x, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr),
      &std::free);
  if (!reply || reply->format != 8) return {};
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     xcb_get_property_value_length(reply.get()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <title> <program> [arguments...]\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1];
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "map_watcher: no X display\n");
    return 1;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
  const xcb_atom_t net_wm_name = Atom(x, "_NET_WM_NAME");
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  // Checked, so that the server has the selection before the program can map anything.
  if (xcb_generic_error_t* error = xcb_request_check(
          x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask))) {
    std::fprintf(stderr, "map_watcher: cannot watch the root window (error %d)\n",
                 error->error_code);
    return 1;
  }

  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  const double start = NowMs();
  pid_t pid = 0;
  if (const int error = posix_spawnp(&pid, argv[2], &quiet, nullptr, argv + 2, environ)) {
    std::fprintf(stderr, "map_watcher: cannot start %s: %s\n", argv[2], std::strerror(error));
    return 1;
  }

  pollfd wait_for{xcb_get_file_descriptor(x), POLLIN, 0};
  while (true) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
      const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
      const xcb_window_t window =
          mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
      std::free(event);
      if (!mapped) continue;
      const double at = NowMs();
      if (Property(x, window, net_wm_name) == title ||
          Property(x, window, XCB_ATOM_WM_NAME) == title) {
        std::printf("%.1f %d\n", at - start, static_cast<int>(pid));
        return 0;
      }
    }
    if (xcb_connection_has_error(x)) {
      std::fprintf(stderr, "map_watcher: the X connection broke\n");
      return 1;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "map_watcher: %s ended before it showed \"%s\"\n", argv[2],
                   title.c_str());
      return 1;
    }
    if (NowMs() - start > 30000) {
      std::fprintf(stderr, "map_watcher: no window \"%s\" after 30 s\n", title.c_str());
      return 1;
    }
    poll(&wait_for, 1, 100);
  }
}
