// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A message target that keeps everything posted to it and lets a test wait for an event.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "kb_message_target.h"

namespace kb::testing {

struct HookEvent {
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  friend bool operator==(const HookEvent&, const HookEvent&) = default;
};

class HookEventRecorder {
 public:
  static constexpr std::chrono::milliseconds kTimeout{5000};

  const kb_message_target* target() const { return &target_; }

  std::vector<HookEvent> events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }

  // Waits until `count` events have arrived; false when they do not come in time.
  bool WaitForCount(std::size_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, kTimeout, [&] { return events_.size() >= count; });
  }

  // Waits for an event equal to `event`.
  bool WaitFor(const HookEvent& event, std::chrono::milliseconds timeout = kTimeout) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] {
      for (const HookEvent& e : events_)
        if (e == event) return true;
      return false;
    });
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }

 private:
  static void Post(void* context, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
    auto* self = static_cast<HookEventRecorder*>(context);
    // Notified under the lock: a waiter that wakes may destroy the recorder right away.
    std::lock_guard lock(self->mutex_);
    self->events_.push_back({message, wparam, lparam});
    self->arrived_.notify_all();
  }

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<HookEvent> events_;
  kb_message_target target_{&HookEventRecorder::Post, this};
};

}  // namespace kb::testing
