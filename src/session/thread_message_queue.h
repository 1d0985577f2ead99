// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A thread's own message queue: what stands for a thread id that others post thread messages
// to. Posting never blocks; the owning thread waits for the next message.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

namespace kb {

struct ThreadMessage {
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

// Any thread may post; one thread waits.
class ThreadMessageQueue {
 public:
  // Appends a message. False once the queue was told to quit (the message is dropped).
  bool Post(const ThreadMessage& message);
  // Asks the waiting thread to end after the messages posted before this call.
  void PostQuit();
  // Blocks for the next message. False for the quit, after every earlier message was taken.
  bool Wait(ThreadMessage& out);
  // Marks the message last taken by Wait as served (for WaitUntilServed).
  void MarkServed();
  // Blocks until every message posted so far has been taken and served.
  void WaitUntilServed();

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::condition_variable served_;
  std::deque<ThreadMessage> messages_;
  bool quit_ = false;
  std::uint64_t posted_count_ = 0;
  std::uint64_t served_count_ = 0;
};

}  // namespace kb
