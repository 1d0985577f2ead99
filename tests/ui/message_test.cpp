// SPDX-License-Identifier: GPL-3.0-or-later
// Window messages: posts from any thread arrive on the UI thread in order, sends run at once,
// timers, modal runs and their nesting, destruction.
#include <gtest/gtest.h>

#include <thread>

#include "recording_window.h"
#include "ui/button.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;

namespace {

constexpr UINT kTestMessage = WM_USER + 100;

std::vector<kbtest::RecordingWindow::Message> Only(const kbtest::RecordingWindow& w, UINT msg) {
  std::vector<kbtest::RecordingWindow::Message> out;
  for (const auto& m : w.messages)
    if (m.msg == msg) out.push_back(m);
  return out;
}

TEST(MessageTest, PostsFromAnotherThreadArriveOnTheUiThreadInOrder) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  std::vector<std::thread::id> threads;
  w.on_message = [&](UINT msg, WPARAM, LPARAM, bool&) {
    if (msg == kTestMessage) threads.push_back(std::this_thread::get_id());
  };
  constexpr int kPosts = 2000;
  kb_message_target target = w.GetMessageTarget();
  std::thread poster([target] {
    for (int i = 0; i < kPosts; ++i)
      target.post(target.context, kTestMessage, static_cast<uintptr_t>(i), -i);
  });
  poster.join();
  Testing::ProcessEvents();
  auto got = Only(w, kTestMessage);
  ASSERT_EQ(got.size(), static_cast<std::size_t>(kPosts));
  for (int i = 0; i < kPosts; ++i) {
    EXPECT_EQ(got[static_cast<std::size_t>(i)].w, static_cast<WPARAM>(i));
    EXPECT_EQ(got[static_cast<std::size_t>(i)].l, static_cast<LPARAM>(-i));
  }
  for (auto id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(MessageTest, SendRunsAtOncePostWaitsForTheLoop) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  w.on_message = [](UINT msg, WPARAM, LPARAM, bool& handled) { handled = msg == kTestMessage; };
  w.SendMessage(kTestMessage, 7, 8);
  ASSERT_EQ(Only(w, kTestMessage).size(), 1u);
  EXPECT_TRUE(PostMessage(w.GetHWND(), kTestMessage, 9, 10));
  EXPECT_EQ(Only(w, kTestMessage).size(), 1u);
  Testing::ProcessEvents();
  ASSERT_EQ(Only(w, kTestMessage).size(), 2u);
  EXPECT_EQ(Only(w, kTestMessage)[1].w, 9u);
  EXPECT_EQ(SendMessage(w.GetHWND(), kTestMessage, 1, 1), 0);
  EXPECT_EQ(Only(w, kTestMessage).size(), 3u);
}

TEST(MessageTest, HandlesOfDestroyedWindowsAreSafe) {
  HWND h;
  kb_message_target target;
  {
    kbtest::RecordingWindow w(u"dialog.xml");
    ASSERT_TRUE(w.Open());
    h = w.GetHWND();
    target = w.GetMessageTarget();
    EXPECT_EQ(CWindowWnd::FromHandle(h), &w);
    EXPECT_TRUE(IsWindow(h));
    w.DestroyWindow();
    EXPECT_TRUE(IsWindow(h));
    Testing::ProcessEvents();
    EXPECT_FALSE(IsWindow(h));
    ASSERT_FALSE(w.messages.empty());
    EXPECT_EQ(w.messages.back().msg, WM_DESTROY);
  }
  EXPECT_EQ(CWindowWnd::FromHandle(h), nullptr);
  EXPECT_FALSE(PostMessage(h, kTestMessage));
  target.post(target.context, kTestMessage, 0, 0);
  Testing::ProcessEvents();
  RECT rc;
  EXPECT_FALSE(GetWindowRect(h, &rc));
}

TEST(MessageTest, PostedBeforeDestructionIsDroppedWithTheWindow) {
  auto* w = new kbtest::RecordingWindow(u"dialog.xml");
  ASSERT_TRUE(w->Open());
  HWND h = w->GetHWND();
  EXPECT_TRUE(PostMessage(h, kTestMessage));
  delete w;
  Testing::ProcessEvents();
  EXPECT_FALSE(IsWindow(h));
}

TEST(MessageTest, WindowTimersDeliverWmTimer) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  EXPECT_FALSE(w.FireTimerForTesting(57));
  ASSERT_TRUE(w.SetTimer(57, 2000));
  ASSERT_TRUE(w.FireTimerForTesting(57));
  ASSERT_EQ(Only(w, WM_TIMER).size(), 1u);
  EXPECT_EQ(Only(w, WM_TIMER)[0].w, 57u);
  EXPECT_TRUE(w.KillTimer(57));
  EXPECT_FALSE(w.KillTimer(57));
  EXPECT_FALSE(w.FireTimerForTesting(57));
  // A zero-interval timer expires on the next turn of the event loop.
  ASSERT_TRUE(w.SetTimer(3, 0));
  Testing::ProcessEvents();
  EXPECT_GE(Only(w, WM_TIMER).size(), 2u);
  EXPECT_EQ(Only(w, WM_TIMER).back().w, 3u);
  w.KillTimer(3);
}

