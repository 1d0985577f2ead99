// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/transfer_writer.h"

#include <algorithm>
#include <string>

namespace kb {

FeatureReport MakeTransferHeader(DeviceCommand command, std::uint8_t index, std::uint16_t length) {
  FeatureReport header{};
  header[kHeaderCommand] = static_cast<std::uint8_t>(command);
  header[kHeaderIndex] = index;
  header[kHeaderLengthLow] = static_cast<std::uint8_t>(length & 0xFF);
  header[kHeaderLengthHigh] = static_cast<std::uint8_t>(length >> 8);
  return header;
}

Status TransferWriter::Send(DeviceCommand command, std::uint8_t index,
                            std::span<const std::uint8_t> data) {
  if (!status_) return status_;
  if (data.size() != kShortTransferSize && data.size() != kBlockTransferSize) {
    status_ = Status::Fail("transfer of " + std::to_string(data.size()) +
                           " bytes; the keyboard takes 8 or 512");
    return status_;
  }
  Feature(MakeTransferHeader(command, index, static_cast<std::uint16_t>(data.size())));
  for (std::size_t at = 0; status_ && at < data.size(); at += kOutputReportSize) {
    OutputReport chunk{};
    const std::size_t n = std::min(kOutputReportSize, data.size() - at);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), n, chunk.begin());
    Output(chunk);
  }
  return status_;
}

void TransferWriter::Feature(const FeatureReport& report) {
  if (!status_) return;
  ++reports_sent_;
  Status result = sink_.SetFeature(report);
  sleeper_.Sleep(kReportPause);
  if (!result)
    status_ =
        Status::Fail("feature report " + std::to_string(reports_sent_) + ": " + result.reason());
}

void TransferWriter::Output(const OutputReport& report) {
  if (!status_) return;
  ++reports_sent_;
  Status result = sink_.WriteOutput(report);
  sleeper_.Sleep(kReportPause);
  if (!result)
    status_ =
        Status::Fail("output report " + std::to_string(reports_sent_) + ": " + result.reason());
}

}  // namespace kb
