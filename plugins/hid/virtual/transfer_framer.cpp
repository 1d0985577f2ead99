// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/transfer_framer.h"

#include <algorithm>
#include <cstdio>

namespace kb::hid {
namespace {

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0, unsigned d = 0) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

}  // namespace

std::optional<CommandRule> RuleOf(uint8_t command) {
  switch (command) {
    case wire::kCommandBegin:
      return CommandRule{wire::kShortPayload, 0, 0, 0};
    case wire::kCommandEnd:
      return CommandRule{wire::kShortPayload, 0, 0, wire::kEndIndexResume};
    case wire::kCommandLighting:
      return CommandRule{wire::kPagePayload, 0, 0, 0};
    case wire::kCommandKeyMap:
      return CommandRule{wire::kPagePayload, 0, wire::kKeyMapPages - 1, wire::kKeyMapPages - 1};
    case wire::kCommandColor:
      return CommandRule{wire::kPagePayload, 0, wire::kColorPieces - 1, wire::kColorPieces - 1};
    case wire::kCommandMacro:
      return CommandRule{wire::kPagePayload, 0, wire::kMacroPages - 1, wire::kMacroPages - 1};
    default:
      return std::nullopt;
  }
}

void TransferFramer::OnHeader(std::span<const uint8_t, wire::kFeatureReportBytes> header,
                              bool unlocked, std::vector<std::string>& violations) {
  if (pending_) {
    const Transfer& t = pending_->transfer;
    violations.push_back(Format(
        "header 0x%02X index %u announced %u bytes but only %u arrived before the next header",
        t.command, t.index, static_cast<unsigned>(t.length),
        static_cast<unsigned>(pending_->received)));
    pending_.reset();
  }
  uint8_t command = header[wire::kHeaderCommand];
  uint8_t index = header[wire::kHeaderIndex];
  size_t length = header[wire::kHeaderLengthLow] | (size_t{header[wire::kHeaderLengthHigh]} << 8);
  bool sound = true;

  for (size_t i = wire::kHeaderZeroFirst; i <= wire::kHeaderZeroLast; ++i) {
    if (header[i] != 0) {
      violations.push_back(Format("header 0x%02X byte %u is 0x%02X, not zero", command,
                                  static_cast<unsigned>(i), header[i]));
      sound = false;
    }
  }
  if (length != wire::kShortPayload && length != wire::kPagePayload) {
    // Without a usable length the data that follows cannot be framed: each of its output
    // reports will show up as one without a header.
    violations.push_back(Format("header 0x%02X announces %u bytes, neither 8 nor 512", command,
                                static_cast<unsigned>(length)));
    return;
  }
  std::optional<CommandRule> rule = RuleOf(command);
  if (!rule) {
    violations.push_back(Format("unknown command 0x%02X (index %u)", command, index));
    sound = false;
  } else {
    if (length != rule->length) {
      violations.push_back(Format("command 0x%02X announces %u bytes, it carries %u", command,
                                  static_cast<unsigned>(length),
                                  static_cast<unsigned>(rule->length)));
      sound = false;
    }
    bool index_ok =
        (index >= rule->first_index && index <= rule->last_index) || index == rule->extra_index;
    if (!index_ok) {
      violations.push_back(command == wire::kCommandEnd
                               ? Format("end command index 0x%02X is neither 0 nor 0x66", index)
                               : Format("command 0x%02X index %u out of range %u..%u", command,
                                        index, rule->first_index, rule->last_index));
      sound = false;
    }
    if (command != wire::kCommandBegin && !unlocked) {
      violations.push_back(
          command == wire::kCommandEnd
              ? Format("end command (index 0x%02X) without a begin", index)
              : Format("command 0x%02X index %u before a begin with the correct unlock code",
                       command, index));
      sound = false;
    }
  }
  Pending pending;
  pending.transfer.command = command;
  pending.transfer.index = index;
  pending.transfer.length = length;
  pending.sound = sound;
  pending_ = pending;
}

std::optional<Transfer> TransferFramer::OnOutput(
    std::span<const uint8_t, wire::kOutputReportBytes> report,
    std::vector<std::string>& violations) {
  if (!pending_) {
    violations.push_back("output report with no header announcing it");
    return std::nullopt;
  }
  Pending& p = *pending_;
  if (p.transfer.length == wire::kShortPayload) {
    std::copy_n(report.begin(), wire::kShortPayload, p.transfer.payload.begin());
    bool padded = std::all_of(report.begin() + wire::kShortPayload, report.end(),
                              [](uint8_t b) { return b == 0; });
    if (!padded) {
      violations.push_back(
          Format("command 0x%02X: the output report after its 8 data bytes is not zero",
                 p.transfer.command));
      p.sound = false;
    }
    p.received = wire::kShortPayload;
  } else {
    std::copy(report.begin(), report.end(), p.transfer.payload.begin() + p.received);
    p.received += wire::kOutputReportBytes;
  }
  if (p.received < p.transfer.length) return std::nullopt;
  Pending done = p;
  pending_.reset();
  if (!done.sound) return std::nullopt;
  return done.transfer;
}

}  // namespace kb::hid
