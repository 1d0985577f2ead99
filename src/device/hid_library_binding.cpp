// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid_library_binding.h"

#include <dlfcn.h>

namespace kb {
namespace {

template <class Fn>
bool Resolve(void* handle, const char* name, Fn& out) {
  out = reinterpret_cast<Fn>(dlsym(handle, name));
  return out != nullptr;
}

Status Result(const char* name, int returned) {
  if (returned != 0) return Status::Ok();
  return Status::Fail(std::string(name) + " failed");
}

}  // namespace

std::vector<std::string> DeviceOpenResult::Problems() const {
  std::vector<std::string> lines;
  for (const Status* s : {&select_ids, &monitor, &feature_channel, &report_channel}) {
    if (!s->ok()) lines.push_back(s->reason());
  }
  return lines;
}

Status HidLibraryBinding::LoadFromAppDirectory(const std::filesystem::path& app_dir) {
  return Load(app_dir / kHidLibraryRelativePath);
}

Status HidLibraryBinding::Load(const std::filesystem::path& library) {
  if (bound_) return Status::Fail("the HID library is already loaded");
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    unbound_reason_ = "cannot load " + library.string() + ": " + (error ? error : "unknown error");
    return Status::Fail(unbound_reason_);
  }
  Exports e;
  std::vector<std::string> missing_called;
  auto need = [&](const char* name, auto& fn) {
    if (!Resolve(handle, name, fn)) missing_called.emplace_back(name);
  };
  auto optional = [&](const char* name, auto& fn) {
    if (!Resolve(handle, name, fn)) missing_unused_.emplace_back(name);
  };
  need("Set_HIDVIDPID", e.set_vid_pid);
  need("Open_HIDMonitor", e.open_monitor);
  optional("Close_HIDMonitor", e.close_monitor);
  need("Open_HIDFeatureDevice", e.open_feature);
  need("Close_HIDFeatureDevice", e.close_feature);
  need("Open_HIDReportDevice", e.open_report);
  need("Close_HIDReportDevice", e.close_report);
  need("SetHIDFeature", e.set_feature);
  optional("GetHIDFeature", e.get_feature);
  need("WriteHIDUSB", e.write_usb);
  optional("ReadHIDUSB", e.read_usb);
  // A later addition to the library's calls: an older library lacks it and is not the worse.
  (void)Resolve(handle, "Get_HIDDeviceStatus", e.device_status);
  if (!missing_called.empty()) {
    std::string list;
    for (const std::string& name : missing_called) list += (list.empty() ? "" : ", ") + name;
    unbound_reason_ = library.string() + " lacks " + list;
    // Kept loaded like a bound library: unloading code that may have started threads in its
    // constructors is not safe.
    return Status::Fail(unbound_reason_);
  }
  exports_ = e;
  bound_ = true;
  unbound_reason_.clear();
  return Status::Ok();
}

Status HidLibraryBinding::Unbound() const {
  return Status::Fail("no device link: " + unbound_reason_);
}

DeviceOpenResult HidLibraryBinding::Open(int vendor_id, int product_id,
                                         const kb_message_target* target, unsigned data_message,
                                         unsigned change_message) {
  DeviceOpenResult result;
  if (!bound_) {
    result.select_ids = result.monitor = result.feature_channel = result.report_channel = Unbound();
    return result;
  }
  {
    std::lock_guard lock(call_mutex_);
    result.select_ids = Result("Set_HIDVIDPID", exports_.set_vid_pid(vendor_id, product_id));
    result.monitor =
        Result("Open_HIDMonitor", exports_.open_monitor(target, data_message, change_message));
  }
  result.feature_channel = Call("Open_HIDFeatureDevice", exports_.open_feature);
  result.report_channel = Call("Open_HIDReportDevice", exports_.open_report);
  result.access = QueryAccess();
  return result;
}

DeviceAccess HidLibraryBinding::QueryAccess() {
  DeviceAccess access;
  if (!bound_ || exports_.device_status == nullptr) return access;
  kb_hid_device_status status{};
  {
    std::lock_guard lock(call_mutex_);
    if (exports_.device_status(&status) == 0) return access;
  }
  status.node[sizeof status.node - 1] = '\0';
  switch (status.state) {
    case KB_HID_STATUS_ABSENT:
      access.state = DeviceAccess::State::Absent;
      return access;
    case KB_HID_STATUS_OPENED:
      access.state = DeviceAccess::State::Opened;
      break;
    case KB_HID_STATUS_NOT_PERMITTED:
      access.state = DeviceAccess::State::NotPermitted;
      break;
    case KB_HID_STATUS_OPEN_FAILED:
      access.state = DeviceAccess::State::OpenFailed;
      break;
    default:
      return access;  // a state this program does not know: it cannot tell
  }
  access.node = status.node;
  access.interface_number = status.interface_number;
  access.error = status.error;
  return access;
}

Status HidLibraryBinding::Call(const char* name, HID_void_fn fn) {
  if (!bound_) return Unbound();
  std::lock_guard lock(call_mutex_);
  return Result(name, fn());
}

Status HidLibraryBinding::OpenChannels() {
  Status feature = Call("Open_HIDFeatureDevice", exports_.open_feature);
  Status report = Call("Open_HIDReportDevice", exports_.open_report);
  return feature.ok() ? report : feature;
}

Status HidLibraryBinding::CloseChannels() {
  Status feature = Call("Close_HIDFeatureDevice", exports_.close_feature);
  Status report = Call("Close_HIDReportDevice", exports_.close_report);
  return feature.ok() ? report : feature;
}

Status HidLibraryBinding::SetFeature(std::span<const std::uint8_t, kFeatureReportSize> report) {
  if (!bound_) return Unbound();
  std::lock_guard lock(call_mutex_);
  return Result("SetHIDFeature",
                exports_.set_feature(report.data(), static_cast<int>(report.size())));
}

Status HidLibraryBinding::WriteOutput(std::span<const std::uint8_t, kOutputReportSize> report) {
  if (!bound_) return Unbound();
  std::lock_guard lock(call_mutex_);
  return Result("WriteHIDUSB", exports_.write_usb(report.data(), static_cast<int>(report.size())));
}

}  // namespace kb
