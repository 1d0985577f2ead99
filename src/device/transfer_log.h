// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A report sink that keeps every report instead of sending it: the dry run of an apply, and
// the reference sequence that tests compare a keyboard's log against.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/report_sink.h"

namespace kb {

struct LoggedReport {
  bool feature = false;             // a feature report (header) rather than an output report
  std::vector<std::uint8_t> bytes;  // 8 or 64 bytes
};

// One line per report, as the virtual keyboard logs them: "F " and 16 upper-case hex digits for
// a feature report, "O " and 128 for an output report.
std::string TransferLogLine(const LoggedReport& report);

// Not thread-safe: one sender at a time.
class TransferLog final : public ReportSink {
 public:
  Status SetFeature(std::span<const std::uint8_t, kFeatureReportSize> report) override;
  Status WriteOutput(std::span<const std::uint8_t, kOutputReportSize> report) override;

  const std::vector<LoggedReport>& reports() const { return reports_; }
  std::size_t size() const { return reports_.size(); }
  void Clear() { reports_.clear(); }
  // Every line, each ending in '\n'.
  std::string Text() const;

 private:
  std::vector<LoggedReport> reports_;
};

}  // namespace kb
