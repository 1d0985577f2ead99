// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Wakes the program after the computer resumed from sleep: systemd-logind's PrepareForSleep
// signal with false on the system bus becomes a posted window message. Without a system bus
// nothing is watched and the program runs on.

#include <memory>

#include "ui/ui_types.h"

namespace DuiLib {

class CResumeWatcher {
 public:
  CResumeWatcher();
  ~CResumeWatcher();
  CResumeWatcher(const CResumeWatcher&) = delete;
  CResumeWatcher& operator=(const CResumeWatcher&) = delete;

  // Each resume posts (message, wParam, 0) to `hwnd`. False when there is no system bus or
  // logind's signal cannot be subscribed.
  bool Start(HWND hwnd, UINT message, WPARAM wParam);
  // Start, once the event loop has run for `delay_ms`: the program's window shows first. A
  // resume before then goes unseen, as it would before the program started.
  void StartLater(HWND hwnd, UINT message, WPARAM wParam, int delay_ms);
  void Stop();
  // Test seam: what logind's PrepareForSleep(going_to_sleep) does.
  void SimulatePrepareForSleepForTesting(bool going_to_sleep);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
