// SPDX-License-Identifier: GPL-3.0-or-later
// A switch of profile when another application comes to the front, on the real path of the
// running program: a window focus event on sway's IPC socket (served here, as sway would), the
// focus watcher, the main window's message, CDevicePage::OnApplicationInFront and the apply,
// against the demo bundle's virtual keyboard with its real 20 ms pacing. Two profiles of KB_3
// that differ in five keys are linked to two made-up applications, and the front goes from one
// to the other. Reports the reports the switch sent (the key map's only: no lighting, colour or
// macro block) and the time from the focus event to the apply's last report over
// (reports x 20 ms) (goal: under 1.05).

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/utf16_text.h"
#include "device/device_protocol.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/keyboard_model.h"
#include "pages/device/device_page.h"
#include "profile/app_links.h"
#include "profile/store_paths.h"
#include "session/model_data.h"
#include "ui/ui_test_driver.h"
#include "virtual_keyboard.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kEditor[] = "bench_editor";
constexpr char kGame[] = "bench_game";
constexpr int kKeysThatDiffer = 5;
// After the apply's end, this long without a report says no other apply follows.
constexpr auto kQuiet = std::chrono::milliseconds(300);
constexpr auto kApplyTimeout = std::chrono::seconds(20);

// The transfer log as it grows, each report stamped when it was seen; polled from a thread of
// its own, so that the stamps do not wait for the UI thread.
class LogWatch {
 public:
  explicit LogWatch(vkb_take_lines_fn take) : take_(take) {
    thread_ = std::thread([this] { Poll(); });
  }
  ~LogWatch() {
    stop_ = true;
    thread_.join();
  }
  struct Line {
    Clock::time_point seen;
    std::string text;
  };
  std::vector<Line> Since(std::size_t first) {
    std::lock_guard lock(mutex_);
    return {lines_.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines_.size())),
            lines_.end()};
  }
  std::size_t size() {
    std::lock_guard lock(mutex_);
    return lines_.size();
  }

 private:
  void Poll() {
    std::vector<char> buffer(64 * 1024);
    while (!stop_) {
      if (take_(buffer.data(), buffer.size()) > 0) {
        const Clock::time_point now = Clock::now();
        std::lock_guard lock(mutex_);
        for (const char* at = buffer.data(); *at != '\0';) {
          const char* end = std::strchr(at, '\n');
          lines_.push_back({now, std::string(at, end)});
          at = end + 1;
        }
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    }
  }
  vkb_take_lines_fn take_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Line> lines_;
  std::thread thread_;
};

// sway's IPC socket, as far as the focus watcher uses it: the subscription, answered, and
// window focus events written when the benchmark says.
class SwayIpcStandIn {
 public:
  explicit SwayIpcStandIn(const std::filesystem::path& path) : path_(path) {
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ok_ = listener_ >= 0 &&
          bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
          listen(listener_, 1) == 0;
  }
  ~SwayIpcStandIn() {
    if (client_ >= 0) close(client_);
    if (listener_ >= 0) close(listener_);
    std::filesystem::remove(path_);
  }
  bool ok() const { return ok_; }
  // After the watcher connected: takes its subscription and answers it.
  bool AcceptSubscriber() {
    client_ = accept(listener_, nullptr, nullptr);
    char header[14];
    if (client_ < 0 || read(client_, header, sizeof header) != sizeof header) return false;
    std::uint32_t length = 0;
    std::memcpy(&length, header + 6, 4);
    std::string payload(length, '\0');
    return read(client_, payload.data(), length) == static_cast<ssize_t>(length) &&
           Send(2, R"({"success":true})");
  }
  bool Focus(const std::string& app) {
    return Send(0x80000003,
                R"({"change":"focus","container":{"pid":1,"app_id":")" + app + R"("}})");
  }

