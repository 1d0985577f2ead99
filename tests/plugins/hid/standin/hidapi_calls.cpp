// SPDX-License-Identifier: GPL-3.0-or-later
// hidapi's C calls, answered by the stand-in bus: the ones the hardware library makes.

#include <hidapi.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "kb_device_ids.h"
#include "standin_bus.h"
#include "virtual/keyboard_protocol.h"

struct hid_device_ {
  kb::standin::Handle handle;
};

namespace {

using kb::standin::Bus;
namespace wire = kb::hid::wire;

struct InterfaceShape {
  unsigned short usage_page;
  unsigned short usage;
};
// Listed as a real keyboard lists them: its boot interfaces before the vendor one.
constexpr InterfaceShape kShapes[kb::standin::kInterfaces] = {
    {0x01, 0x06}, {0x01, 0x02}, {0xFF00, 0x01}};

wchar_t* WideCopy(const wchar_t* text) {
  const size_t n = std::wcslen(text) + 1;
  auto* copy = static_cast<wchar_t*>(std::malloc(n * sizeof(wchar_t)));
  if (copy != nullptr) std::wmemcpy(copy, text, n);
  return copy;
}

// Checks what the library framed: report id 0, then exactly `payload` bytes, to the vendor
// interface. A violation is recorded and the report goes no further.
bool Framed(Bus& bus, const hid_device* dev, const unsigned char* data, size_t length,
            size_t payload, const char* what) {
  std::string problem;
  if (data == nullptr || length != payload + 1) {
    problem = std::string(what) + " of " + std::to_string(length) + " bytes on the wire; " +
              std::to_string(payload + 1) + " expected (report id 0 and " +
              std::to_string(payload) + " bytes)";
  } else if (data[0] != 0) {
    problem = std::string(what) + " with report id " + std::to_string(data[0]) + ", not 0";
  } else if (dev->handle.interface_number != kb::standin::kVendorInterface) {
    problem = std::string(what) + " sent to interface " +
              std::to_string(dev->handle.interface_number) + ", not the vendor interface";
  }
  if (problem.empty()) return true;
  bus.keyboard.OnRefused(problem.c_str());
  return false;
}

// A write that does not reach: -1 as hidapi answers a gone or failing device.
bool WriteFails(Bus& bus, const hid_device* dev) {
  if (!bus.Reaches(dev->handle)) return true;
  if (!bus.fail_write) return false;
  bus.fail_write = false;
  return true;
}

}  // namespace

extern "C" {

int hid_init(void) { return 0; }
int hid_exit(void) { return 0; }

hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  ++bus.enumerations;
  if (!bus.plugged) return nullptr;
  if ((vendor_id != 0 && vendor_id != KB_VENDOR_ID) ||
      (product_id != 0 && product_id != KB_3_PRODUCT_ID))
    return nullptr;
  hid_device_info* first = nullptr;
  hid_device_info** next = &first;
  for (int i = 0; i < kb::standin::kInterfaces; ++i) {
    auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
    if (info == nullptr) break;
    info->path = strdup(bus.NodePath(i).c_str());
    info->vendor_id = KB_VENDOR_ID;
    info->product_id = KB_3_PRODUCT_ID;
    info->serial_number = WideCopy(L"");
    info->manufacturer_string = WideCopy(L"stand-in");
    info->product_string = WideCopy(L"KB_3");
    info->usage_page = kShapes[i].usage_page;
    info->usage = kShapes[i].usage;
    info->interface_number = i;
    *next = info;
    next = &info->next;
  }
  return first;
}

void hid_free_enumeration(hid_device_info* devs) {
  while (devs != nullptr) {
    hid_device_info* next = devs->next;
    std::free(devs->path);
    std::free(devs->serial_number);
    std::free(devs->manufacturer_string);
    std::free(devs->product_string);
    std::free(devs);
    devs = next;
  }
}

hid_device* hid_open_path(const char* path) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  const int interface_number = path != nullptr ? bus.InterfaceOf(path) : -1;
  if (interface_number < 0) {
    errno = ENOENT;
    return nullptr;
  }
  if (bus.deny) {
    errno = EACCES;
    return nullptr;
  }
  auto* dev = new hid_device;
  dev->handle.interface_number = interface_number;
  dev->handle.generation = bus.generation;
  bus.handles.insert(&dev->handle);
  if (interface_number == kb::standin::kVendorInterface) {
    bus.keyboard.QueueInputReport(wire::kNotifyVersion, VKB_FIRMWARE_VERSION);
    bus.DeliverInput();
  }
  return dev;
}

hid_device* hid_open(unsigned short, unsigned short, const wchar_t*) {
  errno = ENOSYS;
  return nullptr;
}

void hid_close(hid_device* dev) {
  if (dev == nullptr) return;
  Bus& bus = Bus::Get();
  {
    std::lock_guard lock(bus.mutex);
    bus.handles.erase(&dev->handle);
  }
  delete dev;
}

int hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  if (dev == nullptr || WriteFails(bus, dev)) return -1;
  if (!Framed(bus, dev, data, length, wire::kFeatureReportBytes, "feature report")) return -1;
  bus.keyboard.OnFeatureReport(
      std::span<const uint8_t, wire::kFeatureReportBytes>(data + 1, wire::kFeatureReportBytes));
  bus.AfterReport();
  return static_cast<int>(length);
}

int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  if (dev == nullptr || data == nullptr || !bus.Reaches(dev->handle)) return -1;
  if (length < wire::kFeatureReportBytes + 1 || data[0] != 0) return -1;
  std::memcpy(data + 1, bus.keyboard.last_feature().data(), wire::kFeatureReportBytes);
  return static_cast<int>(wire::kFeatureReportBytes + 1);
}

int hid_write(hid_device* dev, const unsigned char* data, size_t length) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  if (dev == nullptr || WriteFails(bus, dev)) return -1;
  if (!Framed(bus, dev, data, length, wire::kOutputReportBytes, "output report")) return -1;
  bus.keyboard.OnOutputReport(
      std::span<const uint8_t, wire::kOutputReportBytes>(data + 1, wire::kOutputReportBytes));
  bus.AfterReport();
  return static_cast<int>(length);
}

int hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds) {
  Bus& bus = Bus::Get();
  std::unique_lock lock(bus.mutex);
  if (dev == nullptr || data == nullptr) return -1;
  auto ready = [&] {
    return !bus.Reaches(dev->handle) || bus.fail_read || !dev->handle.input.empty();
  };
  if (milliseconds < 0)
    bus.input_arrived.wait(lock, ready);
  else
    bus.input_arrived.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
  if (!bus.Reaches(dev->handle)) return -1;
  if (bus.fail_read) {
    bus.fail_read = false;
    return -1;
  }
  if (dev->handle.input.empty()) return 0;
  const auto& report = dev->handle.input.front();
  const size_t n = std::min(length, report.size());
  std::memcpy(data, report.data(), n);
  dev->handle.input.pop_front();
  return static_cast<int>(n);
}

int hid_read(hid_device* dev, unsigned char* data, size_t length) {
  return hid_read_timeout(dev, data, length, -1);
}

int hid_set_nonblocking(hid_device*, int) { return 0; }

const wchar_t* hid_error(hid_device*) { return L"stand-in keyboard"; }

}  // extern "C"
