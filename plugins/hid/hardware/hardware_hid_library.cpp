// SPDX-License-Identifier: GPL-3.0-or-later
// The exports of the hardware variant of "KB/Torvane_3.so": hidapi over hidraw.
//
// The feature and report channels are two handles on the keyboard's vendor interface; the
// monitor keeps a third for reading input reports. Reports travel with report id 0 in front,
// as hidapi wants for a device without numbered reports. Every hidapi result is checked and
// a failure is answered with 0.

// The public header comes first, so that its declarations (and so the exports) are the only
// default-visibility symbols of the library.
#pragma GCC visibility push(default)
#include "hid_library.h"
#pragma GCC visibility pop

#include <hidapi.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "common/export_guard.h"
#include "common/message_poster.h"
#include "hardware/device_monitor.h"
#include "hardware/keyboard_finder.h"

namespace kb::hid {
namespace {

constexpr size_t kFeatureBytes = 8;
constexpr size_t kOutputBytes = 64;
constexpr unsigned char kReportId = 0;
constexpr int kReadTimeoutMs = 100;

// One open handle and the lock that keeps its calls apart.
struct Channel {
  std::mutex mutex;
  hid_device* device = nullptr;

  void CloseLocked() {
    CloseInterface(device);
    device = nullptr;
  }
};

class HardwareHidLibrary {
 public:
  ~HardwareHidLibrary() {
    // The program never closes the monitor; the process exit does it here.
    if (monitor) monitor->Stop();
    std::scoped_lock lock(feature.mutex, report.mutex);
    feature.CloseLocked();
    report.CloseLocked();
  }

  std::pair<int, int> Ids() {
    std::lock_guard lock(ids_mutex);
    return {vendor_id, product_id};
  }

  // A hint for the user who has not installed the udev rule: once per path, on standard error.
  void ReportOpenFailure(const std::string& path, int error) {
    std::lock_guard lock(ids_mutex);
    if (!warned_paths.insert(path).second) return;
    std::fprintf(
        stderr,
        "KB/Torvane_3.so: cannot open the keyboard at %s (%s); is the udev rule installed?\n",
        path.c_str(), std::strerror(error));
  }

  int Open(Channel& channel) {
    if (!InitHidApi()) return 0;
    auto [vendor, product] = Ids();
    std::optional<InterfaceInfo> keyboard = FindKeyboard(vendor, product);
    std::lock_guard lock(channel.mutex);
    // An arrival reopens: the old handle belongs to a node that is gone.
    channel.CloseLocked();
    if (!keyboard) {
      RecordStatus(kb_hid_device_status{KB_HID_STATUS_ABSENT, 0, -1, {}});
      return 0;
    }
    int error = 0;
    channel.device = OpenInterface(keyboard->path, &error);
    kb_hid_device_status status{KB_HID_STATUS_OPENED, 0, keyboard->interface_number, {}};
    std::snprintf(status.node, sizeof status.node, "%s", keyboard->path.c_str());
    if (channel.device == nullptr) {
      status.state = error == EACCES || error == EPERM ? KB_HID_STATUS_NOT_PERMITTED
                                                       : KB_HID_STATUS_OPEN_FAILED;
      status.error = error;
      RecordStatus(status);
      ReportOpenFailure(keyboard->path, error);
      return 0;
    }
    RecordStatus(status);
    return 1;
  }

  void RecordStatus(const kb_hid_device_status& status) {
    std::lock_guard lock(ids_mutex);
    last_status = status;
  }

  std::mutex ids_mutex;
  int vendor_id = 0;
  int product_id = 0;
  std::set<std::string> warned_paths;
  kb_hid_device_status last_status{KB_HID_STATUS_ABSENT, 0, -1, {}};
  Channel feature;
  Channel report;
  std::mutex monitor_mutex;
  std::unique_ptr<DeviceMonitor> monitor;
  MessagePoster poster;
};

HardwareHidLibrary& Library() {
  static HardwareHidLibrary library;
  return library;
}

}  // namespace
}  // namespace kb::hid

using kb::hid::Guarded;
using kb::hid::Library;

extern "C" {

int Set_HIDVIDPID(int vendor_id, int product_id) {
  return Guarded(0, [&] {
    if (vendor_id < 0 || vendor_id > 0xFFFF || product_id < 0 || product_id > 0xFFFF) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.ids_mutex);
    lib.vendor_id = vendor_id;
    lib.product_id = product_id;
    return 1;
  });
}

