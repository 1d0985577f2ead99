// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A message target whose posts a test collects, standing for the main window: the library posts
// from its own thread, the test takes the messages on its thread as the UI thread would.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "kb_message_target.h"
#include "session/thread_message_queue.h"

namespace kb::test {

class MessageInbox {
 public:
  MessageInbox() : target_{&MessageInbox::Post, this} {}
  MessageInbox(const MessageInbox&) = delete;
  MessageInbox& operator=(const MessageInbox&) = delete;

  const kb_message_target* target() const { return &target_; }

  // The next message with number `message`, dropping others before it; nullopt when none
  // arrives within `timeout` (a bound for a broken library, not a pacing wait).
  std::optional<ThreadMessage> WaitFor(
      std::uint32_t message, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      while (!messages_.empty()) {
        ThreadMessage m = messages_.front();
        messages_.pop_front();
        if (m.message == message) return m;
      }
      if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && messages_.empty())
        return std::nullopt;
    }
  }

  // The oldest message, if one has arrived; never waits.
  std::optional<ThreadMessage> TryTake() {
    std::lock_guard lock(mutex_);
    if (messages_.empty()) return std::nullopt;
    ThreadMessage m = messages_.front();
    messages_.pop_front();
    return m;
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
  }

 private:
  static void Post(void* context, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
    auto* self = static_cast<MessageInbox*>(context);
    {
      std::lock_guard lock(self->mutex_);
      self->messages_.push_back({message, wparam, lparam});
    }
    self->arrived_.notify_all();
  }

  kb_message_target target_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<ThreadMessage> messages_;
};

}  // namespace kb::test
