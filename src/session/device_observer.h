// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the device link asks of the page that shows it. The device page controller implements
// this; the link calls it where the keyboard's traffic touches controls or the main window.

#include <cstddef>
#include <string>

#include "session/apply_outcome.h"

namespace kb {

class DeviceObserver {
 public:
  virtual ~DeviceObserver() = default;

  // Worker thread. Show or hide the control "apply_ring" if the page has one. Must not wait
  // for the UI thread: post the change to it.
  virtual void ShowApplyRing(bool visible) = 0;
  // Worker thread. True when the control "check_device_kb_3" does not exist, or is selected and
  // visible. Must answer without waiting for the UI thread (keep the answer where both reach it).
  virtual bool ResumeAllowed() = 0;
  // Worker thread, before the first report of an apply: how many reports it will send, for a
  // progress display. Must not wait for the UI thread.
  virtual void ApplyStarting(std::size_t /*total_reports*/) {}
  // Worker thread, after every apply request, whatever it did.
  virtual void ApplyFinished(const ApplyOutcome& outcome) = 0;

  // UI thread. The keyboard was opened or closed: post kDeviceStateChangedMessage to the main
  // window.
  virtual void DeviceStateChanged() = 0;
  // UI thread. The firmware version for the label "kb_3_version", formatted "%x.%02x".
  virtual void ShowFirmwareVersion(const std::string& text) = 0;
  // UI thread. The keyboard switched to light mode `mode` (0..19) of the active bank: select it
  // in the lighting page's mode combo and run RefreshForMode for it.
  virtual void ShowLightMode(int mode) = 0;
};

}  // namespace kb
