// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tells the program that it is about to end from outside: a termination signal (SIGTERM from a
// logout or `kill`, SIGHUP when its terminal goes, SIGINT from Ctrl+C) or the desktop
// session's request to save before it ends. Either becomes a posted window message, so the
// program keeps what the user did through the same path as its own exit, on the UI thread.

#include <memory>

#include "ui/ui_types.h"

namespace DuiLib {

class CSessionEndWatcher {
 public:
  // What wParam of the posted message says.
  static constexpr WPARAM kSaveRequest = 0;  // the session asks to save; the program goes on
  static constexpr WPARAM kTerminate = 1;    // a signal: save and end

  CSessionEndWatcher();
  ~CSessionEndWatcher();
  CSessionEndWatcher(const CSessionEndWatcher&) = delete;
  CSessionEndWatcher& operator=(const CSessionEndWatcher&) = delete;

  // First thing in main, before any thread starts: the signals wait, blocked, until Start takes
  // them, so that one sent during start-up (a logout at login, a quick `kill`) still ends the
  // program through its own exit instead of killing it half started. Every thread started
  // later inherits the block, so the signals reach the UI thread only.
  static void HoldSignalsUntilStart();
  // Ends the hold without a watcher: a start that gives up has nothing to save, and a signal
  // then ends it at once.
  static void ReleaseHeldSignals();
  // Posts (message, kTerminate or kSaveRequest, signal number or 0) to `hwnd`. One watcher per
  // process; false when the signals could not be taken (the program then ends as before).
  // Signals held since start-up arrive now. UI thread.
  bool Start(HWND hwnd, UINT message);
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
