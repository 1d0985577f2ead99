// SPDX-License-Identifier: GPL-3.0-or-later
// A kb_message_target that records every post, for tests that wait for a library's messages
// without sleeping.
#ifndef KB_TESTS_HID_MESSAGE_RECORDER_H
#define KB_TESTS_HID_MESSAGE_RECORDER_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "kb_message_target.h"

namespace kb::test {

struct PostedMessage {
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
  bool operator==(const PostedMessage&) const = default;
};

class MessageRecorder {
 public:
  kb_message_target target() { return kb_message_target{&MessageRecorder::Post, this}; }

  // Waits until at least `count` messages arrived; false after the timeout.
  bool WaitForCount(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return messages_.size() >= count; });
  }

  std::vector<PostedMessage> messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
  }

 private:
  static void Post(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    auto* self = static_cast<MessageRecorder*>(context);
    {
      std::lock_guard lock(self->mutex_);
      self->messages_.push_back(PostedMessage{message, wparam, lparam});
    }
    self->arrived_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<PostedMessage> messages_;
};

// The library may post until the process ends, so the recorder handed to it never dies.
inline MessageRecorder& ProcessRecorder() {
  static MessageRecorder* recorder = new MessageRecorder;
  return *recorder;
}

}  // namespace kb::test

#endif
