// Finds the keyboard's HID interface among the hidraw devices. A keyboard exposes several
// interfaces under one vendor and product id; the transfers go to its vendor-defined one.
#ifndef KB_HID_KEYBOARD_FINDER_H
#define KB_HID_KEYBOARD_FINDER_H

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

}  // namespace kb::hid

#endif
