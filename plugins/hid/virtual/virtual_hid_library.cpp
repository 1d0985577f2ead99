// SPDX-License-Identifier: GPL-3.0-or-later
// The exports of the virtual variant of "KB/Torvane_3.so": the eleven HID calls answered by an
// emulated KB_3, and the vkb_ calls of virtual_keyboard.h.

// The public headers come first, so that their declarations (and so the exports) are the
// only default-visibility symbols of the library.
#pragma GCC visibility push(default)
#include "hid_library.h"
#include "virtual_keyboard.h"
#pragma GCC visibility pop

#include <cstdio>
#include <cstring>
#include <mutex>
#include <span>

#include "common/export_guard.h"
#include "common/message_poster.h"
#include "kb_device_ids.h"
#include "virtual/keyboard_emulator.h"
#include "virtual/macro_program_decoder.h"

namespace kb::hid {
namespace {

class VirtualHidLibrary {
 public:
  std::mutex mutex;
  KeyboardEmulator keyboard;
  bool ids_set = false;
  int vendor_id = 0;
  int product_id = 0;
  bool plugged = true;
  bool feature_open = false;
  bool report_open = false;
  bool monitor_open = false;
  // Declared last: its thread stops before the members it reaches through the gate go away.
  // The gate makes a post wait until the call that queued it has released the lock.
  MessagePoster poster{[this] { std::lock_guard gate(mutex); }};

  bool Selected() const {
    return ids_set && vendor_id == KB_VENDOR_ID && product_id == KB_3_PRODUCT_ID;
  }
  bool Reachable() const { return Selected() && plugged; }
  bool Announces() const { return monitor_open && Selected(); }

  void ResetLocked() {
    keyboard.Reset();
    ids_set = false;
    vendor_id = product_id = 0;
    plugged = true;
    feature_open = report_open = monitor_open = false;
  }
};

VirtualHidLibrary& Library() {
  static VirtualHidLibrary library;
  return library;
}

std::string LengthViolation(const char* what, int length, size_t expected) {
  char text[120];
  std::snprintf(text, sizeof text, "%s of %d bytes; the keyboard takes %zu", what, length,
                expected);
  return text;
}

}  // namespace
}  // namespace kb::hid

using kb::hid::Guarded;
using kb::hid::Library;
namespace wire = kb::hid::wire;

extern "C" {

int Set_HIDVIDPID(int vendor_id, int product_id) {
  return Guarded(0, [&] {
    if (vendor_id < 0 || vendor_id > 0xFFFF || product_id < 0 || product_id > 0xFFFF) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    lib.ids_set = true;
    lib.vendor_id = vendor_id;
    lib.product_id = product_id;
    if (!lib.Selected()) lib.feature_open = lib.report_open = false;
    return 1;
  });
}

int Open_HIDMonitor(const kb_message_target* target, unsigned int data_message,
                    unsigned int change_message) {
  return Guarded(0, [&] {
    if (target == nullptr || target->post == nullptr) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    lib.poster.SetTarget(*target, data_message, change_message);
    lib.monitor_open = true;
    if (lib.Reachable()) {
      // A keyboard answers a new listener with its firmware version.
      lib.keyboard.QueueInputReport(wire::kNotifyVersion, VKB_FIRMWARE_VERSION);
      lib.poster.PostData(wire::kNotifyVersion, VKB_FIRMWARE_VERSION);
    }
    return 1;
  });
}

int Close_HIDMonitor(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    // Outside the lock: Clear() waits for a post in flight, whose gate takes the lock.
    lib.poster.Clear();
    std::lock_guard lock(lib.mutex);
    lib.monitor_open = false;
    return 1;
  });
}

int Open_HIDFeatureDevice(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.Reachable()) return 0;
    lib.feature_open = true;
    return 1;
  });
}

int Close_HIDFeatureDevice(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    lib.feature_open = false;
    return 1;
  });
}

int Open_HIDReportDevice(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.Reachable()) return 0;
    lib.report_open = true;
    return 1;
  });
}

int Close_HIDReportDevice(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    lib.report_open = false;
    return 1;
  });
}

int SetHIDFeature(const unsigned char* report, int length) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.Reachable() || !lib.feature_open || report == nullptr) {
      lib.keyboard.OnRefused(nullptr);
      return 0;
    }
    if (length != static_cast<int>(wire::kFeatureReportBytes)) {
      lib.keyboard.OnRefused(
          kb::hid::LengthViolation("feature report", length, wire::kFeatureReportBytes).c_str());
      return 0;
    }
    lib.keyboard.OnFeatureReport(
        std::span<const uint8_t, wire::kFeatureReportBytes>(report, wire::kFeatureReportBytes));
    return 1;
  });
}

