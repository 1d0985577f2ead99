// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/device_worker.h"

#include <gtest/gtest.h>

#include "device/transfer_parser.h"
#include "session/link_fixture.h"

namespace kb {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kWorkerMessage = 1906;

class DeviceWorkerTest : public test::LinkFixture {};

TEST_F(DeviceWorkerTest, ThreeAppliesPostedAtOnceRunInOrder) {
  DeviceWorker worker(*link, kWorkerMessage);
  ASSERT_TRUE(worker.Post(kApplyRequest));
  ASSERT_TRUE(worker.Post(kApplyRequest));
  ASSERT_TRUE(worker.Post(kApplyRequest));
  worker.WaitUntilIdle();
  const auto outcomes = observer.outcomes();
  ASSERT_EQ(outcomes.size(), 3u);
  EXPECT_EQ(outcomes[0].transfer.reports, 123u);
  EXPECT_EQ(outcomes[1].transfer.reports, 6u);
  EXPECT_EQ(outcomes[2].transfer.reports, 6u);
  for (const auto& o : outcomes) EXPECT_TRUE(o.reached());
  const auto log = TakeLog();
  ASSERT_EQ(log.size(), 123u + 6u + 6u);
  const auto second = test::ParseLog({log.begin() + 123, log.begin() + 129});
  const auto third = test::ParseLog({log.begin() + 129, log.end()});
  EXPECT_EQ(test::Commands(second), (Bytes{0x0E, 0x0E, 0x08}));
  EXPECT_EQ(test::Commands(third), (Bytes{0x0E, 0x0E, 0x08}));
}

TEST_F(DeviceWorkerTest, WparamOneRunsTheResumeHandshakeOthersApply) {
  DeviceWorker worker(*link, kWorkerMessage);
  ASSERT_TRUE(worker.Post(kResumeRequest));
  ASSERT_TRUE(worker.Post(7));
  worker.WaitUntilIdle();
  const auto parsed = test::ParseLog(TakeLog());
  ASSERT_GE(parsed.transfers.size(), 2u);
  EXPECT_EQ(parsed.transfers[1].command, 0x08);
  EXPECT_EQ(parsed.transfers[1].index, 0x66);
  EXPECT_EQ(observer.outcomes().size(), 1u) << "wparam 7 is an apply";
}

TEST_F(DeviceWorkerTest, OtherMessagesAreIgnored) {
  DeviceWorker worker(*link, kWorkerMessage);
  ASSERT_TRUE(worker.queue().Post({1907, 0, 0}));
  ASSERT_TRUE(worker.queue().Post({1, 0, 0}));
  worker.WaitUntilIdle();
  EXPECT_TRUE(observer.outcomes().empty());
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(DeviceWorkerTest, StopServesWhatWasPostedThenRefusesMore) {
  auto worker = std::make_unique<DeviceWorker>(*link, kWorkerMessage);
  ASSERT_TRUE(worker->Post(kApplyRequest));
  ASSERT_TRUE(worker->Post(kApplyRequest));
  worker->Stop();
  EXPECT_EQ(observer.outcomes().size(), 2u);
  EXPECT_FALSE(worker->Post(kApplyRequest));
  worker.reset();
  EXPECT_EQ(observer.outcomes().size(), 2u);
}

TEST_F(DeviceWorkerTest, PostingNeverWaitsForAnApplyInProgress) {
  DeviceWorker worker(*link, kWorkerMessage);
  std::mutex gate;
  std::condition_variable opened;
  bool inside = false, release = false;
  // The first pause of the apply holds the worker until the test lets it go.
  sleeper.OnSleep([&](std::size_t n) {
    if (n != 1) return;
    std::unique_lock lock(gate);
    inside = true;
    opened.notify_all();
    opened.wait(lock, [&] { return release; });
  });
  ASSERT_TRUE(worker.Post(kApplyRequest));
  {
    std::unique_lock lock(gate);
    opened.wait(lock, [&] { return inside; });
  }
  // Mid-apply: the UI side can post, edit and select without the worker letting go.
  EXPECT_TRUE(worker.Post(kApplyRequest));
  {
    auto edit = data->Lock();
    ActiveBank(*edit.current()).light_speed[1] = 0;
  }
  {
    std::lock_guard lock(gate);
    release = true;
  }
  opened.notify_all();
  worker.WaitUntilIdle();
  sleeper.OnSleep(nullptr);
  const auto outcomes = observer.outcomes();
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[1].transfer.changed, (ChangedFlags{true, false, false}));
}

}  // namespace
}  // namespace kb
