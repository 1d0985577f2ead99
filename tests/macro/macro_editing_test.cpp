// SPDX-License-Identifier: GPL-3.0-or-later
// The macro page's rules without the page: the working state's commands and the recorder.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "macro/macro_recorder.h"
#include "macro/macro_working_state.h"
#include "macro/test_files.h"

namespace kb {
namespace {

using namespace std::chrono_literals;
using Clock = MacroRecorder::Clock;
constexpr std::uint32_t kVkA = 0x41;
constexpr std::uint8_t kUsageA = 0x04;

MacroWorkingState StateWith(int count) {
  auto macro = testing::MakeMacro(u"m", count);
  MacroWorkingState state;
  state.Load(macro.get());
  return state;
}

TEST(MacroFields, NumbersAreReadAndCorrectedAsTheFieldsLoseFocus) {
  EXPECT_EQ(FilterNumberText(u"12a-3"), u"12-3");
  EXPECT_EQ(ReadLeadingInteger("12-3"), 12);
  EXPECT_EQ(ReadLeadingInteger("abc"), 0);
  EXPECT_EQ(ReadLeadingInteger("-"), 0);
  EXPECT_EQ(ReadLeadingInteger("99999999999999999999"), 65536);
  EXPECT_EQ(ClampDelayOrLoops(ReadLeadingInteger("0")), 1);
  EXPECT_EQ(ClampDelayOrLoops(ReadLeadingInteger("70000")), 65535);
  EXPECT_EQ(ClampMoveDistance(ReadLeadingInteger("200")), 127);
  EXPECT_EQ(ClampMoveDistance(ReadLeadingInteger("-300")), -127);
}

TEST(MacroWorkingState, ActionCommands) {
  MacroWorkingState state = StateWith(6);
  EXPECT_EQ(state.selected(), 5) << "a loaded macro selects its last action";
  EXPECT_FALSE(state.MoveUp(0));
  EXPECT_FALSE(state.MoveDown(5));
  const std::uint8_t second = state.action(1).action_code;
  ASSERT_TRUE(state.MoveUp(1));
  EXPECT_EQ(state.action(0).action_code, second);
  EXPECT_EQ(state.selected(), 0);

  state.Select(4);
  ASSERT_TRUE(state.InsertMouseMove(200, -5));
  EXPECT_EQ(state.count(), 7);
  EXPECT_EQ(state.selected(), 5) << "inserted after action 4, and selected";
  EXPECT_EQ(state.action(5).action_code, kMouseMoveCode);
  EXPECT_EQ(state.action(5).x, 127);
  EXPECT_EQ(state.action(5).y, -5);
  EXPECT_FALSE(state.insert_mode());

  state.Select(-1);
  ASSERT_TRUE(state.InsertMouseMove(1, 1));
  EXPECT_EQ(state.selected(), 7) << "with nothing selected the move is appended";

  ASSERT_TRUE(state.Delete(7));
  EXPECT_EQ(state.selected(), 6) << "deleting the last selects the new last";
  ASSERT_TRUE(state.Delete(2));
  EXPECT_EQ(state.selected(), 2);
  ASSERT_TRUE(state.SetMouseButton(3));
  EXPECT_EQ(state.action(2).action_code, 0xF3);
  state.ClearAll();
  EXPECT_EQ(state.count(), 0);
  EXPECT_EQ(state.selected(), -1);
  EXPECT_FALSE(state.SetMouseButton(0));

  MacroRecord out{};
  state.set_loop_time(0);
  state.CommitTo(out);
  EXPECT_EQ(out.action_count, 0);
  EXPECT_EQ(out.loop_time, 1);
}

TEST(MacroWorkingState, AMouseMoveIsRefusedFrom2996Actions) {
  MacroWorkingState state = StateWith(kMaxMouseMoveInsertCount);
  EXPECT_FALSE(state.InsertMouseMove(1, 1));
  EXPECT_EQ(state.count(), kMaxMouseMoveInsertCount);
  MacroWorkingState almost = StateWith(kMaxMouseMoveInsertCount - 1);
  EXPECT_TRUE(almost.InsertMouseMove(1, 1));
}

TEST(HookEvents, TranslateToCodesAndDirections) {
  const struct {
    std::uint32_t wparam;
    std::intptr_t lparam;
    int code;  // -1: dropped
    bool press;
  } rows[] = {
      {0x201, 0, 0xF0, true},    {0x202, 0, 0xF0, false}, {0x204, 0, 0xF1, true},
      {0x205, 0, 0xF1, false},   {0x207, 0, 0xF2, true},  {0x208, 0, 0xF2, false},
      {0x20A, 0, -1, false},     {0x20B, 1, 0xF4, true},  {0x20B, 2, 0xF3, true},
      {0x20C, 1, 0xF4, false},   {0x20C, 2, 0xF3, false}, {kVkA, 0, kUsageA, true},
      {kVkA, 1, kUsageA, false}, {0xFF, 0, 0, true},
  };
  for (const auto& row : rows) {
    const auto t = TranslateHookEvent(row.wparam, row.lparam);
    if (row.code < 0) {
      EXPECT_FALSE(t.has_value()) << row.wparam;
      continue;
    }
    ASSERT_TRUE(t.has_value()) << row.wparam;
    EXPECT_EQ(t->code, row.code) << std::hex << row.wparam;
    EXPECT_EQ(t->press, row.press) << std::hex << row.wparam;
  }
}

class Recording : public ::testing::Test {
 protected:
  MacroRecorder::Outcome Event(std::uint32_t w, std::intptr_t l, Clock::duration after = 0ms) {
    now += after;
    return recorder.OnHookEvent(state, w, l, now);
  }
  MacroWorkingState state;
  MacroRecorder recorder;
  Clock::time_point now = Clock::time_point{} + 1h;
};

TEST_F(Recording, PressAndReleaseOnAnEmptyMacroWithTheDefaultDelay) {
  state.Load(nullptr);
  recorder.Start(state, "10", now);
  EXPECT_EQ(Event(kVkA, 0, 300ms), MacroRecorder::Outcome::Recorded);
  EXPECT_EQ(Event(kVkA, 0, 30ms), MacroRecorder::Outcome::Repeat) << "a held key presses once";
  EXPECT_EQ(Event(0x20A, 0), MacroRecorder::Outcome::Dropped);
  EXPECT_EQ(Event(kVkA, 1, 40ms), MacroRecorder::Outcome::Recorded);
  ASSERT_EQ(state.count(), 2);
  EXPECT_EQ(state.action(0).action_kind, kPressKind);
  EXPECT_EQ(state.action(0).delay, 10);
  EXPECT_EQ(state.action(1).action_kind, kReleaseKind);
  EXPECT_EQ(state.action(1).delay, 1);
  EXPECT_EQ(state.RowToSelectAfterRebuild(), 1);
}

TEST_F(Recording, DelayModesAndADefaultDelayThatReadsAsZero) {
  const struct {
    DelayMode mode;
    const char* default_delay;
    int expected;
  } rows[] = {{DelayMode::OneMillisecond, "10", 1},
              {DelayMode::DefaultDelay, "0", 1},
              {DelayMode::DefaultDelay, "250", 250},
              {DelayMode::Measured, "10", 250}};
  for (const auto& row : rows) {
    state.Load(nullptr);
    recorder.set_delay_mode(row.mode);
    recorder.Start(state, row.default_delay, now);
    Event(kVkA, 0, 5ms);
    Event(kVkA, 1, 249'600us);  // rounds to 250
    EXPECT_EQ(state.action(0).delay, row.expected) << row.default_delay;
    recorder.Stop();
    Event(0x20B, 1);  // an event between recordings, so the next press is new
  }
}

TEST_F(Recording, GoesInAfterTheSelectedActionAndLeavesTheOthersAlone) {
  auto macro = testing::MakeMacro(u"m", 6);
  state.Load(macro.get());
  state.Select(3);
  const MacroAction old_fourth = state.action(4);
  recorder.set_delay_mode(DelayMode::OneMillisecond);
  recorder.Start(state, "10", now);
  Event(kVkA, 0);
  Event(kVkA, 1);
  ASSERT_EQ(state.count(), 8);
  EXPECT_EQ(state.action(4).action_code, kUsageA);
  EXPECT_EQ(state.action(5).action_kind, kReleaseKind);
  EXPECT_EQ(state.action(6).action_code, old_fourth.action_code);
  EXPECT_EQ(state.action(6).delay, old_fourth.delay) << "an existing action keeps its delay";
  EXPECT_EQ(state.RowToSelectAfterRebuild(), 5);
}

TEST_F(Recording, EndsByItselfAt3000AndForgetsNoLastEvent) {
  auto macro = testing::MakeMacro(u"m", kMaxMacroActions - 1);
  state.Load(macro.get());
  state.Select(kMaxMacroActions - 2);
  EXPECT_EQ(recorder.OnHookEvent(state, kVkA, 1, now), MacroRecorder::Outcome::Captured);
  recorder.Start(state, "10", now);
  EXPECT_EQ(Event(kVkA, 1), MacroRecorder::Outcome::Repeat)
      << "the release that ended a key capture is not recorded";
  EXPECT_EQ(Event(kVkA, 0), MacroRecorder::Outcome::Full);
  EXPECT_FALSE(recorder.recording());
  EXPECT_FALSE(MacroRecorder::CanStart(true, state));
}

}  // namespace
}  // namespace kb
