// SPDX-License-Identifier: GPL-3.0-or-later
// The program's entry: the terminal's questions (--help, --version), one instance, the skin of
// its layout, the stores' lock, the main window and the message loop.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/login_autostart.h"
#include "pages/common/program_messages.h"
#include "shell/msg_wnd.h"
#include "ui/font_configuration.h"
#include "ui/paint_manager.h"
#include "ui/resume_watcher.h"
#include "ui/session_end_watcher.h"
#include "ui/single_instance.h"
#include "ui/trace.h"

namespace {

// The resume watcher connects to the system bus this long after the loop starts, off the path
// to the first frame.
constexpr int kResumeWatchDelayMs = 500;

// The length of the command line as one text, at most 259 characters taken. Read with plain
// calls: a file stream would set up the C++ library's locales, a few hundred kilobytes of its
// pages, for one read at start.
int CommandLineLength() {
  const int fd = ::open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  std::size_t total = 0;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  const std::size_t length = total == 0 ? 0 : total - 1;  // NULs between the arguments
  return static_cast<int>(std::min<std::size_t>(length, 259));
}

constexpr char kUsage[] =
    "Usage: kbconfig [--login]\n"
    "\n"
    "Sets up KB_3 keyboards: named profiles of key assignments, lighting and per-key\n"
    "colours, macros recorded from the keyboard and mouse, applied over USB. For KB_4 it keeps\n"
    "profiles and macros and their files, with no link to the keyboard. A window with a tray\n"
    "icon; a second start brings the running window forward.\n"
    "\n"
    "  --login     start in the tray (where the desktop has one), as the login entry does\n"
    "  --help      this text\n"
    "  --version   the program's version\n"
    "\n"
    "The profiles and macros are kept in $XDG_DATA_HOME/kbconfig (~/.local/share/kbconfig) when\n"
    "installed; `kbctl where` names the folders.\n";

// --help and --version are answered on the terminal, before any window, lock or display is
// needed; a wrong option too. Returns the exit code when the program is to end here.
std::optional<int> AnswerOnTheTerminal(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (arg == "--version") {
      std::printf("kbconfig %s\n", KB_VERSION);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (arg != kb::kStartedAtLoginArgument) {
      std::fprintf(stderr, "kbconfig: unknown argument %s (see kbconfig --help)\n", argv[i]);
      return 2;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  DuiLib::CSessionEndWatcher::HoldSignalsUntilStart();
  if (const std::optional<int> answered = AnswerOnTheTerminal(argc, argv)) return *answered;
  const kb::AppPaths paths = kb::ResolveAppPaths(kb::ExecutableDirectory());
  const DuiLib::CDuiString skin(paths.SkinDirectory().string());

  DuiLib::CSingleInstance instance(u"Korva Talvix Software");
  if (!instance.TryAcquire()) {
    if (instance.failure().empty()) {
      instance.SignalFirstInstance();
      return 1;
    }
    // Not another instance: something keeps this user from running one at all.
    DuiLib::CSessionEndWatcher::ReleaseHeldSignals();
    std::fprintf(stderr, "kbconfig: cannot make sure it runs once: %s\n",
                 instance.failure().c_str());
    kb::app::SetUpSkin(skin);
    CMsgWnd::Show(nullptr, u"warning_1_text", u"warning_instance_text");
    return 2;
  }
  // On a thread of its own while the window is built. Started once the application has
  // connected to the display: on two cores, reading both at once slowed the connection more
  // than it gained.
  DuiLib::ReadFontConfigurationAhead();
  DuiLib::DUI__Trace(u"ilen = %d\r\n", CommandLineLength());

  if (paths.data_root.empty()) {
    std::fprintf(stderr,
                 "kbconfig: no folder for the profiles: neither XDG_DATA_HOME nor HOME "
                 "names one, and the account has no home folder\n");
    return 2;
  }
  kb::app::SetUpSkin(skin);
  kb::app::RegisterPageClasses();

  std::vector<kb::StoreLock> locks;
  if (const kb::Status held = kb::app::HoldStores(paths, &locks); !held.ok()) {
    DuiLib::CSessionEndWatcher::ReleaseHeldSignals();
    std::fprintf(stderr, "kbconfig: %s\n", held.reason().c_str());
    CMsgWnd::Show(nullptr, u"warning_1_text", u"warning_store_locked_text");
    return 2;
  }

  int code = 0;
  {
    CMainWnd wnd(paths);
    wnd.Create(nullptr, u"", DuiLib::UI_WNDSTYLE_FRAME, 0, 0, 0, 800, 572);
    wnd.CenterWindow();
    if (argc > 1 && std::string(argv[1]) == kb::kStartedAtLoginArgument) wnd.ShowAtLogin();
    instance.SetTarget(wnd.GetHWND(), kb::messages::kShowRequest);
    // A logout or a `kill` ends the program through its own exit, so no edit is lost.
    DuiLib::CSessionEndWatcher session_end;
    (void)session_end.Start(wnd.GetHWND(), kb::messages::kSessionEnd);
    DuiLib::CResumeWatcher resume;
    resume.StartLater(wnd.GetHWND(), kb::messages::kPowerBroadcast, kb::messages::kResumeAutomatic,
                      kResumeWatchDelayMs);
    wnd.FollowApplicationInFront();
    code = DuiLib::CPaintManagerUI::MessageLoop();
  }
  DuiLib::CPaintManagerUI::Term();
  return code == 0 ? 0 : code;
}
