// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/udev_watch.h"

#include <libudev.h>

namespace kb::hid {
namespace {

bool UdevDaemonRuns(udev* u) {
  udev_queue* queue = udev_queue_new(u);
  if (queue == nullptr) return false;
  const bool active = udev_queue_get_udev_is_active(queue) != 0;
  udev_queue_unref(queue);
  return active;
}

}  // namespace

UdevWatch::UdevWatch() {
  udev_ = udev_new();
  if (udev_ == nullptr || !UdevDaemonRuns(udev_)) return;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr) return;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
  }
}

UdevWatch::~UdevWatch() {
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (udev_ != nullptr) udev_unref(udev_);
}

int UdevWatch::fd() const { return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1; }

bool UdevWatch::Drain() {
  bool any = false;
  while (monitor_ != nullptr) {
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (device == nullptr) break;
    udev_device_unref(device);
    any = true;
  }
  return any;
}

}  // namespace kb::hid
