// SPDX-License-Identifier: GPL-3.0-or-later
// Finds the keyboard's HID interface among the hidraw devices. A keyboard exposes several
// interfaces under one vendor and product id; the transfers go to its vendor-defined one.
#ifndef KB_HID_KEYBOARD_FINDER_H
#define KB_HID_KEYBOARD_FINDER_H

#include <hidapi.h>

#include <optional>
#include <string>
#include <vector>

namespace kb::hid {

struct InterfaceInfo {
  std::string path;
  unsigned short usage_page = 0;
  unsigned short usage = 0;
  int interface_number = -1;
};

// Picks the interface the transfers go to: a vendor-defined usage page (0xFF00 and up) first,
// then any interface that is not the boot keyboard or mouse, then any; within a rank the
// lowest interface number. nullopt when the list is empty. Pure, for tests.
std::optional<InterfaceInfo> ChooseInterface(const std::vector<InterfaceInfo>& interfaces);

// Calls hidapi (which must be initialised) for the interfaces with these ids, and picks one.
std::optional<InterfaceInfo> FindKeyboard(int vendor_id, int product_id);

// hid_init once per process; false when hidapi cannot start.
bool InitHidApi();

// hidapi keeps the error text of enumerate, open and close in one process-wide string, so
// those calls are made under one lock, whichever thread makes them (the monitor, the program).
// Opens `path`; null on failure, with *error set to the errno of the failure.
hid_device* OpenInterface(const std::string& path, int* error);
void CloseInterface(hid_device* device);

}  // namespace kb::hid

#endif
