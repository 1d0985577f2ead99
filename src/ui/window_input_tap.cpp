// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_input_tap.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace DuiLib {
namespace {

// X button numbers of Qt's buttons; 0 for buttons X does not number.
unsigned XButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::MiddleButton:
      return 2;
    case Qt::RightButton:
      return 3;
    case Qt::BackButton:
      return 8;
    case Qt::ForwardButton:
      return 9;
    default:
      return 0;
  }
}

constexpr int kWheelNotch = 120;  // Qt's angle delta of one notch

}  // namespace

class CWindowInputTap::Filter final : public QObject {
 public:
  explicit Filter(Observer observer) : observer_(std::move(observer)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // A window's input is passed on from its native window to the widget under it, and the
    // application's filters see each of those sends; the native window's is the one per event.
    if (watched->isWindowType()) Observe(event);
    return false;
  }

 private:
  void Observe(QEvent* event) {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat() || key->nativeScanCode() == 0) return;
        observer_({WindowInputEvent::Kind::kKey, key->nativeScanCode(),
                   event->type() == QEvent::KeyPress});
        return;
      }
      // A double click's second press arrives as a press and again as a double-click event;
      // only the press counts.
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease: {
        const unsigned button = XButtonOf(static_cast<QMouseEvent*>(event)->button());
        if (button != 0)
          observer_(
              {WindowInputEvent::Kind::kButton, button, event->type() == QEvent::MouseButtonPress});
        return;
      }
      case QEvent::Wheel:
        ObserveWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return;
      default:
        return;
    }
  }

  // Fine-grained wheels and touchpads send parts of a notch; whole notches are reported, as the
  // X server reports them.
  void ObserveWheel(int delta) {
    if (delta == 0) return;
    if ((delta > 0 && wheel_rest_ < 0) || (delta < 0 && wheel_rest_ > 0)) wheel_rest_ = 0;
    wheel_rest_ += delta;
    while (wheel_rest_ >= kWheelNotch) {
      wheel_rest_ -= kWheelNotch;
      observer_({WindowInputEvent::Kind::kButton, 4, true});
    }
    while (wheel_rest_ <= -kWheelNotch) {
      wheel_rest_ += kWheelNotch;
      observer_({WindowInputEvent::Kind::kButton, 5, true});
    }
  }

  Observer observer_;
  int wheel_rest_ = 0;
};

CWindowInputTap::CWindowInputTap(Observer observer)
    : filter_(std::make_unique<Filter>(std::move(observer))) {
  // Without the application object there are no windows to hear.
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->installEventFilter(filter_.get());
}

CWindowInputTap::~CWindowInputTap() {
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->removeEventFilter(filter_.get());
}

bool CWindowInputTap::WindowsOnXDisplay() {
  return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool CWindowInputTap::WindowsOnWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace DuiLib
