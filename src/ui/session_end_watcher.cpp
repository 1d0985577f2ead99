// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/session_end_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <pthread.h>
#include <QGuiApplication>
#include <QObject>
#include <QSessionManager>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>

#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler may only write to a descriptor; the UI thread reads the pipe.
std::atomic<int> g_write_end{-1};

sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int number : kSignals) sigaddset(&set, number);
  return set;
}

void OnSignal(int number) {
  const int fd = g_write_end.load();
  if (fd < 0) return;
  const unsigned char byte = static_cast<unsigned char>(number);
  const int saved = errno;
  (void)!write(fd, &byte, 1);
  errno = saved;
}

}  // namespace

struct CSessionEndWatcher::Impl {
  HWND hwnd = nullptr;
  UINT message = 0;
  int pipe[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  QMetaObject::Connection commit;
  struct sigaction previous[std::size(kSignals)] = {};
  bool installed = false;
};

void CSessionEndWatcher::HoldSignalsUntilStart() {
  const sigset_t set = WatchedSignals();
  (void)pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

// On this thread, with whatever handlers the signals have by then.
void CSessionEndWatcher::ReleaseHeldSignals() {
  const sigset_t set = WatchedSignals();
  (void)pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

CSessionEndWatcher::CSessionEndWatcher() : d_(std::make_unique<Impl>()) {}
CSessionEndWatcher::~CSessionEndWatcher() { Stop(); }

bool CSessionEndWatcher::Start(HWND hwnd, UINT message) {
  internal::EnsureApplication();
  Stop();
  d_->hwnd = hwnd;
  d_->message = message;
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    d_->commit = QObject::connect(
        app, &QGuiApplication::commitDataRequest,
        [this](QSessionManager&) { PostMessage(d_->hwnd, d_->message, kSaveRequest, 0); });
  }
  if (pipe2(d_->pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    ReleaseHeldSignals();
    return false;
  }
  g_write_end = d_->pipe[1];
  d_->notifier = std::make_unique<QSocketNotifier>(d_->pipe[0], QSocketNotifier::Read);
  QObject::connect(d_->notifier.get(), &QSocketNotifier::activated, [this] {
    unsigned char byte = 0;
    while (read(d_->pipe[0], &byte, 1) == 1)
      PostMessage(d_->hwnd, d_->message, kTerminate, static_cast<LPARAM>(byte));
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    if (sigaction(kSignals[i], &action, &d_->previous[i]) != 0) {
      Stop();
      ReleaseHeldSignals();
      return false;
    }
  d_->installed = true;
  ReleaseHeldSignals();
  return true;
}

void CSessionEndWatcher::Stop() {
  if (d_->installed) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
      (void)sigaction(kSignals[i], &d_->previous[i], nullptr);
    d_->installed = false;
  }
  QObject::disconnect(d_->commit);
  d_->notifier.reset();
  g_write_end = -1;
  for (int& fd : d_->pipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

}  // namespace DuiLib
