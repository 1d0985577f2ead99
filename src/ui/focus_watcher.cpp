// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focus_watcher.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ui/focus/focus_source.h"
#include "ui/focus/i3_ipc_focus_source.h"
#include "ui/focus/kwin_focus_source.h"
#include "ui/focus/x11_focus_source.h"
#include "ui/internal/paint_context.h"
#include "ui/window.h"

namespace DuiLib {
namespace {

// Why a desktop that fits none of the sources does not tell, as the user reads it.
std::string NoSourceReason() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const std::string name = desktop != nullptr && *desktop != '\0' ? desktop : "this desktop";
  if (wayland != nullptr && *wayland != '\0')
    return name +
           " on Wayland gives no program the window in front (sway, i3 and KDE Plasma do; on X11 "
           "every desktop does)";
  return "the program does not run on X11, sway, i3 or KDE Plasma, the desktops that say which "
         "window is in front";
}

}  // namespace

struct CFocusWatcher::Impl {
  HWND hwnd = nullptr;
  UINT message = 0;
  std::string current;
  std::string unavailable;
  std::unique_ptr<internal::FocusSource> source;

  void Changed(const std::string& name) {
    if (name == current) return;
    current = name;
    PostMessage(hwnd, message, 0, 0);
  }

  // sway and i3 first: they tell for their Wayland and X11 windows alike, where the program
  // itself may run on either. Then KWin on Wayland; then the X server the program runs on. On
  // Wayland with the program on Xwayland, the X server knows only the X11 windows: no source.
  std::unique_ptr<internal::FocusSource> Choose() {
    if (internal::I3IpcFocusSource::Fits()) return std::make_unique<internal::I3IpcFocusSource>();
    const bool has_x11 = internal::X11FocusSource::Fits();
    if (internal::KWinFocusSource::Fits(has_x11))
      return std::make_unique<internal::KWinFocusSource>();
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (has_x11 && (wayland == nullptr || *wayland == '\0'))
      return std::make_unique<internal::X11FocusSource>();
    return nullptr;
  }
};

CFocusWatcher::CFocusWatcher() : d_(std::make_unique<Impl>()) {}
CFocusWatcher::~CFocusWatcher() { Stop(); }

bool CFocusWatcher::Start(HWND hwnd, UINT message) {
  internal::EnsureApplication();
  Stop();
  d_->hwnd = hwnd;
  d_->message = message;
  d_->source = d_->Choose();
  if (d_->source == nullptr) {
    d_->unavailable = NoSourceReason();
    return false;
  }
  const kb::Status started =
      d_->source->Start([this](const std::string& app) { d_->Changed(app); });
  if (!started.ok()) {
    d_->source.reset();
    d_->unavailable = started.reason();
    return false;
  }
  d_->unavailable.clear();
  return true;
}

void CFocusWatcher::Stop() {
  if (d_->source != nullptr) d_->source->Stop();
  d_->source.reset();
}

const std::string& CFocusWatcher::Current() const { return d_->current; }
const std::string& CFocusWatcher::Unavailable() const { return d_->unavailable; }

std::vector<std::string> CFocusWatcher::OpenApplications() const {
  std::vector<std::string> names;
  if (d_->source != nullptr) names = d_->source->OpenApplications();
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace DuiLib
