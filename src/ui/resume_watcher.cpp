// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/resume_watcher.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace internal {

class ResumeAgent : public QObject {
  Q_OBJECT
 public:
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wparam = 0;
 public slots:
  void OnPrepareForSleep(bool going_to_sleep) {
    if (!going_to_sleep && hwnd) PostMessage(hwnd, message, wparam, 0);
  }
};

}  // namespace internal

namespace {
const char kService[] = "org.freedesktop.login1";
const char kPath[] = "/org/freedesktop/login1";
const char kInterface[] = "org.freedesktop.login1.Manager";
const char kSignal[] = "PrepareForSleep";
}  // namespace

struct CResumeWatcher::Impl {
  internal::ResumeAgent agent;
  bool subscribed = false;
};

CResumeWatcher::CResumeWatcher() : d_(std::make_unique<Impl>()) {}
CResumeWatcher::~CResumeWatcher() { Stop(); }

bool CResumeWatcher::Start(HWND hwnd, UINT message, WPARAM wParam) {
  internal::EnsureApplication();
  Stop();
  d_->agent.hwnd = hwnd;
  d_->agent.message = message;
  d_->agent.wparam = wParam;
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return false;
  d_->subscribed =
      bus.connect(kService, kPath, kInterface, kSignal, &d_->agent, SLOT(OnPrepareForSleep(bool)));
  return d_->subscribed;
}

void CResumeWatcher::StartLater(HWND hwnd, UINT message, WPARAM wParam, int delay_ms) {
  internal::EnsureApplication();
  // Connecting to the system bus is a round trip the first frame need not wait for.
  QTimer::singleShot(delay_ms, &d_->agent,
                     [this, hwnd, message, wParam] { (void)Start(hwnd, message, wParam); });
}

void CResumeWatcher::Stop() {
  if (d_->subscribed) {
    QDBusConnection::systemBus().disconnect(kService, kPath, kInterface, kSignal, &d_->agent,
                                            SLOT(OnPrepareForSleep(bool)));
    d_->subscribed = false;
  }
}

void CResumeWatcher::SimulatePrepareForSleepForTesting(bool going_to_sleep) {
  d_->agent.OnPrepareForSleep(going_to_sleep);
}

}  // namespace DuiLib

#include "resume_watcher.moc"
