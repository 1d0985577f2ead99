// The program's entry: one instance, the skin beside the executable, the stores' lock, the main
// window and the message loop.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/login_autostart.h"
#include "pages/common/program_messages.h"
#include "shell/msg_wnd.h"
#include "ui/paint_manager.h"
#include "ui/resume_watcher.h"
#include "ui/session_end_watcher.h"
#include "ui/single_instance.h"
#include "ui/trace.h"

namespace {

// The resume watcher connects to the system bus this long after the loop starts, off the path
// to the first frame.
constexpr int kResumeWatchDelayMs = 500;

// The length of the command line as one text, at most 259 characters taken.
int CommandLineLength() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t length = raw.empty() ? 0 : raw.size() - 1;  // NULs between the arguments
  return static_cast<int>(std::min<std::size_t>(length, 259));
}

}  // namespace

int main(int argc, char** argv) {
  DuiLib::CSessionEndWatcher::HoldSignalsUntilStart();
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
    kb::app::SetUpSkin(DuiLib::CPaintManagerUI::GetInstancePath() + u"res/");
    CMsgWnd::Show(nullptr, u"warning_1_text", u"warning_instance_text");
    return 2;
  }
  DuiLib::DUI__Trace(u"ilen = %d\r\n", CommandLineLength());

  const kb::AppPaths paths = kb::ResolveAppPaths(kb::ExecutableDirectory());
  kb::app::SetUpSkin(DuiLib::CPaintManagerUI::GetInstancePath() + u"res/");
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
