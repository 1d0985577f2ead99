// SPDX-License-Identifier: GPL-3.0-or-later
// Watches for the keyboard's arrival and removal and reads its input reports, on a thread of
// its own. Hot-plug comes from a udev monitor of the hidraw subsystem; where no udev monitor
// can be had, or no udev daemon runs to feed one (a container), the keyboard is looked for
// once a second instead.
#ifndef KB_HID_DEVICE_MONITOR_H
#define KB_HID_DEVICE_MONITOR_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include "hardware/keyboard_finder.h"

namespace kb::hid {

class DeviceMonitor {
 public:
  struct Events {
    std::function<void(bool present)> presence_changed;
    std::function<void(uint16_t code, uint16_t value)> notification;
  };

  // ids() answers the current vendor and product id; it is asked before every search, so a
  // later Set_HIDVIDPID takes effect.
  DeviceMonitor(std::function<std::pair<int, int>()> ids, Events events);
  ~DeviceMonitor();
  DeviceMonitor(const DeviceMonitor&) = delete;
  DeviceMonitor& operator=(const DeviceMonitor&) = delete;

  // Looks for the keyboard once (what is there now is not announced), then starts the thread;
  // false when it cannot be started (no eventfd, no thread).
  bool Start();
  // Stops and joins the thread. Safe to call twice.
  void Stop();

 private:
  void Run(std::optional<InterfaceInfo> initial);

  std::function<std::pair<int, int>()> ids_;
  Events events_;
  int wake_fd_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace kb::hid

#endif
