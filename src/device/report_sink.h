// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the transfer framing delivers its reports: the HID library binding for a keyboard, a
// transfer log for a dry run.

#include <cstdint>
#include <span>

#include "common/status.h"
#include "device/device_protocol.h"

namespace kb {

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // One 8-byte feature report (a transfer header).
  [[nodiscard]] virtual Status SetFeature(
      std::span<const std::uint8_t, kFeatureReportSize> report) = 0;
  // One 64-byte output report (a data chunk).
  [[nodiscard]] virtual Status WriteOutput(
      std::span<const std::uint8_t, kOutputReportSize> report) = 0;
};

}  // namespace kb
