// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/message_poster.h"

#include <utility>

namespace kb::hid {

MessagePoster::MessagePoster(std::function<void()> before_delivery)
    : before_delivery_(std::move(before_delivery)), thread_([this] { Run(); }) {}

MessagePoster::~MessagePoster() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  thread_.join();
}

void MessagePoster::SetTarget(const kb_message_target& target, uint32_t data_message,
                              uint32_t change_message) {
  std::lock_guard lock(mutex_);
  target_ = target;
  data_message_ = data_message;
  change_message_ = change_message;
  has_target_ = target.post != nullptr;
}

bool MessagePoster::HasTarget() const {
  std::lock_guard lock(mutex_);
  return has_target_;
}

void MessagePoster::PostData(uintptr_t wparam, intptr_t lparam) { Enqueue(true, wparam, lparam); }

void MessagePoster::PostChange(uintptr_t wparam) { Enqueue(false, wparam, 0); }

void MessagePoster::Enqueue(bool data, uintptr_t wparam, intptr_t lparam) {
  {
    std::lock_guard lock(mutex_);
    if (!has_target_ || stopping_) return;
    queue_.push_back(Post{target_, data ? data_message_ : change_message_, wparam, lparam});
  }
  wake_.notify_one();
}

void MessagePoster::Clear() {
  std::unique_lock lock(mutex_);
  has_target_ = false;
  target_ = {};
  queue_.clear();
  if (std::this_thread::get_id() == thread_.get_id()) return;
  delivered_.wait(lock, [this] { return !delivering_; });
}

bool MessagePoster::Idle() const {
  std::lock_guard lock(mutex_);
  return queue_.empty() && !delivering_;
}

void MessagePoster::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    delivering_ = true;
    lock.unlock();
    if (before_delivery_) before_delivery_();
    lock.lock();
    // A Clear() while the gate ran dropped this post along with the queue.
    if (!queue_.empty() && !stopping_) {
      Post post = queue_.front();
      queue_.pop_front();
      lock.unlock();
      post.target.post(post.target.context, post.message, post.wparam, post.lparam);
      lock.lock();
    }
    delivering_ = false;
    delivered_.notify_all();
  }
}

}  // namespace kb::hid
