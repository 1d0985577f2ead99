// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One model's link to its keyboard: start-up of the HID library, the keyboard's notifications,
// and the two transfers the worker runs. Holds no state of its own beyond the reason of the
// last failed library call; everything shared lives in ModelData.

#include <filesystem>
#include <mutex>
#include <string>

#include "common/status.h"
#include "device/hid_library_binding.h"
#include "device/sleeper.h"
#include "kb_message_target.h"
#include "keys/keyboard_model.h"
#include "session/apply_outcome.h"
#include "session/device_observer.h"
#include "session/model_data.h"

namespace kb {

struct DeviceLinkStart {
  Status library = Status::Ok();  // loading and binding "KB/Torvane_3.so"
  DeviceOpenResult open;          // the start-up calls, when the library is bound
  bool present() const { return library.ok() && open.present(); }
};

class DeviceLink {
 public:
  // All four must outlive the link. `sleeper` paces the transfers and the arrival settle.
  DeviceLink(ModelData& data, HidLibraryBinding& binding, DeviceObserver& observer,
             Sleeper& sleeper);

  // UI thread, once at start-up. Binds the library from `app_dir` (unless `binding` is bound
  // already), then selects the keyboard, opens the monitor with `target`, kDeviceDataMessage
  // and kDeviceChangeMessage, and opens both channels; the device state is Present when the
  // report channel opened, else Absent. A model without a device link calls nothing. Always
  // ends with DeviceStateChanged (kDeviceStateChangedMessage in the program). `target` must
  // stay valid until the process ends.
  DeviceLinkStart Start(const std::filesystem::path& app_dir, const kb_message_target* target);

  // UI thread. One value as DeviceNotificationValue makes it. Arrival (after the 500 ms settle)
  // and removal reopen or close the channels and report DeviceStateChanged (an arrival whose
  // node this user may not open leaves the keyboard absent); a version goes to
  // ShowFirmwareVersion; a bank or light-mode switch changes the current profile and saves the
  // store. Returns the first failure of a library call or a save; the notification's effect on
  // the data stands regardless.
  Status OnDeviceNotification(std::uint32_t value);

  // Worker thread: the apply transfer, with the lock held only while taking the profile and
  // while writing back what was sent. Saves the profile store in every case.
  ApplyOutcome ApplyProfile();
  // Worker thread: begin and end 0x66, when the keyboard is present and ResumeAllowed().
  ResumeOutcome SendResumeSequence();

 private:
  ModelData& data_;
  HidLibraryBinding& binding_;
  DeviceObserver& observer_;
  Sleeper& sleeper_;
};

}  // namespace kb
