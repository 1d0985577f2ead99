// SPDX-License-Identifier: GPL-3.0-or-later
#include "xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#undef Status

namespace kb::testing {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(20);
constexpr auto kRetryInterval = std::chrono::milliseconds(5);

std::string Errno(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

XvfbDisplay::~XvfbDisplay() { Stop(); }

void XvfbDisplay::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

kb::Status XvfbDisplay::Start() {
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) return kb::Status::Fail(Errno("pipe"));
  pid_ = fork();
  if (pid_ < 0) return kb::Status::Fail(Errno("fork"));
  if (pid_ == 0) {
    // -displayfd: the server chooses a free number and writes it once it accepts clients.
    // -noreset: otherwise the server resets, refusing clients for a moment, whenever its last
    // client leaves (the readiness probe below, a test's own connection).
    dup2(ready[1], 3);
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) {
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-noreset", "-screen", "0",
           "1024x768x24", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);

  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  std::string number;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd fd{ready[0], POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
    char c;
    const ssize_t n = read(ready[0], &c, 1);
    if (n <= 0 || c == '\n') break;
    number += c;
  }
  close(ready[0]);
  if (number.empty()) return kb::Status::Fail("Xvfb did not report a display (is it installed?)");
  name_ = ":" + number;
  setenv("DISPLAY", name_.c_str(), 1);

  // The number is written when the server listens; make sure a client really gets in.
  while (std::chrono::steady_clock::now() < deadline) {
    if (Display* display = XOpenDisplay(name_.c_str())) {
      XCloseDisplay(display);
      return kb::Status::Ok();
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
  return kb::Status::Fail("Xvfb on " + name_ + " accepts no connections");
}

}  // namespace kb::testing
