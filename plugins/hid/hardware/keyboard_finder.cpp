// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardware/keyboard_finder.h"

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace kb::hid {
namespace {

constexpr unsigned short kVendorUsagePageFirst = 0xFF00;
constexpr unsigned short kGenericDesktopPage = 0x01;
constexpr unsigned short kUsageMouse = 0x02;
constexpr unsigned short kUsageKeyboard = 0x06;

std::mutex& HidApiLock() {
  static std::mutex lock;
  return lock;
}

int Rank(const InterfaceInfo& info) {
  if (info.usage_page >= kVendorUsagePageFirst) return 0;
  bool boot_device = info.usage_page == kGenericDesktopPage &&
                     (info.usage == kUsageKeyboard || info.usage == kUsageMouse);
  return boot_device ? 2 : 1;
}

}  // namespace

std::optional<InterfaceInfo> ChooseInterface(const std::vector<InterfaceInfo>& interfaces) {
  if (interfaces.empty()) return std::nullopt;
  auto best = std::min_element(interfaces.begin(), interfaces.end(),
                               [](const InterfaceInfo& a, const InterfaceInfo& b) {
                                 if (Rank(a) != Rank(b)) return Rank(a) < Rank(b);
                                 if (a.interface_number != b.interface_number)
                                   return a.interface_number < b.interface_number;
                                 return a.path < b.path;
                               });
  return *best;
}

std::optional<InterfaceInfo> FindKeyboard(int vendor_id, int product_id) {
  std::vector<InterfaceInfo> interfaces;
  std::lock_guard lock(HidApiLock());
  hid_device_info* list = hid_enumerate(static_cast<unsigned short>(vendor_id),
                                        static_cast<unsigned short>(product_id));
  for (hid_device_info* d = list; d != nullptr; d = d->next) {
    // hid_enumerate(0, 0) would list everything; the ids are checked again to be sure.
    if (d->path == nullptr || d->vendor_id != vendor_id || d->product_id != product_id) continue;
    interfaces.push_back(InterfaceInfo{d->path, d->usage_page, d->usage, d->interface_number});
  }
  hid_free_enumeration(list);
  return ChooseInterface(interfaces);
}

hid_device* OpenInterface(const std::string& path, int* error) {
  std::lock_guard lock(HidApiLock());
  errno = 0;
  hid_device* device = hid_open_path(path.c_str());
  if (device == nullptr && error != nullptr) *error = errno != 0 ? errno : EIO;
  return device;
}

void CloseInterface(hid_device* device) {
  if (device == nullptr) return;
  std::lock_guard lock(HidApiLock());
  hid_close(device);
}

bool InitHidApi() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = hid_init() == 0; });
  return ok;
}

}  // namespace kb::hid
