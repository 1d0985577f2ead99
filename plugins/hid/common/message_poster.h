// SPDX-License-Identifier: GPL-3.0-or-later
// Delivers the library's window messages to the program's target from one thread of its own,
// in the order they were queued, so that no caller of a library function ever runs the
// program's post function while it holds a library lock.
#ifndef KB_HID_MESSAGE_POSTER_H
#define KB_HID_MESSAGE_POSTER_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "kb_message_target.h"

namespace kb::hid {

class MessagePoster {
 public:
  // before_delivery runs on the delivery thread before each post, outside the poster's lock;
  // the virtual keyboard uses it to wait until the call that queued the post has finished.
  explicit MessagePoster(std::function<void()> before_delivery = {});
  ~MessagePoster();
  MessagePoster(const MessagePoster&) = delete;
  MessagePoster& operator=(const MessagePoster&) = delete;

  // Any thread. Later posts go to this target with these message numbers.
  void SetTarget(const kb_message_target& target, uint32_t data_message, uint32_t change_message);
  bool HasTarget() const;

  // Any thread; never blocks. Nothing is queued while no target is set.
  void PostData(uintptr_t wparam, intptr_t lparam);
  void PostChange(uintptr_t wparam);

  // Any thread. Drops the target and every queued post, and waits for a post being delivered
  // to finish (unless called from inside the target's post function).
  void Clear();

  // For tests that wait for quiet: true when nothing is queued or being delivered.
  bool Idle() const;

 private:
  struct Post {
    kb_message_target target;
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
  };

  void Enqueue(bool data, uintptr_t wparam, intptr_t lparam);
  void Run();

  std::function<void()> before_delivery_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable delivered_;
  std::deque<Post> queue_;
  bool has_target_ = false;
  kb_message_target target_{};
  uint32_t data_message_ = 0;
  uint32_t change_message_ = 0;
  bool delivering_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kb::hid

#endif
