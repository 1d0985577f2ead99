// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/device_worker.h"

#include "device/device_protocol.h"

namespace kb {

DeviceWorker::DeviceWorker(DeviceLink& link, std::uint32_t request_message)
    : link_(link), request_message_(request_message), thread_([this] { Run(); }) {}

DeviceWorker::~DeviceWorker() { Stop(); }

bool DeviceWorker::Post(std::uintptr_t wparam) {
  return queue_.Post({request_message_, wparam, 0});
}

void DeviceWorker::WaitUntilIdle() { queue_.WaitUntilServed(); }

void DeviceWorker::Stop() {
  queue_.PostQuit();
  if (thread_.joinable()) thread_.join();
}

void DeviceWorker::Run() {
  ThreadMessage message;
  while (queue_.Wait(message)) {
    if (message.message == request_message_) {
      if (message.wparam == kResumeRequest) {
        (void)link_.SendResumeSequence();
      } else {
        (void)link_.ApplyProfile();
      }
    }
    queue_.MarkServed();
  }
}

}  // namespace kb
