// SPDX-License-Identifier: GPL-3.0-or-later
// Pairs the keyboard's feature reports (transfer headers) with the output reports that carry
// their data, and checks the framing of each transfer: announced length, the number of output
// reports, known commands and indexes, and that uploads come inside an unlocked session.
#ifndef KB_HID_TRANSFER_FRAMER_H
#define KB_HID_TRANSFER_FRAMER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "virtual/keyboard_protocol.h"

namespace kb::hid {

struct Transfer {
  uint8_t command = 0;
  uint8_t index = 0;
  size_t length = 0;  // 8 or 512 bytes of payload
  std::array<uint8_t, wire::kPagePayload> payload{};
};

class TransferFramer {
 public:
  // A header. `unlocked` tells whether a session is open. Problems go to `violations`.
  void OnHeader(std::span<const uint8_t, wire::kFeatureReportBytes> header, bool unlocked,
                std::vector<std::string>& violations);
  // An output report. Returns the transfer it completes, when that transfer is sound.
  std::optional<Transfer> OnOutput(std::span<const uint8_t, wire::kOutputReportBytes> report,
                                   std::vector<std::string>& violations);
  // Forgets a transfer in progress (the cable was pulled, or the keyboard reset).
  void Drop() { pending_.reset(); }

 private:
  struct Pending {
    Transfer transfer;
    size_t received = 0;
    bool sound = true;  // false: framed so its data can be skipped, but not decoded
  };
  std::optional<Pending> pending_;
};

// The indexes a command accepts, and its payload length; nullopt for an unknown command.
struct CommandRule {
  size_t length;
  unsigned first_index;
  unsigned last_index;
  unsigned extra_index;  // a second single accepted index (end's resume index), else last_index
};
std::optional<CommandRule> RuleOf(uint8_t command);

}  // namespace kb::hid

#endif
