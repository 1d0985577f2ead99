// SPDX-License-Identifier: GPL-3.0-or-later
// A queue of text lines that a reader drains in whole lines into a C buffer: the transfer log
// and the violation list of the virtual keyboard. Not locked: its owner locks.
#ifndef KB_HID_LINE_QUEUE_H
#define KB_HID_LINE_QUEUE_H

#include <cstddef>
#include <deque>
#include <string>

namespace kb::hid {

class LineQueue {
 public:
  // Lines beyond this many are dropped oldest first, so a demo that never reads the log does
  // not grow without bound; the count of dropped lines is kept.
  static constexpr size_t kMaxLines = 100000;

  void Add(std::string line);
  // Moves whole lines into buffer as far as they fit (each followed by '\n', the whole
  // NUL-terminated). Returns the lines taken, 0 when empty, -1 when the first does not fit.
  long Take(char* buffer, size_t capacity);
  void Clear();
  size_t size() const { return lines_.size(); }
  size_t dropped() const { return dropped_; }

 private:
  std::deque<std::string> lines_;
  size_t dropped_ = 0;
};

}  // namespace kb::hid

#endif
