// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/thread_message_queue.h"

namespace kb {

bool ThreadMessageQueue::Post(const ThreadMessage& message) {
  {
    std::lock_guard lock(mutex_);
    if (quit_) return false;
    messages_.push_back(message);
    ++posted_count_;
  }
  posted_.notify_one();
  return true;
}

void ThreadMessageQueue::PostQuit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  posted_.notify_all();
}

bool ThreadMessageQueue::Wait(ThreadMessage& out) {
  std::unique_lock lock(mutex_);
  posted_.wait(lock, [&] { return !messages_.empty() || quit_; });
  if (messages_.empty()) return false;
  out = messages_.front();
  messages_.pop_front();
  return true;
}

void ThreadMessageQueue::MarkServed() {
  {
    std::lock_guard lock(mutex_);
    ++served_count_;
  }
  served_.notify_all();
}

void ThreadMessageQueue::WaitUntilServed() {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = posted_count_;
  served_.wait(lock, [&] { return served_count_ >= target; });
}

}  // namespace kb
