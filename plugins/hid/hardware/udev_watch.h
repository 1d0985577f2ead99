// SPDX-License-Identifier: GPL-3.0-or-later
// The udev monitor of the hidraw subsystem, or nothing when udev cannot give one that speaks.
// libudev opens a monitor even where no udev daemon runs (a container, some sandboxes), but
// that monitor never receives an event; udev's queue tells whether the daemon is there.
#ifndef KB_HID_UDEV_WATCH_H
#define KB_HID_UDEV_WATCH_H

struct udev;
struct udev_monitor;

namespace kb::hid {

class UdevWatch {
 public:
  UdevWatch();
  ~UdevWatch();
  UdevWatch(const UdevWatch&) = delete;
  UdevWatch& operator=(const UdevWatch&) = delete;

  // The monitor's descriptor, -1 without a monitor (then the keyboard must be looked for).
  int fd() const;
  // Reads every pending event; true when there was one.
  bool Drain();

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
};

}  // namespace kb::hid

#endif