TEST(MessageTest, ControlTimersRaiseTimerNotifications) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  CControlUI* ok = w.pm().FindControl(u"btn_ok");
  ASSERT_TRUE(w.pm().SetTimer(ok, 5, 0));
  Testing::ProcessEvents();
  ASSERT_FALSE(w.events.empty());
  EXPECT_EQ(w.events[0], "timer:btn_ok");
  EXPECT_EQ(w.last.wParam, 5u);
  EXPECT_TRUE(w.pm().KillTimer(ok, 5));
  w.events.clear();
  EXPECT_FALSE(w.pm().FireTimerForTesting(ok, 5));
  ASSERT_TRUE(w.pm().SetTimer(ok, 6, 100000));
  ASSERT_TRUE(w.pm().FireTimerForTesting(ok, 6));
  EXPECT_EQ(w.events, (std::vector<std::string>{"timer:btn_ok"}));
}

class ModalDialog : public kbtest::RecordingWindow {
 public:
  ModalDialog() : RecordingWindow(u"dialog.xml", u"ModalDialog") {}
  void OnClick(TNotifyUI& msg) override {
    if (msg.pSender->GetName() == u"btn_ok")
      Close(1);
    else if (msg.pSender->GetName() == u"btn_cancel")
      Close(0);
    else if (msg.pSender->GetName() == u"btn_exit")
      Close(7);
  }
};

TEST(MessageTest, ShowModalReturnsTheCloseCodeAndNests) {
  kbtest::UseTestSkin();
  ModalDialog outer;
  ASSERT_TRUE(outer.Open());
  UINT inner_result = 99;
  bool inner_was_active = false;
  int hook_calls = 0;
  CWindowWnd::SetModalHookForTesting([&](CWindowWnd& w) {
    ++hook_calls;
    if (&w == &outer) {
      ModalDialog inner;
      ASSERT_TRUE(inner.Open());
      inner_result = inner.ShowModal();
      EXPECT_EQ(CWindowWnd::GetActiveModal(), &outer);
      Testing::Click(*w.GetPaintManager(), u"btn_exit");
    } else {
      inner_was_active = CWindowWnd::GetActiveModal() == &w;
      Testing::Click(*w.GetPaintManager(), u"btn_ok");
    }
  });
  EXPECT_EQ(outer.ShowModal(), 7u);
  CWindowWnd::SetModalHookForTesting(nullptr);
  EXPECT_EQ(inner_result, 1u);
  EXPECT_TRUE(inner_was_active);
  EXPECT_EQ(hook_calls, 2);
  EXPECT_EQ(CWindowWnd::GetActiveModal(), nullptr);
  EXPECT_FALSE(outer.IsWindow());
}

