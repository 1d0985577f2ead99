// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/transfer_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "device/transfer_log.h"
#include "device/unlock_code.h"
#include "kb_device_ids.h"
#include "session/recording_sleeper.h"

namespace kb {
namespace {

using test::RecordingSleeper;

// Delivers to a transfer log until call `fail_at` (1-based), which it refuses.
class RefusingSink final : public ReportSink {
 public:
  explicit RefusingSink(std::size_t fail_at) : fail_at_(fail_at) {}
  Status SetFeature(std::span<const std::uint8_t, kFeatureReportSize> r) override {
    return ++calls_ == fail_at_ ? Status::Fail("refused") : log.SetFeature(r);
  }
  Status WriteOutput(std::span<const std::uint8_t, kOutputReportSize> r) override {
    return ++calls_ == fail_at_ ? Status::Fail("refused") : log.WriteOutput(r);
  }
  TransferLog log;
  std::size_t calls() const { return calls_; }

 private:
  std::size_t fail_at_;
  std::size_t calls_ = 0;
};

TEST(TransferHeader, CommandIndexAndLittleEndianLength) {
  const FeatureReport h = MakeTransferHeader(DeviceCommand::Macros, 19, 512);
  EXPECT_EQ(h, (FeatureReport{0x04, 19, 0, 0, 0, 0, 0x00, 0x02}));
  EXPECT_EQ(MakeTransferHeader(DeviceCommand::Begin, 0, 8),
            (FeatureReport{0x0E, 0, 0, 0, 0, 0, 0x08, 0x00}));
}

TEST(TransferWriter, EightBytesTravelInOneZeroPaddedOutputReport) {
  TransferLog log;
  RecordingSleeper sleeper;
  TransferWriter writer(log, sleeper);
  const std::array<std::uint8_t, 8> data{1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(writer.Send(DeviceCommand::Begin, 0, data).ok());
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log.reports()[0].feature);
  EXPECT_FALSE(log.reports()[1].feature);
  std::vector<std::uint8_t> expected(kOutputReportSize, 0);
  std::copy(data.begin(), data.end(), expected.begin());
  EXPECT_EQ(log.reports()[1].bytes, expected);
  EXPECT_EQ(sleeper.sleeps(),
            std::vector<std::chrono::milliseconds>(2, std::chrono::milliseconds(20)));
}

TEST(TransferWriter, A512ByteBlockTravelsAsEightConsecutiveChunks) {
  TransferLog log;
  RecordingSleeper sleeper;
  TransferWriter writer(log, sleeper);
  std::vector<std::uint8_t> block(512);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 3);
  ASSERT_TRUE(writer.Send(DeviceCommand::Lighting, 0, block).ok());
  ASSERT_EQ(log.size(), 9u);
  for (std::size_t c = 0; c < 8; ++c) {
    const auto& chunk = log.reports()[1 + c].bytes;
    EXPECT_TRUE(
        std::equal(chunk.begin(), chunk.end(), block.begin() + static_cast<std::ptrdiff_t>(64 * c)))
        << "chunk " << c;
  }
  EXPECT_EQ(sleeper.count(), 9u);
  EXPECT_EQ(writer.reports_sent(), 9u);
}

TEST(TransferWriter, RefusesLengthsTheKeyboardDoesNotTake) {
  TransferLog log;
  RecordingSleeper sleeper;
  TransferWriter writer(log, sleeper);
  const std::vector<std::uint8_t> odd(100);
  EXPECT_FALSE(writer.Send(DeviceCommand::Lighting, 0, odd).ok());
  EXPECT_EQ(log.size(), 0u);
  EXPECT_EQ(sleeper.count(), 0u);
}

TEST(TransferWriter, StopsAtTheFirstFailedCallAndKeepsItsReason) {
  RefusingSink sink(4);
  RecordingSleeper sleeper;
  TransferWriter writer(sink, sleeper);
  const std::vector<std::uint8_t> block(512);
  const Status first = writer.Send(DeviceCommand::Colors, 0, block);
  EXPECT_FALSE(first.ok());
  EXPECT_NE(first.reason().find("output report 4"), std::string::npos) << first.reason();
  EXPECT_NE(first.reason().find("refused"), std::string::npos);
  EXPECT_EQ(sink.calls(), 4u);
  EXPECT_EQ(sleeper.count(), 4u) << "the pause follows the failed call too";
  EXPECT_FALSE(writer.Send(DeviceCommand::Begin, 0, MakeUnlockCode()).ok());
  EXPECT_EQ(sink.calls(), 4u) << "nothing is sent after a failure";
  EXPECT_EQ(writer.reports_sent(), 4u);
}

TEST(UnlockCode, IsEightAsciiDigitsFromTheTwoHalves) {
  const UnlockCode code = MakeUnlockCode();
  const std::string text(code.begin(), code.end());
  EXPECT_EQ(text, std::string(KB_UNLOCK_CODE_HIGH) + KB_UNLOCK_CODE_LOW);
  for (char c : text) EXPECT_TRUE(c >= '0' && c <= '9');
}

TEST(TransferLogLine, UpperCaseHexWithKindPrefix) {
  EXPECT_EQ(TransferLogLine({true, {0x0E, 0, 0, 0, 0, 0, 0x08, 0}}), "F 0E00000000000800");
  LoggedReport out{false, std::vector<std::uint8_t>(64, 0)};
  out.bytes[0] = 0xAB;
  EXPECT_EQ(TransferLogLine(out), "O AB" + std::string(126, '0'));
}

}  // namespace
}  // namespace kb
