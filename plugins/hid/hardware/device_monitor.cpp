// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/device_monitor.h"

#include <hidapi.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "common/input_report_layout.h"
#include "hardware/keyboard_finder.h"
#include "hardware/udev_watch.h"

namespace kb::hid {
namespace {

constexpr int kSearchIntervalMs = 1000;
constexpr int kReadTimeoutMs = 100;
constexpr size_t kInputReportBytes = 64;

}  // namespace

DeviceMonitor::DeviceMonitor(std::function<std::pair<int, int>()> ids, Events events)
    : ids_(std::move(ids)), events_(std::move(events)) {}

DeviceMonitor::~DeviceMonitor() { Stop(); }

bool DeviceMonitor::Start() {
  if (thread_.joinable()) return true;
  wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ < 0) return false;
  stopping_ = false;
  // What is there when the monitor starts is no arrival (the program asks the opens), and it
  // is looked at before Start returns: a keyboard plugged in after that is an arrival, even
  // when the thread's first search comes later.
  auto [vendor, product] = ids_();
  std::optional<InterfaceInfo> initial = FindKeyboard(vendor, product);
  try {
    thread_ = std::thread([this, initial] { Run(initial); });
  } catch (...) {
    close(wake_fd_);
    wake_fd_ = -1;
    return false;
  }
  return true;
}

void DeviceMonitor::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  uint64_t one = 1;
  // The thread also checks stopping_ at least every read timeout, so a failed wake-up write
  // only delays the stop.
  [[maybe_unused]] ssize_t written = write(wake_fd_, &one, sizeof one);
  thread_.join();
  close(wake_fd_);
  wake_fd_ = -1;
}

void DeviceMonitor::Run(std::optional<InterfaceInfo> initial) {
  UdevWatch watch;
  std::optional<InterfaceInfo> keyboard = initial;
  hid_device* reader = nullptr;
  bool present = initial.has_value();
  bool search = true;
  auto last_search = std::chrono::steady_clock::now();

  while (!stopping_) {
    if (search) {
      auto [vendor, product] = ids_();
      std::optional<InterfaceInfo> found = FindKeyboard(vendor, product);
      last_search = std::chrono::steady_clock::now();
      search = false;
      bool now_present = found.has_value();
      bool moved = now_present && keyboard && keyboard->path != found->path;
      if ((!now_present || moved) && reader != nullptr) {
        CloseInterface(reader);
        reader = nullptr;
      }
      keyboard = found;
      // A keyboard found on another node was unplugged and replugged between two searches:
      // the program's channels are on the old node, so it hears a removal and an arrival.
      if (moved) {
        events_.presence_changed(false);
        events_.presence_changed(true);
      } else if (now_present != present) {
        events_.presence_changed(now_present);
      }
      present = now_present;
      // Without read permission the keyboard is still reported present; its notifications
      // are then not heard, and the next search tries again.
      if (present && reader == nullptr) reader = OpenInterface(keyboard->path, nullptr);
    }

    std::array<pollfd, 2> fds{pollfd{wake_fd_, POLLIN, 0}, pollfd{watch.fd(), POLLIN, 0}};
    nfds_t count = watch.fd() >= 0 ? 2 : 1;
    int timeout = reader != nullptr ? 0 : kSearchIntervalMs;
    if (poll(fds.data(), count, timeout) < 0 && errno != EINTR) break;
    if (stopping_) break;
    if (count == 2 && (fds[1].revents & POLLIN) && watch.Drain()) search = true;

    if (reader != nullptr) {
      std::array<unsigned char, kInputReportBytes> report{};
      int n = hid_read_timeout(reader, report.data(), report.size(), kReadTimeoutMs);
      if (n < 0) {
        // The interface went away under us; the search tells removal from a hiccup.
        CloseInterface(reader);
        reader = nullptr;
        search = true;
      } else if (static_cast<size_t>(n) >= kInputReportMinBytes) {
        uint16_t code = static_cast<uint16_t>((report[kInputReportCodeHigh] << 8) |
                                              report[kInputReportCodeLow]);
        uint16_t value = static_cast<uint16_t>((report[kInputReportValueHigh] << 8) |
                                               report[kInputReportValueLow]);
        events_.notification(code, value);
      }
    }
    bool due = std::chrono::steady_clock::now() - last_search >=
               std::chrono::milliseconds(kSearchIntervalMs);
    // With a udev monitor a search runs on events only, except to retry a reader that could not
    // be opened; without one, once a second.
    if (due && (watch.fd() < 0 || (present && reader == nullptr))) search = true;
  }
  CloseInterface(reader);
}

}  // namespace kb::hid
