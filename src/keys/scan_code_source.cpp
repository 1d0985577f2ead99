// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/scan_code_source.h"

#include <mutex>

#include "keys/virtual_key_table.h"

namespace kb {
namespace {

std::mutex g_source_mutex;
ScanCodeSource g_source_for_testing;

// The input-hook library names a key by its position: it turns the evdev code into the virtual
// key a US layout has there, whatever layout the desktop uses. The scan code of that virtual key
// is therefore the US one, and the layout correction keeps every key where it is.
std::uint32_t PlatformScanCode(std::uint32_t virtual_key) {
  for (const VirtualKeyRow& row : VirtualKeyTable())
    if (row.virtual_key == virtual_key) return row.scan_code;
  return 0;
}

}  // namespace

std::uint32_t ScanCodeOfVirtualKey(std::uint32_t virtual_key) {
  ScanCodeSource source;
  {
    std::lock_guard lock(g_source_mutex);
    source = g_source_for_testing;
  }
  return source ? source(virtual_key) : PlatformScanCode(virtual_key);
}

void SetScanCodeSourceForTesting(ScanCodeSource source) {
  std::lock_guard lock(g_source_mutex);
  g_source_for_testing = std::move(source);
}

}  // namespace kb
