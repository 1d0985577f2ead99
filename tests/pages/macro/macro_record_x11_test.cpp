// SPDX-License-Identifier: GPL-3.0-or-later
// Recording on the macro page with the real input-hook library on a private Xvfb: a word typed
// and a click made with XTest become the macro's actions, in order, with the gaps between them
// as their delays (mode "as recorded").
//
// The gaps are the X server's: the test reads the same raw events on a connection of its own,
// and the page's clock reads, for each hook event it handles, that event's server timestamp
// (the listener and the test see the server's events in the same order). What the page records
// is then exactly what the server saw, however late a loaded machine delivers the events.

#include <poll.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "pages/macro/macro_page.h"
#include "plugins/hook/xvfb_environment.h"

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Status

namespace kb::test {
namespace {

[[maybe_unused]] ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new kb::testing::XvfbEnvironment);

using Clock = std::chrono::steady_clock;
constexpr auto kArrivalTimeout = std::chrono::seconds(10);

// The server's time of every raw key and button event, as the hook's listener gets them.
class ServerEventTimes {
 public:
  explicit ServerEventTimes(Display* x) : x_(x) {
    int event, error;
    ok_ = XQueryExtension(x_, "XInputExtension", &opcode_, &event, &error);
    if (!ok_) return;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof(bits)), bits};
    XISelectEvents(x_, DefaultRootWindow(x_), &mask, 1);
    XSync(x_, False);
  }
  bool ok() const { return ok_; }

  // The server time of raw event `index` (from 0), waiting for it to arrive; 0 when it does not.
  Time At(std::size_t index) {
    const auto deadline = Clock::now() + kArrivalTimeout;
    for (;;) {
      Drain();
      if (index < times_.size()) return times_[index];
      if (Clock::now() >= deadline) return 0;
      pollfd fd{ConnectionNumber(x_), POLLIN, 0};
      poll(&fd, 1, 10);
    }
  }
  std::size_t count() {
    Drain();
    return times_.size();
  }

 private:
  void Drain() {
    while (XPending(x_) > 0) {
      XEvent event;
      XNextEvent(x_, &event);
      XGenericEventCookie* cookie = &event.xcookie;
      if (cookie->type != GenericEvent || cookie->extension != opcode_) continue;
      if (!XGetEventData(x_, cookie)) continue;
      times_.push_back(static_cast<const XIRawEvent*>(cookie->data)->time);
      XFreeEventData(x_, cookie);
    }
  }

  Display* x_;
  int opcode_ = 0;
  bool ok_ = false;
  std::vector<Time> times_;
};

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
  // Runs the event loop until `done` holds; false when it does not within kArrivalTimeout.
  template <class Predicate>
  bool PumpUntil(Predicate done) {
    const auto deadline = Clock::now() + kArrivalTimeout;
    while (!done()) {
      if (Clock::now() >= deadline) return false;
      PumpFor(5);
    }
    return true;
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
  ServerEventTimes server(x);
  ASSERT_TRUE(server.ok()) << "the X server has no XInput extension";
  // The pointer away from the record box: a click there would not be recorded.
  XTestFakeMotionEvent(x, 0, 5, 5, CurrentTime);
  XSync(x, False);
  auto* page = dynamic_cast<CMacroPage*>(Find(u"kb_3_macro"));
  ASSERT_NE(page, nullptr);
  // The page reads its clock once when the recording starts and once per hook event.
  bool started = false;
  std::size_t handled = 0;
  page->SetClockForTesting([&] {
    if (!started) return Clock::time_point{};
    return Clock::time_point{} + std::chrono::milliseconds(server.At(handled++));
  });
  // The hook listens once the click returns: its installation waits until the server has the
  // listener's event selection.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_record"));
  ASSERT_TRUE(page->recording());
  started = true;

  struct Step {
    int keysym_or_button;  // a keysym, or 1 for the left button
    bool press;
    int gap_ms;  // until the next step
  };
  const Step steps[] = {{XK_Shift_L, true, 40}, {XK_Shift_L, false, 40}, {XK_h, true, 60},
                        {XK_h, false, 90},      {XK_i, true, 45},        {XK_i, false, 120},
                        {1, true, 70},          {1, false, 30}};
  constexpr int kSteps = static_cast<int>(std::size(steps));
  for (const Step& step : steps) {
    if (step.keysym_or_button == 1)
      XTestFakeButtonEvent(x, 1, step.press, CurrentTime);
    else
      XTestFakeKeyEvent(x, XKeysymToKeycode(x, step.keysym_or_button), step.press, CurrentTime);
    XSync(x, False);
    PumpFor(step.gap_ms);
  }
  PumpUntil([&] { return page->working().count() >= kSteps; });
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_record"));
  page->SetClockForTesting(nullptr);
  ASSERT_EQ(server.count(), std::size(steps));
  const MacroRecord m = *Data().Lock().macros().at(0);
  ASSERT_EQ(m.action_count, kSteps);
  EXPECT_EQ(handled, std::size(steps));
  const std::uint8_t codes[] = {0xE1, 0xE1, 0x0B, 0x0B, 0x0C, 0x0C, 0xF0, 0xF0};
  for (int i = 0; i < kSteps; ++i) {
    EXPECT_EQ(m.actions[i].action_code, codes[i]) << i;
    EXPECT_EQ(m.actions[i].action_kind, i % 2 == 0 ? kPressKind : kReleaseKind) << i;
    // The last action keeps 1: no event comes after it.
    const Time gap = i + 1 < kSteps ? server.At(i + 1) - server.At(i) : 1;
    EXPECT_EQ(m.actions[i].delay, gap) << "action " << i;
  }
  XCloseDisplay(x);
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
  // One click away from the box is recorded...
  XTestFakeButtonEvent(x, 1, True, CurrentTime);
  XTestFakeButtonEvent(x, 1, False, CurrentTime);
  XSync(x, False);
  ASSERT_TRUE(PumpUntil([&] { return page->working().count() >= 2; }));
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
  EXPECT_TRUE(PumpUntil([&] { return !page->recording(); }));
  XCloseDisplay(x);
  EXPECT_FALSE(page->recording());
  EXPECT_EQ(Data().Lock().macros().at(0)->action_count, 2);
}

}  // namespace
}  // namespace kb::test
