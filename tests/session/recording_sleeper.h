// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sleeper that records each pause instead of waiting, and can act at a given pause (to make
// an edit or pull the cable in the middle of a transfer).

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "device/sleeper.h"

namespace kb::test {

class RecordingSleeper final : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds duration) override {
    std::function<void(std::size_t)> hook;
    std::size_t index = 0;
    {
      std::lock_guard lock(mutex_);
      sleeps_.push_back(duration);
      index = sleeps_.size();
      hook = on_sleep_;
    }
    if (hook) hook(index);
  }

  // Called (outside the sleeper's lock) with the 1-based number of each pause.
  void OnSleep(std::function<void(std::size_t)> hook) {
    std::lock_guard lock(mutex_);
    on_sleep_ = std::move(hook);
  }

  std::vector<std::chrono::milliseconds> sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }
  std::size_t count() const {
    std::lock_guard lock(mutex_);
    return sleeps_.size();
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    sleeps_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::chrono::milliseconds> sleeps_;
  std::function<void(std::size_t)> on_sleep_;
};

}  // namespace kb::test
