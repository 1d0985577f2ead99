// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a report sequence back into transfers, checking the framing on the way: each header
// announces 8 or 512 bytes and is followed by exactly the output reports that carry them.
// Written from the wire layout, not from the encoder, so that it checks the encoder.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/transfer_log.h"

namespace kb::test {

struct Transfer {
  std::uint8_t command = 0;
  std::uint8_t index = 0;
  std::size_t length = 0;
  std::vector<std::uint8_t> header;   // the 8 header bytes
  std::vector<std::uint8_t> data;     // `length` bytes
  std::vector<std::uint8_t> padding;  // output bytes past `length` in the last chunk
};

struct ParsedTransfers {
  std::vector<Transfer> transfers;
  std::string error;  // empty when the framing held
};

inline ParsedTransfers ParseTransfers(const std::vector<LoggedReport>& reports) {
  constexpr std::size_t kHeaderSize = 8, kChunkSize = 64;
  ParsedTransfers out;
  std::size_t i = 0;
  while (i < reports.size()) {
    const LoggedReport& head = reports[i];
    if (!head.feature || head.bytes.size() != kHeaderSize) {
      out.error = "report " + std::to_string(i) + " is not a transfer header";
      return out;
    }
    Transfer t;
    t.header = head.bytes;
    t.command = head.bytes[0];
    t.index = head.bytes[1];
    t.length =
        static_cast<std::size_t>(head.bytes[6]) | (static_cast<std::size_t>(head.bytes[7]) << 8);
    for (std::size_t z = 2; z <= 5; ++z) {
      if (head.bytes[z] != 0)
        out.error = "header " + std::to_string(i) + " byte " + std::to_string(z) + " not zero";
    }
    if (t.length != 8 && t.length != 512) {
      out.error = "header " + std::to_string(i) + " announces " + std::to_string(t.length);
      return out;
    }
    const std::size_t chunks = (t.length + kChunkSize - 1) / kChunkSize;
    ++i;
    for (std::size_t c = 0; c < chunks; ++c, ++i) {
      if (i >= reports.size() || reports[i].feature || reports[i].bytes.size() != kChunkSize) {
        out.error = "transfer at report " + std::to_string(i) + " lacks its output reports";
        return out;
      }
      for (std::size_t b = 0; b < kChunkSize; ++b) {
        if (t.data.size() < t.length) {
          t.data.push_back(reports[i].bytes[b]);
        } else {
          t.padding.push_back(reports[i].bytes[b]);
        }
      }
    }
    out.transfers.push_back(std::move(t));
  }
  return out;
}

// The commands of a transfer sequence, for compact expectations.
inline std::vector<std::uint8_t> Commands(const ParsedTransfers& parsed) {
  std::vector<std::uint8_t> commands;
  for (const Transfer& t : parsed.transfers) commands.push_back(t.command);
  return commands;
}

// The virtual keyboard's log lines ("F <hex>", "O <hex>") as reports.
inline std::vector<LoggedReport> ReportsFromLog(const std::vector<std::string>& lines) {
  std::vector<LoggedReport> reports;
  for (const std::string& line : lines) {
    LoggedReport r;
    r.feature = line.rfind("F ", 0) == 0;
    for (std::size_t i = 2; i + 1 < line.size(); i += 2) {
      r.bytes.push_back(static_cast<std::uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
    }
    reports.push_back(std::move(r));
  }
  return reports;
}

inline ParsedTransfers ParseLog(const std::vector<std::string>& lines) {
  return ParseTransfers(ReportsFromLog(lines));
}

}  // namespace kb::test