int Open_HIDMonitor(const kb_message_target* target, unsigned int data_message,
                    unsigned int change_message) {
  return Guarded(0, [&] {
    if (target == nullptr || target->post == nullptr || !kb::hid::InitHidApi()) return 0;
    auto& lib = Library();
    std::lock_guard lock(lib.monitor_mutex);
    lib.poster.SetTarget(*target, data_message, change_message);
    if (lib.monitor) return 1;
    auto monitor = std::make_unique<kb::hid::DeviceMonitor>(
        [&lib] { return lib.Ids(); },
        kb::hid::DeviceMonitor::Events{
            [&lib](bool present) { lib.poster.PostChange(present ? 1 : 0); },
            [&lib](uint16_t code, uint16_t value) { lib.poster.PostData(code, value); }});
    if (!monitor->Start()) return 0;
    lib.monitor = std::move(monitor);
    return 1;
  });
}

int Close_HIDMonitor(void) {
  return Guarded(0, [&] {
    auto& lib = Library();
    std::unique_ptr<kb::hid::DeviceMonitor> monitor;
    {
      std::lock_guard lock(lib.monitor_mutex);
      monitor = std::move(lib.monitor);
    }
    if (monitor) monitor->Stop();
    lib.poster.Clear();
    return 1;
  });
}

int Open_HIDFeatureDevice(void) {
  return Guarded(0, [&] { return Library().Open(Library().feature); });
}

int Close_HIDFeatureDevice(void) {
  return Guarded(0, [&] {
    auto& channel = Library().feature;
    std::lock_guard lock(channel.mutex);
    channel.CloseLocked();
    return 1;
  });
}

int Open_HIDReportDevice(void) {
  return Guarded(0, [&] { return Library().Open(Library().report); });
}

int Close_HIDReportDevice(void) {
  return Guarded(0, [&] {
    auto& channel = Library().report;
    std::lock_guard lock(channel.mutex);
    channel.CloseLocked();
    return 1;
  });
}

int SetHIDFeature(const unsigned char* report, int length) {
  return Guarded(0, [&] {
    if (report == nullptr || length != static_cast<int>(kb::hid::kFeatureBytes)) return 0;
    std::array<unsigned char, kb::hid::kFeatureBytes + 1> framed{};
    framed[0] = kb::hid::kReportId;
    std::memcpy(framed.data() + 1, report, kb::hid::kFeatureBytes);
    auto& channel = Library().feature;
    std::lock_guard lock(channel.mutex);
    if (channel.device == nullptr) return 0;
    int sent = hid_send_feature_report(channel.device, framed.data(), framed.size());
    return sent == static_cast<int>(framed.size()) ? 1 : 0;
  });
}

int GetHIDFeature(unsigned char* report, int length) {
  return Guarded(0, [&] {
    if (report == nullptr || length != static_cast<int>(kb::hid::kFeatureBytes)) return 0;
    std::array<unsigned char, kb::hid::kFeatureBytes + 1> framed{};
    framed[0] = kb::hid::kReportId;
    auto& channel = Library().feature;
    std::lock_guard lock(channel.mutex);
    if (channel.device == nullptr) return 0;
    int got = hid_get_feature_report(channel.device, framed.data(), framed.size());
    if (got < 1) return 0;
    std::memset(report, 0, kb::hid::kFeatureBytes);
    std::memcpy(report, framed.data() + 1, static_cast<size_t>(got - 1));
    return 1;
  });
}

int WriteHIDUSB(const unsigned char* report, int length) {
  return Guarded(0, [&] {
    if (report == nullptr || length != static_cast<int>(kb::hid::kOutputBytes)) return 0;
    std::array<unsigned char, kb::hid::kOutputBytes + 1> framed{};
    framed[0] = kb::hid::kReportId;
    std::memcpy(framed.data() + 1, report, kb::hid::kOutputBytes);
    auto& channel = Library().report;
    std::lock_guard lock(channel.mutex);
    if (channel.device == nullptr) return 0;
    int sent = hid_write(channel.device, framed.data(), framed.size());
    return sent == static_cast<int>(framed.size()) ? 1 : 0;
  });
}

int ReadHIDUSB(unsigned char* report, int length) {
  return Guarded(0, [&] {
    if (report == nullptr || length != static_cast<int>(kb::hid::kOutputBytes)) return 0;
    std::array<unsigned char, kb::hid::kOutputBytes> input{};
    auto& channel = Library().report;
    std::lock_guard lock(channel.mutex);
    if (channel.device == nullptr) return 0;
    int got = hid_read_timeout(channel.device, input.data(), input.size(), kb::hid::kReadTimeoutMs);
    if (got <= 0) return 0;
    std::memcpy(report, input.data(), input.size());
    return 1;
  });
}

int Get_HIDDeviceStatus(kb_hid_device_status* status) {
  return Guarded(0, [&] {
    if (status == nullptr || !kb::hid::InitHidApi()) return 0;
    auto& lib = Library();
    auto [vendor, product] = lib.Ids();
    const bool there = kb::hid::FindKeyboard(vendor, product).has_value();
    std::lock_guard lock(lib.ids_mutex);
    *status = there ? lib.last_status : kb_hid_device_status{KB_HID_STATUS_ABSENT, 0, -1, {}};
    return 1;
  });
}

}  // extern "C"
