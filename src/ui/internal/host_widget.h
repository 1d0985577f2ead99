// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one native widget behind a CWindowWnd: it turns Qt input, paint, timer and posted events
// into the window's messages and its paint manager's input.

#include <QEvent>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "ui/ui_types.h"

namespace DuiLib {
class CWindowWnd;
namespace internal {

// A posted window message. `release` runs when the message is dropped undelivered (the window
// died first), so records carried in wParam are not leaked.
class MessageEvent : public QEvent {
 public:
  static QEvent::Type EventType();
  MessageEvent(UINT msg, WPARAM w, LPARAM l, std::function<void()> release)
      : QEvent(EventType()), msg_(msg), w_(w), l_(l), release_(std::move(release)) {}
  ~MessageEvent() override {
    if (release_) release_();
  }
  UINT msg() const { return msg_; }
  WPARAM wparam() const { return w_; }
  LPARAM lparam() const { return l_; }
  void MarkDelivered() { release_ = nullptr; }

 private:
  UINT msg_;
  WPARAM w_;
  LPARAM l_;
  std::function<void()> release_;
};

class HostWidget : public QWidget {
 public:
  HostWidget(CWindowWnd* window, Qt::WindowFlags flags);
  void Detach() { window_ = nullptr; }
  CWindowWnd* window() const { return window_; }
  void BeginMove(QPoint global_pos);

  // The size the layout is made for: the fixed size said to the window manager, or the widget's
  // own when it has none (popups).
  QSize ContentSize() const;
  // Where the layout starts in the widget. A window manager may still force a bigger size than
  // the fixed one (X11 tiling ones do); the layout then stays whole, centred in the widget.
  QPoint ContentOffset() const;
  QPoint ToContent(QPointF widget_pos) const { return widget_pos.toPoint() - ContentOffset(); }
  QPoint ContentToGlobal(QPoint content_pos) const {
    return mapToGlobal(content_pos + ContentOffset());
  }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  // Tab and Shift+Tab move the focus among the window's controls, which the paint manager
  // orders; Qt's widget focus chain (this widget alone) never takes them.
  bool focusNextPrevChild(bool) override { return false; }
  void focusInEvent(QFocusEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void timerEvent(QTimerEvent* e) override;

 private:
  POINT Pt(const QMouseEvent* e) const;  // in the layout's coordinates

  CWindowWnd* window_;
  bool moving_ = false;
  QPoint move_press_;
  QPoint move_origin_;
};

// Windows virtual-key code of a Qt key (0 when the library has none for it).
UINT VirtualKeyFromQt(int qt_key);
WORD KeyStateFromQt(Qt::KeyboardModifiers mods);

}  // namespace internal
}  // namespace DuiLib
