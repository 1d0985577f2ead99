// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a built "Torvane_3.so" the way the program does (dlopen, dlsym of every export) and
// keeps it loaded for the life of the test process, as the program does.
#ifndef KB_TESTS_HID_LIBRARY_LOADER_H
#define KB_TESTS_HID_LIBRARY_LOADER_H

#include <dlfcn.h>

#include <string>

#include "hid_library.h"
#include "virtual_keyboard.h"

namespace kb::test {

struct HidExports {
  Set_HIDVIDPID_fn set_ids = nullptr;
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
};

struct VirtualExports {
  vkb_int_fn switch_bank = nullptr;
  vkb_int_fn switch_light_mode = nullptr;
  vkb_void_fn unplug = nullptr;
  vkb_void_fn plug_in = nullptr;
  vkb_read_state_fn read_state = nullptr;
  vkb_decode_macro_fn decode_macro = nullptr;
  vkb_take_lines_fn take_log = nullptr;
  vkb_take_lines_fn take_violations = nullptr;
  vkb_void_fn reset = nullptr;
};

struct LoadedLibrary {
  void* handle = nullptr;
  std::string error;
  int missing = 0;  // exports that dlsym did not find
  HidExports hid;
  VirtualExports vkb;
};

template <typename Fn>
void Bind(LoadedLibrary& lib, Fn& slot, const char* name) {
  slot = reinterpret_cast<Fn>(dlsym(lib.handle, name));
  if (slot == nullptr) ++lib.missing;
}

// Binds the eleven HID exports, and the vkb_ exports when `with_virtual` is set.
inline LoadedLibrary LoadHidLibrary(const char* path, bool with_virtual) {
  LoadedLibrary lib;
  lib.handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (lib.handle == nullptr) {
    const char* error = dlerror();
    lib.error = error != nullptr ? error : "dlopen failed";
    return lib;
  }
  Bind(lib, lib.hid.set_ids, "Set_HIDVIDPID");
  Bind(lib, lib.hid.open_monitor, "Open_HIDMonitor");
  Bind(lib, lib.hid.close_monitor, "Close_HIDMonitor");
  Bind(lib, lib.hid.open_feature, "Open_HIDFeatureDevice");
  Bind(lib, lib.hid.close_feature, "Close_HIDFeatureDevice");
  Bind(lib, lib.hid.open_report, "Open_HIDReportDevice");
  Bind(lib, lib.hid.close_report, "Close_HIDReportDevice");
  Bind(lib, lib.hid.set_feature, "SetHIDFeature");
  Bind(lib, lib.hid.get_feature, "GetHIDFeature");
  Bind(lib, lib.hid.write_usb, "WriteHIDUSB");
  Bind(lib, lib.hid.read_usb, "ReadHIDUSB");
  if (with_virtual) {
    Bind(lib, lib.vkb.switch_bank, "vkb_switch_bank");
    Bind(lib, lib.vkb.switch_light_mode, "vkb_switch_light_mode");
    Bind(lib, lib.vkb.unplug, "vkb_unplug");
    Bind(lib, lib.vkb.plug_in, "vkb_plug_in");
    Bind(lib, lib.vkb.read_state, "vkb_read_state");
    Bind(lib, lib.vkb.decode_macro, "vkb_decode_macro");
    Bind(lib, lib.vkb.take_log, "vkb_take_log");
    Bind(lib, lib.vkb.take_violations, "vkb_take_violations");
    Bind(lib, lib.vkb.reset, "vkb_reset");
  }
  return lib;
}

}  // namespace kb::test

#endif