TEST(MessageTest, EscapeAndTheSystemCloseEndAModalRunWithZero) {
  kbtest::UseTestSkin();
  for (bool escape : {true, false}) {
    ModalDialog d;
    ASSERT_TRUE(d.Open());
    CWindowWnd::SetModalHookForTesting([escape](CWindowWnd& w) {
      if (escape)
        Testing::PressKey(*w.GetPaintManager(), VK_ESCAPE);
      else
        w.SendMessage(WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(d.ShowModal(), 0u);
    CWindowWnd::SetModalHookForTesting(nullptr);
    EXPECT_FALSE(d.IsWindow());
  }
}

TEST(MessageTest, KeysReachTheWindowBeforeTheFocusedControl) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  w.on_message = [](UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    handled = msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_SPACE);
  };
  w.pm().SetFocus(w.pm().FindControl(u"btn_ok"));
  w.events.clear();
  Testing::PressKey(w.pm(), VK_SPACE);
  Testing::PressKey(w.pm(), VK_RETURN);
  EXPECT_TRUE(w.events.empty());
  w.on_message = nullptr;
  Testing::PressKey(w.pm(), VK_RETURN);
  EXPECT_EQ(w.events, (std::vector<std::string>{"click:btn_ok"}));
}

TEST(MessageTest, WindowGeometry) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  w.CenterWindow();
  RECT area = GetWorkArea();
  RECT rc = w.GetWindowRect();
  EXPECT_EQ(rc.Width(), 300);
  EXPECT_EQ(rc.Height(), 200);
  EXPECT_LE(std::abs((rc.left + rc.right) / 2 - (area.left + area.right) / 2), 1);
  EXPECT_LE(std::abs((rc.top + rc.bottom) / 2 - (area.top + area.bottom) / 2), 1);
  w.MoveWindow(10, 20);
  RECT moved;
  ASSERT_TRUE(GetWindowRect(w.GetHWND(), &moved));
  EXPECT_EQ(moved, (RECT{10, 20, 310, 220}));
  EXPECT_FALSE(GetScreenRect().IsEmpty());
}

TEST(MessageTest, TabMovesTheFocusInLayoutOrder) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  Testing::PressKey(w.pm(), VK_TAB);
  EXPECT_EQ(w.pm().GetFocus(), w.pm().FindControl(u"btn_exit"));
  Testing::PressKey(w.pm(), VK_TAB);
  EXPECT_EQ(w.pm().GetFocus(), w.pm().FindControl(u"edit_name"));
  Testing::PressKey(w.pm(), VK_TAB, UIKEY_SHIFT);
  EXPECT_EQ(w.pm().GetFocus(), w.pm().FindControl(u"btn_exit"));
  Testing::PressKey(w.pm(), VK_TAB, UIKEY_SHIFT);
  EXPECT_EQ(w.pm().GetFocus(), w.pm().FindControl(u"btn_cancel"));
  EXPECT_EQ(w.events, (std::vector<std::string>{"setfocus:btn_exit", "killfocus:btn_exit",
                                                "setfocus:edit_name", "killfocus:edit_name",
                                                "setfocus:btn_exit", "killfocus:btn_exit",
                                                "setfocus:btn_cancel"}));
}

TEST(MessageTest, DraggingTheCaptionMovesTheWindow) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  w.MoveWindow(100, 100);
  // The title label lies in the caption band (0..30); the exit button there keeps its clicks.
  ASSERT_TRUE(Testing::Drag(w.pm(), {100, 10}, {150, 40}));
  EXPECT_EQ(w.GetWindowRect(), (RECT{150, 130, 450, 330}));
  ASSERT_TRUE(Testing::Drag(w.pm(), {285, 10}, {200, 100}));
  EXPECT_EQ(w.GetWindowRect(), (RECT{150, 130, 450, 330}));
  ASSERT_TRUE(Testing::Drag(w.pm(), {100, 100}, {150, 150}));
  EXPECT_EQ(w.GetWindowRect(), (RECT{150, 130, 450, 330}));
}

TEST(MessageTest, MessageLoopRunsUntilPostQuitMessage) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  w.on_message = [&](UINT msg, WPARAM wParam, LPARAM, bool&) {
    if (msg == kTestMessage) w.ShowWindow(false);
    if (msg == kTestMessage + 1) CPaintManagerUI::PostQuitMessage(static_cast<int>(wParam));
  };
  // Hiding the only window (the program in the tray) does not end the loop; the quit does.
  ASSERT_TRUE(w.PostMessage(kTestMessage));
  ASSERT_TRUE(w.PostMessage(kTestMessage + 1, 5));
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 5);
  EXPECT_FALSE(w.IsWindowVisible());
  EXPECT_TRUE(w.IsWindow());
}

}  // namespace