 private:
  bool Send(std::uint32_t type, const std::string& payload) {
    std::string bytes = "i3-ipc";
    const auto length = static_cast<std::uint32_t>(payload.size());
    bytes.append(reinterpret_cast<const char*>(&length), 4);
    bytes.append(reinterpret_cast<const char*>(&type), 4);
    bytes += payload;
    return write(client_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  std::filesystem::path path_;
  int listener_ = -1;
  int client_ = -1;
  bool ok_ = false;
};

// The stores before the program starts: the default profile, and "Game", the same with five
// keys disabled; each linked to one application.
kb::Status PrepareStores(const kb::AppPaths& paths) {
  const kb::ModelPaths store = kb::StorePathsOf(kb::Model::KB_3, paths);
  std::filesystem::create_directories(store.profile_store.parent_path());
  kb::ModelData data(kb::Model::KB_3, store);
  (void)data.Load(u"Profile_1");
  {
    auto edit = data.Lock();
    if (edit.profiles().empty()) return kb::Status::Fail("no first profile");
    auto game = std::make_unique<kb::ProfileRecord>(*edit.profiles().front());
    (void)kb::StoreFieldText(game->name, u"Game");
    kb::ProfileBank& bank = game->banks[game->active_bank == 1 ? 1 : 0];
    int changed = 0;
    for (kb::KeyEntry& key : bank.keys) {
      if (changed == kKeysThatDiffer) break;
      if (kb::ReadKeyCode(key.code) == kb::kNoFunction) continue;
      key.kind = static_cast<std::uint8_t>(kb::AssignmentKind::Disabled);
      kb::WriteKeyCode(key.code, kb::kNoFunction);
      ++changed;
    }
    edit.profiles().push_back(std::move(game));
  }
  if (kb::Status saved = data.SaveProfileStore(); !saved.ok()) return saved;
  kb::AppLinks links;
  if (kb::Status linked = links.Link(0, kEditor); !linked.ok()) return linked;
  if (kb::Status linked = links.Link(1, kGame); !linked.ok()) return linked;
  const std::filesystem::path links_path = kb::AppLinksPathOf(store.profile_store);
  return kb::SaveAppLinks(links_path, links, kb::LoadAppLinks(links_path));
}

struct Switch {
  std::vector<LogWatch::Line> lines;
  Clock::duration to_last_report{};
  vkb_counters before{}, after{};
  bool ended = false;
};

// Brings `app` to the front and runs the program until its apply has ended and the keyboard has
// been quiet for a while.
Switch SwitchTo(const std::string& app, SwayIpcStandIn& sway, LogWatch& log,
                vkb_read_state_fn read_state) {
  Switch result;
  auto state = std::make_unique<vkb_state>();
  (void)read_state(state.get());
  result.before = state->counters;
  const std::size_t first = log.size();
  const Clock::time_point focus = Clock::now();
  if (!sway.Focus(app)) return result;
  const Clock::time_point give_up = focus + kApplyTimeout;
  for (;;) {
    // The program's turn, as its event loop takes it; the socket's event then waits at most
    // this pause, far below the pacing.
    DuiLib::Testing::ProcessEvents();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    const std::vector<LogWatch::Line> lines = log.Since(first);
    const auto end = std::find_if(lines.rbegin(), lines.rend(), [](const LogWatch::Line& line) {
      return line.text.rfind("F 08", 0) == 0;  // the end command closes an apply
    });
    if (end != lines.rend() && Clock::now() - lines.back().seen > kQuiet) {
      result.ended = true;
      result.lines = lines;
      result.to_last_report = lines.back().seen - focus;
      break;
    }
    if (Clock::now() > give_up) break;
  }
  (void)read_state(state.get());
  result.after = state->counters;
  return result;
}

void BM_ProfileSwitchOnFocusChange(benchmark::State& state) {
  const std::filesystem::path demo = KB_BENCH_DEMO_DIR;
  void* keyboard = dlopen((demo / "KB/Torvane_3.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  auto take_log =
      keyboard ? reinterpret_cast<vkb_take_lines_fn>(dlsym(keyboard, "vkb_take_log")) : nullptr;
  auto read_state =
      keyboard ? reinterpret_cast<vkb_read_state_fn>(dlsym(keyboard, "vkb_read_state")) : nullptr;
  if (take_log == nullptr || read_state == nullptr) {
    state.SkipWithError("the demo bundle's virtual keyboard is not built");
    return;
  }
  const std::filesystem::path data =
      std::filesystem::temp_directory_path() / ("kb_app_switch_bench_" + std::to_string(getpid()));
  std::filesystem::remove_all(data);
  const kb::AppPaths paths{KB_BENCH_DEMO_DIR, data};
  if (kb::Status prepared = PrepareStores(paths); !prepared.ok()) {
    state.SkipWithError(("the stores could not be prepared: " + prepared.reason()).c_str());
    return;
  }
  SwayIpcStandIn sway(data / "sway-ipc.sock");
  if (!sway.ok()) {
    state.SkipWithError("no socket for sway's stand-in");
    return;
  }
  setenv("SWAYSOCK", (data / "sway-ipc.sock").c_str(), 1);

  LogWatch log(take_log);
  kb::app::SetUpSkin(DuiLib::CDuiString(std::string(KB_SOURCE_RES_DIR) + "/"));
  kb::app::RegisterPageClasses();
  auto wnd = std::make_unique<CMainWnd>(paths);
  wnd->SetQuitOnDestroyForTesting(false);
  wnd->Create(nullptr, u"", DuiLib::UI_WNDSTYLE_FRAME, 0, 0, 0, 800, 572);
  wnd->FollowApplicationInFront(/*at_once=*/true);
  if (!sway.AcceptSubscriber()) {
    state.SkipWithError("the focus watcher did not subscribe to sway's stand-in");
    return;
  }
  // The keyboard gets the first profile whole once; then each switch sends what differs.
  const std::string apps[] = {kGame, kEditor};
  for (const std::string& app : apps)
    if (!SwitchTo(app, sway, log, read_state).ended) {
      state.SkipWithError(("no apply ended after " + app + " came to the front").c_str());
      return;
    }

  double worst_ratio = 0, reports = 0, feature = 0, key_map_pages = 0, other_blocks = 0;
  int turn = 0;
  for (auto _ : state) {
    const Switch done = SwitchTo(apps[turn++ % 2], sway, log, read_state);
    if (!done.ended) {
      state.SkipWithError("the switch's apply did not end");
      break;
    }
    reports = static_cast<double>(done.lines.size());
    feature = static_cast<double>(
        std::count_if(done.lines.begin(), done.lines.end(),
                      [](const LogWatch::Line& line) { return line.text.rfind("F ", 0) == 0; }));
    key_map_pages = done.after.key_map_pages - done.before.key_map_pages;
    other_blocks = (done.after.lighting_blocks - done.before.lighting_blocks) +
                   (done.after.color_pieces - done.before.color_pieces) +
                   (done.after.macro_pages - done.before.macro_pages);
    const double seconds = std::chrono::duration<double>(done.to_last_report).count();
    const double budget = reports * std::chrono::duration<double>(kb::kReportPause).count();
    worst_ratio = std::max(worst_ratio, seconds / budget);
    state.SetIterationTime(seconds);
  }
  state.counters["reports"] = reports;
  state.counters["feature_reports"] = feature;
  state.counters["output_reports"] = reports - feature;
  state.counters["key_map_pages"] = key_map_pages;
  state.counters["other_blocks"] = other_blocks;
  state.counters["worst_time_per_budget"] = worst_ratio;

  wnd->DestroyWindow();
  DuiLib::Testing::ProcessEvents();
  std::filesystem::remove_all(data);
}
BENCHMARK(BM_ProfileSwitchOnFocusChange)
    ->Iterations(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
