#include "keys/scan_code_source.h"

#include <mutex>

#include "keys/virtual_key_table.h"

namespace kb {
namespace {

std::mutex g_source_mutex;
ScanCodeSource g_source_for_testing;

// The hook library reports the virtual keys of a US layout, so the layout's own scan codes are
// the table's: the correction step then keeps every key as it is.
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
