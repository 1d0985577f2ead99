// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/transfer_log.h"

namespace kb {

std::string TransferLogLine(const LoggedReport& report) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = report.feature ? "F " : "O ";
  for (const std::uint8_t byte : report.bytes) {
    line.push_back(kHex[byte >> 4]);
    line.push_back(kHex[byte & 0x0F]);
  }
  return line;
}

Status TransferLog::SetFeature(std::span<const std::uint8_t, kFeatureReportSize> report) {
  reports_.push_back({true, {report.begin(), report.end()}});
  return Status::Ok();
}

Status TransferLog::WriteOutput(std::span<const std::uint8_t, kOutputReportSize> report) {
  reports_.push_back({false, {report.begin(), report.end()}});
  return Status::Ok();
}

std::string TransferLog::Text() const {
  std::string text;
  for (const LoggedReport& report : reports_) {
    text += TransferLogLine(report);
    text.push_back('\n');
  }
  return text;
}

}  // namespace kb
