// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's one USB bus: a KB_3 that is plugged in or not, its three interface nodes, the
// handles opened on them, the udev monitors listening, and the faults a test asked for. Every
// member is reached under `mutex`.
#ifndef KB_TESTS_HID_STANDIN_BUS_H
#define KB_TESTS_HID_STANDIN_BUS_H

#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <string>

#include "virtual/keyboard_emulator.h"

namespace kb::standin {

inline constexpr int kInterfaces = 3;
inline constexpr int kVendorInterface = 2;

struct Handle {
  int interface_number = 0;
  int generation = 0;  // the plug-in it was opened on
  std::deque<hid::KeyboardEmulator::InputReport> input;
};

class Bus {
 public:
  static Bus& Get();

  // One command of hid_standin.h; false when unknown. Takes the lock.
  bool Command(const std::string& line);

  // The rest is called with `mutex` held.
  std::string NodePath(int interface_number) const;
  // The interface a path names on the keyboard as plugged in now, or -1.
  int InterfaceOf(const std::string& path) const;
  bool Reaches(const Handle& handle) const { return plugged && handle.generation == generation; }
  // A report reached the keyboard: counts down a pending unplug-after and hands the input
  // reports the keyboard queued to the open vendor handles.
  void AfterReport();
  void DeliverInput();
  void Unplug();
  void Plug();

  std::mutex mutex;
  std::condition_variable input_arrived;
  hid::KeyboardEmulator keyboard;
  bool plugged = false;
  int generation = 0;
  bool udev_running = false;
  bool deny = false;
  bool fail_write = false;
  bool fail_read = false;
  int unplug_after = -1;
  long enumerations = 0;
  std::set<Handle*> handles;
  std::set<int> monitor_fds;  // eventfds of the udev monitors, one count per event

 private:
  void Announce();
};

}  // namespace kb::standin

#endif
