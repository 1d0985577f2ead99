// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/line_queue.h"

#include <cstring>
#include <utility>

namespace kb::hid {

void LineQueue::Add(std::string line) {
  if (lines_.size() >= kMaxLines) {
    lines_.pop_front();
    ++dropped_;
  }
  lines_.push_back(std::move(line));
}

long LineQueue::Take(char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return -1;
  buffer[0] = '\0';
  if (lines_.empty()) return 0;
  size_t used = 0;
  long taken = 0;
  while (!lines_.empty()) {
    const std::string& line = lines_.front();
    // The line, its '\n' and the final NUL must fit.
    if (line.size() + 2 > capacity - used) break;
    std::memcpy(buffer + used, line.data(), line.size());
    used += line.size();
    buffer[used++] = '\n';
    buffer[used] = '\0';
    lines_.pop_front();
    ++taken;
  }
  return taken == 0 ? -1 : taken;
}

void LineQueue::Clear() {
  lines_.clear();
  dropped_ = 0;
}

}  // namespace kb::hid
