// SPDX-License-Identifier: GPL-3.0-or-later
// The focus watcher against stand-ins of the desktops that tell which window is in front: KWin's
// scripting on the private session bus the test runs in (tests/ui/kwin_standin.py), and sway's
// IPC socket (a server in this test). The program runs offscreen, so no X server is asked.

#include "ui/focus_watcher.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>

#include "recording_window.h"
#include "ui/ui_test_driver.h"

namespace {

constexpr DuiLib::UINT kFront = DuiLib::WM_USER + 77;
using Names = std::vector<std::string>;

// Runs the event loop until `done` holds, for at most ten seconds.
bool RunUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("kb_focus_" + name + "_" + std::to_string(getpid()));
}

// Nothing but what each test sets up tells which window is in front.
class FocusWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"SWAYSOCK", "I3SOCK", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"})
      unsetenv(name);
    ASSERT_TRUE(window.Open());
    window.on_message = [this](DuiLib::UINT msg, DuiLib::WPARAM, DuiLib::LPARAM, bool&) {
      if (msg == kFront) seen.push_back(watcher.Current());
    };
  }
  void TearDown() override {
    watcher.Stop();
    window.Close();
    DuiLib::Testing::ProcessEvents();
  }

  kbtest::RecordingWindow window{u"controls.xml"};
  DuiLib::CFocusWatcher watcher;
  Names seen;
};

TEST_F(FocusWatcherTest, NoDesktopThatTellsLeavesItOffAndSaysWhy) {
  EXPECT_FALSE(watcher.Start(window.GetHWND(), kFront));
  EXPECT_NE(watcher.Unavailable(), "");
  EXPECT_EQ(watcher.OpenApplications(), Names{});

  setenv("WAYLAND_DISPLAY", "wayland-9", 1);
  setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
  EXPECT_FALSE(watcher.Start(window.GetHWND(), kFront));
  EXPECT_NE(watcher.Unavailable().find("GNOME on Wayland"), std::string::npos)
      << watcher.Unavailable();
}

// KWin's stand-in, running while the object lives, with its log.
class KWinStandIn {
 public:
  explicit KWinStandIn(const QStringList& arguments) : log_(TempPath("kwin_log")) {
    std::filesystem::remove(log_);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList all{QStringLiteral(KB_KWIN_STANDIN)};
    if (arguments.value(0) == QStringLiteral("--refuse")) all << arguments.value(0);
    all << QString::fromStdString(log_.string());
    for (const QString& argument : arguments)
      if (argument != QStringLiteral("--refuse")) all << argument;
    process_.start(QStringLiteral("/usr/bin/python3"), all);
  }
  ~KWinStandIn() {
    process_.terminate();
    process_.waitForFinished();
    std::filesystem::remove(log_);
  }
  // Whether it owns KWin's name on the bus.
  bool Up() {
    return process_.waitForStarted() &&
           RunUntil([&] { return ReadText(log_).find("ready\n") != std::string::npos; });
  }
  std::string Log() const { return ReadText(log_); }

 private:
  std::filesystem::path log_;
  QProcess process_;
};

TEST_F(FocusWatcherTest, KWinThatRefusesTheScriptLeavesItOffAndSaysWhy) {
  KWinStandIn kwin({QStringLiteral("--refuse")});
  ASSERT_TRUE(kwin.Up()) << "the stand-in did not come up: " << kwin.Log();
  EXPECT_FALSE(watcher.Start(window.GetHWND(), kFront));
  EXPECT_NE(watcher.Unavailable().find("KWin"), std::string::npos) << watcher.Unavailable();
  EXPECT_NE(kwin.Log().find("load refused kbconfig_focus_watcher"), std::string::npos)
      << kwin.Log();
}

TEST_F(FocusWatcherTest, KWinScriptReportsTheWindowsInFrontAndIsUnloadedOnStop) {
  KWinStandIn kwin({QStringLiteral("org.kde.krita"), QStringLiteral("firefox"),
                    QStringLiteral("steam_app_570")});
  ASSERT_TRUE(kwin.Up()) << "the stand-in did not come up: " << kwin.Log();

  ASSERT_TRUE(watcher.Start(window.GetHWND(), kFront)) << watcher.Unavailable();
  EXPECT_TRUE(RunUntil([&] { return kwin.Log().find("calls done") != std::string::npos; }))
      << kwin.Log();
  DuiLib::Testing::ProcessEvents();
  // The caller that is not KWin is not heard; KWin's calls come in order.
  EXPECT_EQ(seen, (Names{"org.kde.krita", "firefox", "steam_app_570"}));
  EXPECT_EQ(watcher.OpenApplications(), (Names{"firefox", "org.kde.krita", "steam_app_570"}));

  std::string text = kwin.Log();
  const std::string load = "load kbconfig_focus_watcher ";
  const std::size_t at = text.find(load);
  ASSERT_NE(at, std::string::npos) << text;
  const std::filesystem::path script =
      text.substr(at + load.size(), text.find('\n', at) - at - load.size());
  EXPECT_TRUE(std::filesystem::exists(script)) << script;
  EXPECT_NE(text.find("run 0 callback=yes signals=yes"), std::string::npos) << text;
  EXPECT_EQ(text.find("unload"), std::string::npos) << text;

  watcher.Stop();
  text = kwin.Log();
  EXPECT_NE(text.find("unload kbconfig_focus_watcher"), std::string::npos) << text;
  EXPECT_FALSE(std::filesystem::exists(script)) << script;
}

