// SPDX-License-Identifier: GPL-3.0-or-later
// What a KB_3 holds and how it answers the reports it is sent: the session, the decoded
// memory of both banks and the macro area, the transfer log and the violation list. Not
// locked: the library's exports lock around it.
#ifndef KB_HID_KEYBOARD_EMULATOR_H
#define KB_HID_KEYBOARD_EMULATOR_H

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "virtual/keyboard_protocol.h"
#include "virtual/line_queue.h"
#include "virtual/transfer_framer.h"
#include "virtual_keyboard.h"

namespace kb::hid {

class KeyboardEmulator {
 public:
  using InputReport = std::array<uint8_t, wire::kOutputReportBytes>;

  KeyboardEmulator();

  void Reset();

  void OnFeatureReport(std::span<const uint8_t, wire::kFeatureReportBytes> report);
  void OnOutputReport(std::span<const uint8_t, wire::kOutputReportBytes> report);
  // A report the library refused before it reached the keyboard; `why` becomes a violation
  // when it is a framing problem (a bad length), nothing otherwise.
  void OnRefused(const char* violation);

  // The keyboard's own events. Each queues the input report it would send.
  void SwitchBank(int bank);
  void SwitchLightMode(int mode);
  void Unplug();

  void FillState(vkb_state& out, bool plugged) const;
  std::span<const uint8_t> macro_area() const { return macro_area_; }
  const std::array<uint8_t, wire::kFeatureReportBytes>& last_feature() const {
    return last_feature_;
  }
  bool TakeInputReport(InputReport& report);
  void QueueInputReport(uint16_t code, uint16_t value);

  LineQueue& log() { return log_; }
  LineQueue& violations() { return violations_; }

 private:
  void AddViolations(std::vector<std::string>& lines);
  void Apply(const Transfer& transfer, std::vector<std::string>& violations);

  TransferFramer framer_;
  bool unlocked_ = false;
  int active_bank_ = 0;
  int last_end_index_ = -1;
  vkb_bank_lighting lighting_[VKB_BANKS]{};
  std::array<std::array<uint8_t, wire::kColorHalfBytes>, VKB_BANKS> colors_{};
  std::array<std::array<uint8_t, wire::kKeyMapBankBytes>, VKB_BANKS> key_map_{};
  std::array<uint8_t, VKB_MACRO_AREA_BYTES> macro_area_{};
  uint32_t macro_page_mask_ = 0;
  vkb_counters counters_{};
  std::array<uint8_t, wire::kFeatureReportBytes> last_feature_{};
  std::deque<InputReport> input_reports_;
  LineQueue log_;
  LineQueue violations_;
};

}  // namespace kb::hid

#endif
