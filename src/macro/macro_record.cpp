// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_record.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace kb {

namespace {

// The unit of memory the system hands out (or a divisor of it): a block of zeros in a fresh
// record is left unwritten.
constexpr std::size_t kBlock = 4096;

}  // namespace

void* MacroRecord::operator new(std::size_t size) {
  void* pages = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::bad_alloc();
  return pages;
}

void MacroRecord::operator delete(void* record, std::size_t size) noexcept {
  if (record != nullptr) ::munmap(record, size);
}

std::unique_ptr<MacroRecord> MacroRecordFromBytes(
    std::span<const std::uint8_t, sizeof(MacroRecord)> bytes) {
  static constexpr std::uint8_t kZeros[kBlock] = {};
  // Zeros already: only the blocks that hold something are copied.
  std::unique_ptr<MacroRecord> record(new MacroRecord);
  auto* out = reinterpret_cast<std::uint8_t*>(record.get());
  for (std::size_t at = 0; at < bytes.size(); at += kBlock) {
    const std::size_t n = std::min(kBlock, bytes.size() - at);
    if (std::memcmp(bytes.data() + at, kZeros, n) != 0) std::memcpy(out + at, bytes.data() + at, n);
  }
  return record;
}

}  // namespace kb
