// The single-instance lock and socket, and the resume watcher.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "recording_window.h"
#include "ui/resume_watcher.h"
#include "ui/single_instance.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;

namespace {

constexpr UINT kShowRequest = 1037;

CDuiString UniqueName(const char* what) {
  return CDuiString("kbui test " + std::string(what) + " " + std::to_string(getpid()));
}

std::size_t CountOf(const kbtest::RecordingWindow& w, UINT msg) {
  std::size_t n = 0;
  for (const auto& m : w.messages) n += m.msg == msg;
  return n;
}

TEST(SingleInstanceTest, ASecondStartSignalsTheFirst) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  CDuiString name = UniqueName("second start");
  CSingleInstance first(name);
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_TRUE(first.IsOwner());
  CSingleInstance second(name);
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_FALSE(second.IsOwner());
  // A signal before the first instance has its window is kept for it.
  ASSERT_TRUE(second.SignalFirstInstance());
  Testing::ProcessEvents();
  first.SetTarget(w.GetHWND(), kShowRequest);
  Testing::ProcessEvents();
  EXPECT_EQ(CountOf(w, kShowRequest), 1u);
  ASSERT_TRUE(second.SignalFirstInstance());
  Testing::ProcessEvents();
  EXPECT_EQ(CountOf(w, kShowRequest), 2u);
}

TEST(SingleInstanceTest, NobodyAnswersWhenNoInstanceRuns) {
  CSingleInstance lone(UniqueName("lone"));
  EXPECT_FALSE(lone.SignalFirstInstance());
}

TEST(SingleInstanceTest, TheLeftoversOfAKilledInstanceAreTakenOver) {
  CDuiString name = UniqueName("killed");
  auto tmp = std::filesystem::temp_directory_path();
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  {
    // A lock naming a process that no longer runs, and a socket file nobody listens on.
    std::ofstream lock(tmp / (name.ToUtf8() + ".lock"));
    lock << "999999999\nkbconfig\n" << host << "\n";
    std::ofstream socket(tmp / name.ToUtf8());
    socket << "stale";
  }
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  CSingleInstance first(name);
  ASSERT_TRUE(first.TryAcquire());
  first.SetTarget(w.GetHWND(), kShowRequest);
  CSingleInstance second(name);
  ASSERT_TRUE(second.SignalFirstInstance());
  Testing::ProcessEvents();
  EXPECT_EQ(CountOf(w, kShowRequest), 1u);
}

TEST(ResumeWatcherTest, ResumePostsTheMessageSleepDoesNot) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  CResumeWatcher watcher;
  // Without a system bus (a container, a test machine) Start fails and the watcher stays quiet.
  watcher.Start(w.GetHWND(), 536, 18);
  watcher.SimulatePrepareForSleepForTesting(true);
  Testing::ProcessEvents();
  EXPECT_EQ(CountOf(w, 536), 0u);
  watcher.SimulatePrepareForSleepForTesting(false);
  Testing::ProcessEvents();
  ASSERT_EQ(CountOf(w, 536), 1u);
  for (const auto& m : w.messages)
    if (m.msg == 536) {
      EXPECT_EQ(m.w, 18u);
    }
  watcher.Stop();
}

}  // namespace
