// SPDX-License-Identifier: GPL-3.0-or-later
// The exports are called from several threads at once, as the program's worker, its UI thread
// and the library's own delivery thread do; the counts come out whole and nothing races.
#include <gtest/gtest.h>

#include <thread>

#include "plugins/hid/virtual_keyboard_fixture.h"

namespace kb::test {
namespace {

TEST_F(VirtualKeyboardTest, ConcurrentTransfersSwitchesAndReadsStayConsistent) {
  constexpr int kSenders = 3;
  constexpr int kRounds = 200;
  constexpr int kSwitches = 100;
  std::vector<std::thread> threads;
  for (int t = 0; t < kSenders; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < kRounds; ++i) {
        Feature(MakeHeader(kBegin, 0, 8));
        Output(UnlockReport());
      }
    });
  }
  threads.emplace_back([] {
    for (int i = 0; i < kSwitches; ++i) vkb().switch_bank(i % 2);
  });
  threads.emplace_back([] {
    auto state = std::make_unique<vkb_state>();
    char buffer[4096];
    for (int i = 0; i < kRounds; ++i) {
      vkb().read_state(state.get());
      vkb().take_log(buffer, sizeof buffer);
      vkb().take_violations(buffer, sizeof buffer);
    }
  });
  for (std::thread& t : threads) t.join();

  ASSERT_TRUE(recorder().WaitForCount(kSwitches));
  EXPECT_EQ(recorder().messages().size(), static_cast<size_t>(kSwitches));
  auto state = State();
  EXPECT_EQ(state->counters.feature_reports, static_cast<uint32_t>(kSenders * kRounds));
  EXPECT_EQ(state->counters.output_reports, static_cast<uint32_t>(kSenders * kRounds));
  EXPECT_EQ(state->active_bank, (kSwitches - 1) % 2);
}

TEST_F(VirtualKeyboardTest, ResetWhilePostsAreQueuedDropsThem) {
  for (int i = 0; i < 50; ++i) ASSERT_EQ(vkb().switch_bank(i % 2), 1);
  ASSERT_EQ(vkb().reset(), 1);
  size_t after_reset = recorder().messages().size();
  // Nothing queued before the reset may arrive after it: reselect, cause one post, and it is
  // the only one that comes.
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
  kb_message_target target = recorder().target();
  ASSERT_EQ(hid().open_monitor(&target, kDataMessage, kChangeMessage), 1);
  ASSERT_TRUE(recorder().WaitForCount(after_reset + 1));
  std::vector<PostedMessage> got = recorder().messages();
  ASSERT_EQ(got.size(), after_reset + 1);
  EXPECT_EQ(got.back(), (PostedMessage{kDataMessage, 0, VKB_FIRMWARE_VERSION}));
}

}  // namespace
}  // namespace kb::test
