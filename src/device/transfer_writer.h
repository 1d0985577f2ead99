// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Transfer framing: one 8-byte header announcing command, index and length, then the data as
// 64-byte output reports, with the keyboard's pause after every single call.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/status.h"
#include "device/device_protocol.h"
#include "device/report_sink.h"
#include "device/sleeper.h"

namespace kb {

using FeatureReport = std::array<std::uint8_t, kFeatureReportSize>;
using OutputReport = std::array<std::uint8_t, kOutputReportSize>;

FeatureReport MakeTransferHeader(DeviceCommand command, std::uint8_t index, std::uint16_t length);

// Not thread-safe; one writer per transfer, used on the sending thread.
class TransferWriter {
 public:
  TransferWriter(ReportSink& sink, Sleeper& sleeper) : sink_(sink), sleeper_(sleeper) {}

  // Sends one transfer. `data` holds 8 bytes (one output report, zero-padded) or 512 bytes
  // (eight output reports). After the first failed call nothing more is sent: the keyboard's
  // state is unknown from there on, and every later Send returns that first failure.
  Status Send(DeviceCommand command, std::uint8_t index, std::span<const std::uint8_t> data);

  const Status& status() const { return status_; }
  // Calls made so far, headers and chunks alike (including a failed one).
  std::size_t reports_sent() const { return reports_sent_; }

 private:
  void Feature(const FeatureReport& report);
  void Output(const OutputReport& report);

  ReportSink& sink_;
  Sleeper& sleeper_;
  Status status_ = Status::Ok();
  std::size_t reports_sent_ = 0;
};

}  // namespace kb
