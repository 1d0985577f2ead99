// SPDX-License-Identifier: GPL-3.0-or-later
// Edits, profile selections and macro list changes on the test thread (standing for the UI
// thread) interleaved with applies on the worker, run under ThreadSanitizer by test.sh. The
// pacing sleeper only yields, so the threads interleave densely without waiting.

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "device/device_test_profiles.h"
#include "keys/key_code.h"
#include "session/device_worker.h"
#include "session/link_fixture.h"

namespace kb {
namespace {

using test::Action;
using test::BindMacro;

class YieldingSleeper final : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds) override { std::this_thread::yield(); }
};

class DeviceStressTest : public test::LinkFixture {
 protected:
  std::filesystem::path StoreBase() override { return testing::MemoryBackedBase(); }
};

TEST_F(DeviceStressTest, EditsSelectionsAndMacroChangesInterleavedWithApplies) {
  YieldingSleeper fast;
  DeviceLink stress_link(*data, binding, observer, fast);
  DeviceWorker worker(stress_link, 1906);
  {
    auto edit = data->Lock();
    NewDefaultProfile(u"Second", Model::KB_3, edit.profiles());
    NewDefaultProfile(u"Third", Model::KB_3, edit.profiles());
  }
  std::mt19937 random(1234);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  // Edit until the worker has served enough applies that edits fell inside many of them.
  constexpr std::size_t kApplies = 150;
  constexpr int kMaxRounds = 200000;
  int posted = 0;
  int round = 0;
  for (; round < kMaxRounds && observer.outcome_count() < kApplies; ++round) {
    switch (pick(8)) {
      case 0: {
        auto edit = data->Lock();
        ActiveBank(*edit.current()).light_speed[pick(18)] = pick(5);
        break;
      }
      case 1: {
        auto edit = data->Lock();
        edit.current()->banks[pick(2)].custom_colors[0][pick(kKeyCount)] = pick(0xFFFFFF);
        break;
      }
      case 2: {
        auto edit = data->Lock();
        WriteKeyCode(edit.current()->banks[pick(2)].keys[pick(kKeyCount)].code,
                     KeyboardCode(static_cast<std::uint8_t>(4 + pick(40))));
        break;
      }
      case 3: {
        auto edit = data->Lock();
        edit.SelectProfile(pick(static_cast<int>(edit.profiles().size())));
        break;
      }
      case 4: {
        auto edit = data->Lock();
        if (edit.macros().size() < 6) {
          auto macro = test::EmptyMacro(u"m");
          for (int i = 0, n = 1 + pick(40); i < n; ++i)
            test::AddAction(*macro, Action(0x04, static_cast<std::uint8_t>(1 + pick(2)),
                                           static_cast<std::uint16_t>(2 * pick(3000))));
          edit.macros().push_back(std::move(macro));
        } else {
          edit.macros().erase(edit.macros().begin() + pick(static_cast<int>(edit.macros().size())));
        }
        break;
      }
      case 5: {
        auto edit = data->Lock();
        if (!edit.macros().empty()) {
          BindMacro(edit.current()->banks[pick(2)].keys[pick(kKeyCount)],
                    pick(static_cast<int>(edit.macros().size()) + 1));
          edit.macros()[0]->actions[0].delay = static_cast<std::uint16_t>(pick(500));
        }
        break;
      }
      case 6:
        if (pick(4) == 0) {
          ASSERT_TRUE(data->SaveMacroStore().ok());
        } else {
          ASSERT_TRUE(keyboard.SwitchBank(pick(2)));
        }
        break;
      default:
        // Keep a few requests queued, not thousands.
        if (posted - static_cast<int>(observer.outcome_count()) < 3) {
          ASSERT_TRUE(worker.Post(kApplyRequest));
          ++posted;
        }
        break;
    }
    while (const auto m = inbox.TryTake()) {
      ASSERT_TRUE(
          stress_link
              .OnDeviceNotification(DeviceNotificationValue(m->message, m->wparam, m->lparam))
              .ok());
    }
  }
  worker.WaitUntilIdle();
  RecordProperty("edit_rounds", round);
  RecordProperty("applies", posted);
  // Whatever happened, one more apply leaves the keyboard holding the current profile's keys.
  data->Lock().RequestFullApply();
  ASSERT_TRUE(worker.Post(kApplyRequest));
  worker.WaitUntilIdle();
  const auto outcomes = observer.outcomes();
  ASSERT_EQ(outcomes.size(), static_cast<std::size_t>(posted + 1));
  for (const auto& o : outcomes) EXPECT_TRUE(o.reached()) << o.transfer.status.reason();
  const auto current = data->CopyOfCurrent();
  const auto state = keyboard.State();
  for (int b = 0; b < 2; ++b) {
    for (int k = 0; k < kKeyCount; ++k) {
      const KeyEntry& e = current->banks[b].keys[k];
      if (e.kind == KindByte(AssignmentKind::MacroBinding)) continue;
      ASSERT_EQ(state->banks[b].key_words[k], ReadKeyCode(e.code)) << b << "/" << k;
    }
  }
  EXPECT_TRUE(keyboard.TakeViolations().empty());
  EXPECT_EQ(std::memcmp(data->CopyOfLastApplied().get(), current.get(), sizeof(ProfileRecord)), 0);
}

}  // namespace
}  // namespace kb
