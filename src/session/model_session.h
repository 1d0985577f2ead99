// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One model's session, whole: its data (ModelData), the HID library binding, the device link
// and the worker thread that runs the transfers. The program's device page and `kbctl apply`
// both stand on it, so the two start a model the same way and tell the same things about it.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_directory.h"
#include "common/status.h"
#include "device/hid_library_binding.h"
#include "device/sleeper.h"
#include "kb_message_target.h"
#include "keys/keyboard_model.h"
#include "session/device_link.h"
#include "session/device_observer.h"
#include "session/device_worker.h"
#include "session/model_data.h"

namespace kb {

// What a start did: the stores as they were read, and the keyboard as the link found it.
struct SessionStart {
  ModelDataLoad stores;
  DeviceLinkStart link;

  // A store that exists but could not be read (it is left untouched).
  bool store_unreadable() const;
  // A store read with losses (it is kept aside before its first save).
  bool store_damaged() const;
  // The first problem of the start, in the order stores, library; Ok when there was none.
  Status first_problem() const;
};

class ModelSession {
 public:
  // `observer` and `sleeper` must outlive the session; `sleeper` paces the transfers.
  ModelSession(const ModelInfo& model, const AppPaths& paths, DeviceObserver& observer,
               Sleeper& sleeper);
  ModelSession(const ModelSession&) = delete;
  ModelSession& operator=(const ModelSession&) = delete;
  // The worker ends first, then the link and the data it uses.
  ~ModelSession();

  // Once, on the thread that owns the session (the program's UI thread): loads the stores (a
  // new store's one profile is named `first_profile_name`), starts the link with `target`
  // (which must stay valid until the process ends) and, with `worker`, the worker thread.
  SessionStart Start(std::u16string_view first_profile_name, const kb_message_target* target,
                     bool worker = true);

  const ModelInfo& model() const { return model_; }
  ModelData& data() { return *data_; }
  // Bind it before Start to know whether the library is there before a store is touched.
  HidLibraryBinding& binding() { return binding_; }
  DeviceLink& link() { return *link_; }
  DeviceWorker* worker() { return worker_.get(); }

  // The macros an apply of the current profile leaves out for lack of keyboard memory, each
  // once, by name ("A, B"); empty when everything fits. Measured as the apply encodes them, on
  // the profile as it is now. Not while holding an Edit of the data.
  std::vector<std::u16string> LeftOutMacros() const;
  // The same joined by ", ", as the program shows them.
  std::u16string LeftOutMacroNames() const;

 private:
  const ModelInfo& model_;
  const AppPaths paths_;
  std::unique_ptr<ModelData> data_;
  HidLibraryBinding binding_;
  std::unique_ptr<DeviceLink> link_;
  std::unique_ptr<DeviceWorker> worker_;
};

}  // namespace kb
