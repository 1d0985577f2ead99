// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HID library "KB/Torvane_3.so", loaded from the application directory at run time and
// bound by name. Without the library, or without one of the exports the program calls, there
// is no device link: nothing is called and the reason is kept.

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "common/status.h"
#include "device/device_access.h"
#include "device/report_sink.h"
#include "hid_library.h"

namespace kb {

inline constexpr const char* kHidLibraryRelativePath = "KB/Torvane_3.so";

// What the start-up sequence got from the library. The device is present when the report
// channel opened; every other result is kept to be reported, not acted on.
struct DeviceOpenResult {
  Status select_ids = Status::Ok();
  Status monitor = Status::Ok();
  Status feature_channel = Status::Ok();
  Status report_channel = Status::Fail("not opened");
  DeviceAccess access;  // as the library told it after the opens
  bool present() const { return report_channel.ok(); }
  // The failed calls, one line each; empty when all succeeded.
  std::vector<std::string> Problems() const;
};

// Calls into the library are serialised by an internal lock, held for one call only (never
// across the pauses between reports), so a close from the UI thread never overlaps a write
// from the worker. Any thread.
class HidLibraryBinding final : public ReportSink {
 public:
  HidLibraryBinding() = default;
  HidLibraryBinding(const HidLibraryBinding&) = delete;
  HidLibraryBinding& operator=(const HidLibraryBinding&) = delete;
  // The library stays loaded: its monitor thread may still post after the binding is gone.
  ~HidLibraryBinding() override = default;

  // Loads `library` and resolves the eleven exports. Fails, binding nothing, when the file
  // cannot be loaded or an export that the program calls is missing. A missing export that is
  // never called is noted in missing_unused_exports() and does not prevent the link. Call once.
  Status Load(const std::filesystem::path& library);
  // Load(app_dir / "KB/Torvane_3.so").
  Status LoadFromAppDirectory(const std::filesystem::path& app_dir);

  bool bound() const { return bound_; }
  // Why there is no device link (empty while bound).
  const std::string& unbound_reason() const { return unbound_reason_; }
  const std::vector<std::string>& missing_unused_exports() const { return missing_unused_; }

  // The start-up sequence, in order: Set_HIDVIDPID, Open_HIDMonitor, Open_HIDFeatureDevice,
  // Open_HIDReportDevice. `target` must stay valid until the process ends.
  DeviceOpenResult Open(int vendor_id, int product_id, const kb_message_target* target,
                        unsigned data_message, unsigned change_message);
  // On arrival: Open_HIDFeatureDevice, then Open_HIDReportDevice. The first failure is returned,
  // both are called.
  Status OpenChannels();
  // On removal: Close_HIDFeatureDevice, then Close_HIDReportDevice, likewise.
  Status CloseChannels();

  // What the library says of the keyboard now (Unknown when it cannot tell). Any thread.
  DeviceAccess QueryAccess();

  Status SetFeature(std::span<const std::uint8_t, kFeatureReportSize> report) override;
  Status WriteOutput(std::span<const std::uint8_t, kOutputReportSize> report) override;

 private:
  Status Call(const char* name, HID_void_fn fn);
  Status Unbound() const;

  struct Exports {
    Set_HIDVIDPID_fn set_vid_pid = nullptr;
    Open_HIDMonitor_fn open_monitor = nullptr;
    HID_void_fn close_monitor = nullptr;
    HID_void_fn open_feature = nullptr;
    HID_void_fn close_feature = nullptr;
    HID_void_fn open_report = nullptr;
    HID_void_fn close_report = nullptr;
    HID_write_fn set_feature = nullptr;
    HID_read_fn get_feature = nullptr;
    HID_write_fn write_usb = nullptr;
    HID_read_fn read_usb = nullptr;
    Get_HIDDeviceStatus_fn device_status = nullptr;
  };

  std::mutex call_mutex_;
  Exports exports_;
  bool bound_ = false;
  std::string unbound_reason_ = "the HID library is not loaded";
  std::vector<std::string> missing_unused_;
};

}  // namespace kb
