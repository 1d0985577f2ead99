// SPDX-License-Identifier: GPL-3.0-or-later
#include "standin_bus.h"

#include <unistd.h>

#include <cstdint>
#include <sstream>

#include "virtual/keyboard_protocol.h"
#include "virtual_keyboard.h"

namespace kb::standin {

Bus& Bus::Get() {
  // Never destroyed: the hardware library's monitor thread may call in until the process ends.
  static Bus* bus = new Bus;
  return *bus;
}

std::string Bus::NodePath(int interface_number) const {
  return "/dev/hidraw" + std::to_string(generation * kInterfaces + interface_number);
}

int Bus::InterfaceOf(const std::string& path) const {
  if (!plugged) return -1;
  for (int i = 0; i < kInterfaces; ++i)
    if (path == NodePath(i)) return i;
  return -1;
}

void Bus::Announce() {
  if (!udev_running) return;
  // The kernel makes one hidraw node per interface, and udev one event per node.
  for (int fd : monitor_fds) {
    for (int i = 0; i < kInterfaces; ++i) {
      uint64_t one = 1;
      [[maybe_unused]] ssize_t n = write(fd, &one, sizeof one);
    }
  }
}

void Bus::Plug() {
  if (plugged) return;
  ++generation;
  plugged = true;
  Announce();
}

void Bus::Unplug() {
  if (!plugged) return;
  plugged = false;
  unplug_after = -1;
  keyboard.Unplug();
  Announce();
  input_arrived.notify_all();
}

void Bus::AfterReport() {
  if (unplug_after > 0 && --unplug_after == 0) Unplug();
  DeliverInput();
}

void Bus::DeliverInput() {
  hid::KeyboardEmulator::InputReport report;
  while (keyboard.TakeInputReport(report)) {
    if (!plugged) continue;
    for (Handle* h : handles)
      if (h->interface_number == kVendorInterface && Reaches(*h)) h->input.push_back(report);
  }
  input_arrived.notify_all();
}

bool Bus::Command(const std::string& line) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  int number = -1;
  std::lock_guard lock(mutex);
  if (word == "plug") {
    Plug();
  } else if (word == "unplug") {
    Unplug();
  } else if (word == "replug" && plugged) {
    // Out and in again faster than anyone looks: only the new nodes tell.
    Unplug();
    Plug();
  } else if (word == "unplug-after" && in >> number && number > 0) {
    unplug_after = number;
  } else if (word == "udev") {
    std::string state;
    in >> state;
    if (state != "on" && state != "off") return false;
    udev_running = state == "on";
  } else if (word == "deny" || word == "allow") {
    deny = word == "deny";
  } else if (word == "fail-write") {
    fail_write = true;
  } else if (word == "fail-read") {
    fail_read = true;
    input_arrived.notify_all();
  } else if (word == "bank" && in >> number && (number == 0 || number == 1) && plugged) {
    keyboard.SwitchBank(number);
    DeliverInput();
  } else if (word == "light" && in >> number && number >= 0 && number <= 19 && plugged) {
    keyboard.SwitchLightMode(number);
    DeliverInput();
  } else if (word == "version" && plugged) {
    keyboard.QueueInputReport(hid::wire::kNotifyVersion, VKB_FIRMWARE_VERSION);
    DeliverInput();
  } else if (word == "reset") {
    Unplug();
    keyboard.Reset();
    udev_running = deny = fail_write = fail_read = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace kb::standin
