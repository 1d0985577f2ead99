// SPDX-License-Identifier: GPL-3.0-or-later
#include "x11_raw_input.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#undef Status

namespace kb::hook {
namespace {

// Raw events reach root-window listeners regardless of grabs from XInput 2.1 on; 2.0 servers
// still work, minus events during a grab.
constexpr int kWantedMajor = 2;
constexpr int kWantedMinor = 2;

constexpr auto kSelectionTimeout = std::chrono::seconds(1);

// Xlib's default I/O error handler calls exit(), and the handler is process-wide. While we hold
// a connection, ours answers for it and hands every other display to whoever was there before,
// so the program's own connections keep the behaviour they had.
std::mutex g_io_mutex;
std::vector<Display*> g_our_displays;
XIOErrorHandler g_previous_io_handler = nullptr;

int OnIoError(Display* display) {
  XIOErrorHandler previous;
  {
    std::lock_guard lock(g_io_mutex);
    if (std::find(g_our_displays.begin(), g_our_displays.end(), display) != g_our_displays.end())
      return 0;
    previous = g_previous_io_handler;
  }
  return previous != nullptr ? previous(display) : 0;
}

void ClaimIoErrors(Display* display) {
  std::lock_guard lock(g_io_mutex);
  if (g_our_displays.empty()) g_previous_io_handler = XSetIOErrorHandler(&OnIoError);
  g_our_displays.push_back(display);
}

// Before the library can be unloaded the handler must not point into it any more.
void ReleaseIoErrors(Display* display) {
  std::lock_guard lock(g_io_mutex);
  std::erase(g_our_displays, display);
  if (!g_our_displays.empty()) return;
  const XIOErrorHandler current = XSetIOErrorHandler(g_previous_io_handler);
  // Someone installed a handler after us: theirs stays.
  if (current != &OnIoError) XSetIOErrorHandler(current);
  g_previous_io_handler = nullptr;
}

}  // namespace

std::string X11RawInput::Start(RawInputSink& sink, std::unique_ptr<X11RawInput>* out) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return "cannot connect to the X display";

  int opcode = 0, first_event = 0, first_error = 0;
  if (!XQueryExtension(display, "XInputExtension", &opcode, &first_event, &first_error)) {
    XCloseDisplay(display);
    return "the X server has no XInput extension";
  }
  int major = kWantedMajor, minor = kWantedMinor;
  if (XIQueryVersion(display, &major, &minor) != Success || major < 2) {
    XCloseDisplay(display);
    return "the X server has no XInput 2";
  }

  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(display);
    return std::string("cannot create the wake-up pipe: ") + std::strerror(errno);
  }

  out->reset(new X11RawInput(sink, display, opcode, wake[0], wake[1]));
  return {};
}

X11RawInput::X11RawInput(RawInputSink& sink, Display* display, int xi_opcode, int wake_read,
                         int wake_write)
    : sink_(sink),
      display_(display),
      xi_opcode_(xi_opcode),
      wake_read_(wake_read),
      wake_write_(wake_write) {
  // Xlib's default answer to a lost server is exit(); a hook must not end the program.
  ClaimIoErrors(display_);
  XSetIOErrorExitHandler(display_, &X11RawInput::OnConnectionLost, this);
  thread_ = std::thread([this] { Run(); });
}

X11RawInput::~X11RawInput() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  Wake();
  thread_.join();
  if (connection_lost_) {
    // XCloseDisplay cannot end a display whose server was lost: once the exit handler has
    // returned, it never comes back (libX11 1.8 waits forever for the display's lock in its
    // first XFreeGC). What can be closed is the socket, which nothing reads again; the Display
    // and its buffers stay allocated (a few kilobytes per lost server), as only XCloseDisplay
    // frees them.
    close(ConnectionNumber(display_));
  } else {
    XCloseDisplay(display_);
  }
  ReleaseIoErrors(display_);
  close(wake_read_);
  close(wake_write_);
}

void X11RawInput::OnConnectionLost(Display*, void* self) {
  static_cast<X11RawInput*>(self)->connection_lost_ = true;
}

void X11RawInput::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  [[maybe_unused]] ssize_t written = write(wake_write_, &byte, 1);
}

void X11RawInput::Select(bool keys, bool buttons) {
  std::unique_lock lock(mutex_);
  want_keys_ = keys;
  want_buttons_ = buttons;
  const std::uint64_t generation = ++requested_generation_;
  if (std::this_thread::get_id() == thread_.get_id()) return;
  lock.unlock();
  Wake();
  lock.lock();
  applied_.wait_for(lock, kSelectionTimeout,
                    [&] { return applied_generation_ >= generation || !alive_; });
}

bool X11RawInput::Alive() const {
  std::lock_guard lock(mutex_);
  return alive_;
}

void X11RawInput::ApplySelection() {
  bool keys, buttons;
  std::uint64_t generation;
  {
    std::lock_guard lock(mutex_);
    if (applied_generation_ == requested_generation_) return;
    keys = want_keys_;
    buttons = want_buttons_;
    generation = requested_generation_;
  }
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  if (keys) {
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
  }
  if (buttons) {
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
  }
  XIEventMask mask;
  // Master devices only: each physical event then arrives once, not once per slave as well.
  mask.deviceid = XIAllMasterDevices;
  mask.mask_len = sizeof(bits);
  mask.mask = bits;
  XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
  XSync(display_, False);
  {
    std::lock_guard lock(mutex_);
    applied_generation_ = generation;
  }
  applied_.notify_all();
}

void X11RawInput::HandlePendingEvents() {
  while (!connection_lost_ && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    XGenericEventCookie* cookie = &event.xcookie;
    if (cookie->type != GenericEvent || cookie->extension != xi_opcode_) continue;
    if (!XGetEventData(display_, cookie)) continue;
    const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
    switch (cookie->evtype) {
      case XI_RawKeyPress:
        sink_.OnKey(static_cast<unsigned>(raw->detail), true);
        break;
      case XI_RawKeyRelease:
        sink_.OnKey(static_cast<unsigned>(raw->detail), false);
        break;
      case XI_RawButtonPress:
        sink_.OnButton(static_cast<unsigned>(raw->detail), true);
        break;
      case XI_RawButtonRelease:
        sink_.OnButton(static_cast<unsigned>(raw->detail), false);
        break;
      default:
        break;
    }
    XFreeEventData(display_, cookie);
  }
}

void X11RawInput::Run() {
  pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_read_, POLLIN, 0}};
  for (;;) {
    ApplySelection();
    HandlePendingEvents();
    if (connection_lost_) break;
    {
      std::lock_guard lock(mutex_);
      if (quit_) break;
      // A selection asked for while events were handled is applied before sleeping.
      if (applied_generation_ != requested_generation_) continue;
    }
    if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (read(wake_read_, drain, sizeof(drain)) > 0) {
      }
    }
  }
  {
    std::lock_guard lock(mutex_);
    alive_ = false;
  }
  applied_.notify_all();
}

}  // namespace kb::hook