int GetHIDFeature(unsigned char* report, int length) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.Reachable() || !lib.feature_open || report == nullptr ||
        length != static_cast<int>(wire::kFeatureReportBytes)) {
      return 0;
    }
    std::memcpy(report, lib.keyboard.last_feature().data(), wire::kFeatureReportBytes);
    return 1;
  });
}

int WriteHIDUSB(const unsigned char* report, int length) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.Reachable() || !lib.report_open || report == nullptr) {
      lib.keyboard.OnRefused(nullptr);
      return 0;
    }
    if (length != static_cast<int>(wire::kOutputReportBytes)) {
      lib.keyboard.OnRefused(
          kb::hid::LengthViolation("output report", length, wire::kOutputReportBytes).c_str());
      return 0;
    }
    lib.keyboard.OnOutputReport(
        std::span<const uint8_t, wire::kOutputReportBytes>(report, wire::kOutputReportBytes));
    return 1;
  });
}

int ReadHIDUSB(unsigned char* report, int length) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.Reachable() || !lib.report_open || report == nullptr ||
        length != static_cast<int>(wire::kOutputReportBytes)) {
      return 0;
    }
    kb::hid::KeyboardEmulator::InputReport input;
    if (!lib.keyboard.TakeInputReport(input)) return 0;
    std::memcpy(report, input.data(), input.size());
    return 1;
  });
}

int Get_HIDDeviceStatus(kb_hid_device_status* status) {
  return Guarded(0, [&] {
    if (status == nullptr) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    // The emulated keyboard has one interface and no node in /dev: it is open or absent.
    const bool open = lib.Reachable() && (lib.report_open || lib.feature_open);
    *status = kb_hid_device_status{
        open ? KB_HID_STATUS_OPENED : KB_HID_STATUS_ABSENT, 0, open ? 0 : -1, {}};
    return 1;
  });
}

int vkb_switch_bank(int bank) {
  return Guarded(0, [&] {
    if (bank != 0 && bank != 1) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.plugged) return 0;
    lib.keyboard.SwitchBank(bank);
    if (lib.Announces()) lib.poster.PostData(wire::kNotifyBankSwitch, (1 << 8) | bank);
    return 1;
  });
}

int vkb_switch_light_mode(int mode) {
  return Guarded(0, [&] {
    if (mode < 0 || mode > 19) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.plugged) return 0;
    lib.keyboard.SwitchLightMode(mode);
    if (lib.Announces()) lib.poster.PostData(wire::kNotifyLightMode, (mode + 1) << 8);
    return 1;
  });
}

int vkb_unplug(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (!lib.plugged) return 0;
    lib.plugged = false;
    lib.feature_open = lib.report_open = false;
    lib.keyboard.Unplug();
    if (lib.Announces()) lib.poster.PostChange(0);
    return 1;
  });
}

int vkb_plug_in(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    if (lib.plugged) return 0;
    lib.plugged = true;
    if (lib.Announces()) lib.poster.PostChange(1);
    return 1;
  });
}

int vkb_read_state(vkb_state* out) {
  return Guarded(0, [&] {
    if (out == nullptr) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    lib.keyboard.FillState(*out, lib.plugged);
    return 1;
  });
}

int vkb_decode_macro(uint32_t offset, vkb_macro_program* program, vkb_macro_action* actions,
                     uint32_t capacity) {
  return Guarded(0, [&] {
    if (program == nullptr || (actions == nullptr && capacity != 0)) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    // Programs live in the area's first 10000 bytes; the rest of page 19 is never part of one.
    return kb::hid::DecodeMacroProgram(lib.keyboard.macro_area().first(wire::kMacroAreaLimit),
                                       offset, *program,
                                       std::span<vkb_macro_action>(actions, capacity))
               ? 1
               : 0;
  });
}

long vkb_take_log(char* buffer, size_t capacity) {
  return Guarded(-1L, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    return lib.keyboard.log().Take(buffer, capacity);
  });
}

long vkb_take_violations(char* buffer, size_t capacity) {
  return Guarded(-1L, [&] {
    auto& lib = Library();
    std::lock_guard lock(lib.mutex);
    return lib.keyboard.violations().Take(buffer, capacity);
  });
}

int vkb_reset(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    lib.poster.Clear();
    std::lock_guard lock(lib.mutex);
    lib.ResetLocked();
    return 1;
  });
}

}  // extern "C"
