// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device worker: one thread that runs the transfers, one request at a time, in the order
// they were posted, so that the UI never waits for the keyboard's pacing.

#include <cstdint>
#include <thread>

#include "session/apply_outcome.h"
#include "session/device_link.h"
#include "session/thread_message_queue.h"

namespace kb {

class DeviceWorker {
 public:
  // Starts the thread. `request_message` is the model's `worker_message`; every
  // other message is ignored. `link` must outlive the worker.
  DeviceWorker(DeviceLink& link, std::uint32_t request_message);
  DeviceWorker(const DeviceWorker&) = delete;
  DeviceWorker& operator=(const DeviceWorker&) = delete;
  // Serves what was posted before, then ends the thread.
  ~DeviceWorker();

  // The handle others post to: request_message with wparam 1 for the resume handshake, any
  // other wparam for an apply. Any thread.
  ThreadMessageQueue& queue() { return queue_; }
  std::uint32_t request_message() const { return request_message_; }
  // Shorthand for posting request_message with `wparam`. Any thread; never blocks.
  bool Post(std::uintptr_t wparam);

  // Blocks until every request posted so far has been served. Not for the UI thread of the
  // program (it would wait for the pacing); for the command line and tests.
  void WaitUntilIdle();
  // Ends the thread after the requests posted so far; the destructor calls it. Not from the
  // worker thread itself.
  void Stop();

 private:
  void Run();

  DeviceLink& link_;
  const std::uint32_t request_message_;
  ThreadMessageQueue queue_;
  std::thread thread_;
};

}  // namespace kb
