// SPDX-License-Identifier: GPL-3.0-or-later
// Recording on the macro page with the real input-hook library on a private Xvfb: a word typed
// and a click made with XTest become the macro's actions, in order, with the gaps between them
// as their delays (mode "as recorded").

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "app/app_fixture.h"
#include "pages/macro/macro_page.h"
#include "plugins/hook/xvfb_environment.h"

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Status

namespace kb::test {
namespace {

[[maybe_unused]] ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new kb::testing::XvfbEnvironment);

using Clock = std::chrono::steady_clock;
// Key events arrive within 2 ms of their gaps; a mouse button's raw event, on a loaded machine,
// has been seen 4.6 ms late, which says nothing of the page's measure.
constexpr double kToleranceMs = 5.0;

class MacroRecordX11Test : public AppFixture {
 protected:
  // Runs the program's event loop for `ms`, so that the hook's posts are delivered as they come.
  void PumpFor(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
      DuiLib::Testing::ProcessEvents();
      std::this_thread::yield();
    }
  }
};

TEST_F(MacroRecordX11Test, ATypedWordAndAClickBecomeActionsWithTheirGaps) {
  ASSERT_NE(kb::testing::XvfbEnvironment::display(), nullptr);
  Start();
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  ExpectNameDialog(u"Typed");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_add_macro"));
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro_delay_3"));
  Display* x = XOpenDisplay(kb::testing::XvfbEnvironment::display()->name().c_str());
  ASSERT_NE(x, nullptr);
  // The pointer away from the record box: a click there would not be recorded.
  XTestFakeMotionEvent(x, 0, 5, 5, CurrentTime);
  XSync(x, False);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_record"));
  auto* page = dynamic_cast<CMacroPage*>(Find(u"kb_3_macro"));
  ASSERT_TRUE(page->recording());
  PumpFor(300);  // the hook's thread starts listening

  struct Step {
    int keysym_or_button;  // a keysym, or 1 for the left button
    bool press;
    int gap_ms;  // until the next step
  };
  // Shift first: the first event wakes the hook's pipeline and may arrive a few ms late (or,
  // while the hook's thread is still connecting, not at all); the gaps are checked from the
  // second recorded action on.
  const Step steps[] = {{XK_Shift_L, true, 40}, {XK_Shift_L, false, 40}, {XK_h, true, 60},
                        {XK_h, false, 90},      {XK_i, true, 45},        {XK_i, false, 120},
                        {1, true, 70},          {1, false, 30}};
  std::vector<double> gaps;
  for (const Step& step : steps) {
    const auto at = Clock::now();
    if (step.keysym_or_button == 1)
      XTestFakeButtonEvent(x, 1, step.press, CurrentTime);
    else
      XTestFakeKeyEvent(x, XKeysymToKeycode(x, step.keysym_or_button), step.press, CurrentTime);
    XSync(x, False);
    PumpFor(step.gap_ms);
    gaps.push_back(std::chrono::duration<double, std::milli>(Clock::now() - at).count());
  }
  PumpFor(100);
  XCloseDisplay(x);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_record"));
  const MacroRecord m = *Data().Lock().macros().at(0);
  ASSERT_TRUE(m.action_count == 6 || m.action_count == 8) << m.action_count;
  const int skipped = 8 - m.action_count;
  const std::uint8_t codes[] = {0xE1, 0xE1, 0x0B, 0x0B, 0x0C, 0x0C, 0xF0, 0xF0};
  for (int i = 0; i < m.action_count; ++i) {
    const int step = i + skipped;
    EXPECT_EQ(m.actions[i].action_code, codes[step]) << i;
    EXPECT_EQ(m.actions[i].action_kind, step % 2 == 0 ? kPressKind : kReleaseKind) << i;
    // The first recorded event may come late; the last action keeps 1 (no event after it).
    if (i == 0 || i == m.action_count - 1) continue;
    EXPECT_LE(std::abs(m.actions[i].delay - gaps[step]), kToleranceMs)
        << "action " << i << ": recorded " << m.actions[i].delay << " ms, gap " << gaps[step];
  }
}

TEST_F(MacroRecordX11Test, TheClickThatStopsARecordingOnTheRecordBoxIsNotRecorded) {
  ASSERT_NE(kb::testing::XvfbEnvironment::display(), nullptr);
  Start();
  wnd->ShowWindow(true);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_macro"));
  ExpectNameDialog(u"Clicked");
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_add_macro"));
  Display* x = XOpenDisplay(kb::testing::XvfbEnvironment::display()->name().c_str());
  ASSERT_NE(x, nullptr);
  XTestFakeMotionEvent(x, 0, 1, 1, CurrentTime);
  XSync(x, False);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_record"));
  auto* page = dynamic_cast<CMacroPage*>(Find(u"kb_3_macro"));
  ASSERT_TRUE(page->recording());
  PumpFor(300);
  // One click away from the box is recorded...
  XTestFakeButtonEvent(x, 1, True, CurrentTime);
  XTestFakeButtonEvent(x, 1, False, CurrentTime);
  XSync(x, False);
  PumpFor(150);
  ASSERT_EQ(page->working().count(), 2);
  // ...the real pointer then enters the box, and its click stops the recording unrecorded.
  // The pointer first rests beside the box (the test's own clicks left the box "hot" without
  // moving the real pointer), then enters it.
  const DuiLib::RECT frame = wnd->GetWindowRect();
  for (const char16_t* over : {u"label_kb_3_actions", u"btn_kb_3_record"}) {
    const DuiLib::RECT at = Find(over)->GetPos();
    XTestFakeMotionEvent(x, 0, frame.left + (at.left + at.right) / 2,
                         frame.top + (at.top + at.bottom) / 2, CurrentTime);
    XSync(x, False);
    PumpFor(150);
  }
  XTestFakeButtonEvent(x, 1, True, CurrentTime);
  XTestFakeButtonEvent(x, 1, False, CurrentTime);
  XSync(x, False);
  PumpFor(300);
  XCloseDisplay(x);
  EXPECT_FALSE(page->recording());
  EXPECT_EQ(Data().Lock().macros().at(0)->action_count, 2);
}

}  // namespace
}  // namespace kb::test
