// SPDX-License-Identifier: GPL-3.0-or-later
// libudev's C calls that the hardware library makes, answered by the stand-in bus. A monitor
// is an eventfd holding one count per pending event. While no udev daemon runs, a monitor
// opens all the same and never speaks, as libudev's does; udev_queue tells the two apart.

#include <libudev.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "standin_bus.h"

struct udev {
  int refs = 1;
};
struct udev_monitor {
  int refs = 1;
  int fd = -1;
};
struct udev_device {
  int refs = 1;
};
struct udev_queue {
  int refs = 1;
};

namespace {
using kb::standin::Bus;
}

extern "C" {

struct udev* udev_new(void) {
  return new udev;
}

struct udev* udev_unref(struct udev* u) {
  if (u != nullptr && --u->refs == 0) delete u;
  return nullptr;
}

struct udev_monitor* udev_monitor_new_from_netlink(struct udev* u, const char* name) {
  if (u == nullptr || name == nullptr || std::strcmp(name, "udev") != 0) return nullptr;
  const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK | EFD_SEMAPHORE);
  if (fd < 0) return nullptr;
  auto* monitor = new udev_monitor;
  monitor->fd = fd;
  return monitor;
}

int udev_monitor_filter_add_match_subsystem_devtype(struct udev_monitor* m, const char* subsystem,
                                                    const char*) {
  return m != nullptr && subsystem != nullptr && std::strcmp(subsystem, "hidraw") == 0 ? 0 : -1;
}

int udev_monitor_enable_receiving(struct udev_monitor* m) {
  if (m == nullptr) return -1;
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  bus.monitor_fds.insert(m->fd);
  return 0;
}

int udev_monitor_get_fd(struct udev_monitor* m) { return m != nullptr ? m->fd : -1; }

struct udev_device* udev_monitor_receive_device(struct udev_monitor* m) {
  if (m == nullptr) return nullptr;
  uint64_t count = 0;
  if (read(m->fd, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) return nullptr;
  return new udev_device;
}

struct udev_monitor* udev_monitor_unref(struct udev_monitor* m) {
  if (m == nullptr || --m->refs > 0) return nullptr;
  {
    Bus& bus = Bus::Get();
    std::lock_guard lock(bus.mutex);
    bus.monitor_fds.erase(m->fd);
  }
  close(m->fd);
  delete m;
  return nullptr;
}

struct udev_device* udev_device_unref(struct udev_device* d) {
  if (d != nullptr && --d->refs == 0) delete d;
  return nullptr;
}

struct udev_queue* udev_queue_new(struct udev* u) {
  return u != nullptr ? new udev_queue : nullptr;
}

struct udev_queue* udev_queue_unref(struct udev_queue* q) {
  if (q != nullptr && --q->refs == 0) delete q;
  return nullptr;
}

int udev_queue_get_udev_is_active(struct udev_queue* q) {
  if (q == nullptr) return 0;
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  return bus.udev_running ? 1 : 0;
}

}  // extern "C"