// sway's IPC: on a subscription, the answer and then the focus events, a group at a time, the
// next group once the watcher has posted as many changes as groups went out; on a get_tree
// request, the tree given.
class FakeSwayIpc {
 public:
  FakeSwayIpc(std::vector<std::vector<std::string>> groups, std::string tree,
              std::function<std::size_t()> posted)
      : path_(TempPath("sway_ipc")),
        groups_(std::move(groups)),
        tree_(std::move(tree)),
        posted_(std::move(posted)) {
    std::filesystem::remove(path_);
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path_.c_str());
    if (bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0)
      ADD_FAILURE() << "no socket at " << path_;
    accepting_ = std::thread([this] { Accept(); });
  }
  ~FakeSwayIpc() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    accepting_.join();
    {
      std::lock_guard lock(mutex_);
      for (const int client : clients_) shutdown(client, SHUT_RDWR);
    }
    for (std::thread& serving : serving_) serving.join();
    for (const int client : clients_) close(client);
    close(listener_);
    std::filesystem::remove(path_);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  static std::string Message(std::uint32_t type, const std::string& payload) {
    std::string bytes = "i3-ipc";
    const auto length = static_cast<std::uint32_t>(payload.size());
    bytes.append(reinterpret_cast<const char*>(&length), 4);
    bytes.append(reinterpret_cast<const char*>(&type), 4);
    return bytes + payload;
  }
  static void Send(int client, const std::string& bytes) {
    (void)!write(client, bytes.data(), bytes.size());
  }
  void Accept() {
    for (;;) {
      const int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      std::lock_guard lock(mutex_);
      clients_.push_back(client);
      serving_.emplace_back([this, client] { Serve(client); });
    }
  }
  void Serve(int client) {
    char header[14];
    if (read(client, header, sizeof header) != sizeof header) return;
    std::uint32_t length = 0, type = 0;
    std::memcpy(&length, header + 6, 4);
    std::memcpy(&type, header + 10, 4);
    std::string payload(length, '\0');
    if (length > 0 && read(client, payload.data(), length) != static_cast<ssize_t>(length)) return;
    if (type == 4) {
      Send(client, Message(4, tree_));
    } else if (type == 2) {
      Send(client, Message(2, R"({"success":true})"));
      for (std::size_t g = 0; g < groups_.size(); ++g) {
        std::string out;
        for (const std::string& event : groups_[g]) out += Message(0x80000003, event);
        Send(client, out);
        while (posted_() <= g && !stopping_)
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    // Held open, as sway holds a subscriber's connection, until the watcher closes it.
    char rest;
    while (read(client, &rest, 1) > 0) {
    }
  }

  std::filesystem::path path_;
  std::vector<std::vector<std::string>> groups_;
  std::string tree_;
  std::function<std::size_t()> posted_;
  int listener_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread accepting_;
  std::mutex mutex_;
  std::vector<int> clients_;
  std::vector<std::thread> serving_;
};

std::string FocusEvent(int pid, const std::string& container) {
  return R"({"change":"focus","container":{"pid":)" + std::to_string(pid) + "," + container + "}}";
}

TEST_F(FocusWatcherTest, SwayIpcFollowsFocusEventsAndListsTheTreesViews) {
  const int other = getpid() + 1;
  std::atomic<std::size_t> posted{0};
  window.on_message = [&](DuiLib::UINT msg, DuiLib::WPARAM, DuiLib::LPARAM, bool&) {
    if (msg != kFront) return;
    seen.push_back(watcher.Current());
    ++posted;
  };
  // Our own window in front, and a change that is no focus, between two applications.
  FakeSwayIpc sway(
      {{FocusEvent(other, R"("app_id":"org.kde.krita")")},
       {FocusEvent(getpid(), R"("app_id":"kbconfig")"),
        R"({"change":"title","container":{"pid":1,"app_id":"title_only"}})",
        FocusEvent(other, R"("app_id":null,"window_properties":{"class":"steam_app_570"})")}},
      R"({"pid":0,"nodes":[{"nodes":[{"pid":5,"app_id":"firefox","nodes":[]},)"
      R"({"pid":)" +
          std::to_string(getpid()) +
          R"(,"app_id":"kbconfig"}],)"
          R"("floating_nodes":[{"pid":6,"app_id":null,"window_properties":{"class":"Gimp"}},)"
          R"({"pid":7,"app_id":"firefox"}]}]})",
      [&] { return posted.load(); });
  setenv("SWAYSOCK", sway.path().c_str(), 1);

  ASSERT_TRUE(watcher.Start(window.GetHWND(), kFront)) << watcher.Unavailable();
  EXPECT_TRUE(RunUntil([&] { return seen.size() >= 2; }));
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(seen, (Names{"org.kde.krita", "steam_app_570"}));
  EXPECT_EQ(watcher.OpenApplications(), (Names{"Gimp", "firefox"}));
  watcher.Stop();
  EXPECT_EQ(watcher.OpenApplications(), Names{});
}

}  // namespace
