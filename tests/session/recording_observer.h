// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A device observer that keeps what the link told it.

#include <mutex>
#include <string>
#include <vector>

#include "session/device_observer.h"

namespace kb::test {

class RecordingObserver final : public DeviceObserver {
 public:
  void ShowApplyRing(bool visible) override {
    std::lock_guard lock(mutex_);
    ring_.push_back(visible);
  }
  bool ResumeAllowed() override {
    std::lock_guard lock(mutex_);
    return resume_allowed_;
  }
  void ApplyFinished(const ApplyOutcome& outcome) override {
    std::lock_guard lock(mutex_);
    outcomes_.push_back(outcome);
  }
  void DeviceStateChanged() override {
    std::lock_guard lock(mutex_);
    ++state_changes_;
  }
  void ShowFirmwareVersion(const std::string& text) override {
    std::lock_guard lock(mutex_);
    version_ = text;
  }
  void ShowLightMode(int mode) override {
    std::lock_guard lock(mutex_);
    light_modes_.push_back(mode);
  }

  void SetResumeAllowed(bool allowed) {
    std::lock_guard lock(mutex_);
    resume_allowed_ = allowed;
  }
  std::vector<bool> ring() const {
    std::lock_guard lock(mutex_);
    return ring_;
  }
  std::vector<ApplyOutcome> outcomes() const {
    std::lock_guard lock(mutex_);
    return outcomes_;
  }
  std::size_t outcome_count() const {
    std::lock_guard lock(mutex_);
    return outcomes_.size();
  }
  int state_changes() const {
    std::lock_guard lock(mutex_);
    return state_changes_;
  }
  std::string version() const {
    std::lock_guard lock(mutex_);
    return version_;
  }
  std::vector<int> light_modes() const {
    std::lock_guard lock(mutex_);
    return light_modes_;
  }

 private:
  mutable std::mutex mutex_;
  bool resume_allowed_ = true;
  std::vector<bool> ring_;
  std::vector<ApplyOutcome> outcomes_;
  int state_changes_ = 0;
  std::string version_;
  std::vector<int> light_modes_;
};

}  // namespace kb::test
