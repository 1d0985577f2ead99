// SPDX-License-Identifier: GPL-3.0-or-later
// The single-instance lock and socket, the resume watcher, and the font configuration read ahead.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <fstream>

#include "recording_window.h"
#include "ui/font_configuration.h"
#include "ui/resume_watcher.h"
#include "ui/single_instance.h"
#include "ui/text_metrics.h"
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
  std::string why;
  const std::filesystem::path tmp = CSingleInstance::Folder(&why);
  ASSERT_FALSE(tmp.empty()) << why;
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

// What another user of the machine could leave in the way: a runtime folder that others may
// write, and the shared temporary folder's name taken by someone else. A start still finds a
// folder of its own; a flood on the socket is read no further than one line.
TEST(SingleInstanceTest, OnlyAFolderOfThisUserServesAndTheSocketReadsOneShortLine) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("kbui-instance-" + std::to_string(getpid()));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "runtime");
  std::filesystem::create_directories(root / "home");
  std::filesystem::permissions(root / "runtime", std::filesystem::perms::all);  // 0777
  const std::string taken = (root / ("kbconfig-" + std::to_string(getuid()))).string();
  std::filesystem::create_directories(taken);
  std::filesystem::permissions(taken, std::filesystem::perms::all);
  const auto keep = [](const char* name) {
    const char* value = std::getenv(name);
    return std::pair<std::string, bool>(value ? value : "", value != nullptr);
  };
  const auto saved = {
      std::pair{"XDG_RUNTIME_DIR", keep("XDG_RUNTIME_DIR")}, std::pair{"TMPDIR", keep("TMPDIR")},
      std::pair{"XDG_CACHE_HOME", keep("XDG_CACHE_HOME")}, std::pair{"HOME", keep("HOME")}};
  setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
  setenv("TMPDIR", root.c_str(), 1);
  unsetenv("XDG_CACHE_HOME");
  setenv("HOME", (root / "home").c_str(), 1);
  std::string why;
  const std::string folder = CSingleInstance::Folder(&why);
  EXPECT_EQ(folder, (root / "home/.cache" / ("kbconfig-" + std::to_string(getuid()))).string())
      << why;

  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  CSingleInstance first(UniqueName("flood"));
  ASSERT_TRUE(first.TryAcquire()) << first.failure();
  first.SetTarget(w.GetHWND(), kShowRequest);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = folder + "/" + UniqueName("flood").ToUtf8();
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string noise(1 << 20, 'x');
  std::size_t sent = 0;
  const timeval timeout{0, 200000};
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  int refused = 0;
  for (int i = 0; i < 50 && sent < noise.size() && refused == 0; ++i) {
    Testing::ProcessEvents();
    const ssize_t n = send(fd, noise.data() + sent, noise.size() - sent, MSG_NOSIGNAL);
    if (n > 0) sent += static_cast<std::size_t>(n);
    if (n < 0 && errno != EAGAIN && errno != EINTR) refused = errno;
  }
  close(fd);
  // The first instance hung up on it instead of reading on.
  EXPECT_TRUE(refused == EPIPE || refused == ECONNRESET) << refused << " after " << sent;
  CSingleInstance second(UniqueName("flood"));
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_TRUE(second.failure().empty());
  ASSERT_TRUE(second.SignalFirstInstance());
  Testing::ProcessEvents();
  EXPECT_EQ(CountOf(w, kShowRequest), 1u);

  for (const auto& [name, value] : saved)
    if (value.second)
      setenv(name, value.first.c_str(), 1);
    else
      unsetenv(name);
  std::filesystem::remove_all(root);
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

// A start that ends before any text is measured (a second start handing over, a refused lock)
// ends through its own exit while the configuration may still be read: no abort at teardown. A
// second call while the first read runs changes nothing, and the first text measured waits for
// the read.
TEST(FontConfigurationTest, AReadAheadIsStartedOnceAndNeverCutOff) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ReadFontConfigurationAhead();
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  ReadFontConfigurationAhead();
  ReadFontConfigurationAhead();
  EXPECT_GT(MeasureTextWidth(&w.pm(), u"", u"Key assignments"), 0);
}

}  // namespace
