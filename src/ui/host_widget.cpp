// SPDX-License-Identifier: GPL-3.0-or-later
// The native widget of a window: Qt's input, paint, timer and posted events become the
// window's messages and its paint manager's input.
#include "ui/internal/host_widget.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "ui/control.h"
#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

namespace DuiLib {
namespace internal {

QEvent::Type MessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

HostWidget::HostWidget(CWindowWnd* window, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), window_(window) {
  InstallAccessibleFactory();
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void HostWidget::BeginMove(QPoint global_pos) {
  moving_ = true;
  move_press_ = global_pos;
  move_origin_ = pos();
}

QSize HostWidget::ContentSize() const {
  const QSize fixed = minimumSize();
  return fixed == maximumSize() && !fixed.isEmpty() ? fixed : size();
}

QPoint HostWidget::ContentOffset() const {
  const QSize spare = size() - ContentSize();
  return QPoint(std::max(0, spare.width() / 2), std::max(0, spare.height() / 2));
}

bool HostWidget::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip && window_ && window_->GetPaintManager()) {
    auto* help = static_cast<QHelpEvent*>(e);
    const QPoint at = ToContent(help->pos());
    CControlUI* c = window_->GetPaintManager()->FindControl(POINT{at.x(), at.y()});
    if (c && !c->GetToolTip().IsEmpty())
      QToolTip::showText(help->globalPos(), ToQString(c->GetToolTip()), this);
    else
      QToolTip::hideText();
    return true;
  }
  if (e->type() == MessageEvent::EventType()) {
    auto* m = static_cast<MessageEvent*>(e);
    m->MarkDelivered();
    if (window_) window_->DeliverPosted(m->msg(), m->wparam(), m->lparam());
    return true;
  }
  return QWidget::event(e);
}

void HostWidget::paintEvent(QPaintEvent*) {
  if (!window_) return;
  CPaintManagerUI* pm = window_->GetPaintManager();
  if (!pm) return;
  QPainter p(this);
  const QSize content = ContentSize();
  if (content != size()) {
    // The margin a forced size leaves takes the skin's window colour.
    DWORD back = 0;
    p.fillRect(rect(), ParseColor(u"window", back, pm) ? QColor::fromRgba(back)
                                                       : palette().color(QPalette::Window));
    p.translate(ContentOffset());
  }
  CPaintContext ctx(p, pm);
  pm->Paint(ctx, RECT{0, 0, content.width(), content.height()});
}

POINT HostWidget::Pt(const QMouseEvent* e) const {
  const QPoint p = ToContent(e->position());
  return POINT{p.x(), p.y()};
}

void HostWidget::mouseMoveEvent(QMouseEvent* e) {
  if (moving_) {
    move(move_origin_ + (e->globalPosition().toPoint() - move_press_));
    return;
  }
  if (window_ && window_->GetPaintManager())
    window_->GetPaintManager()->OnMouseMove(Pt(e), KeyStateFromQt(e->modifiers()));
}

void HostWidget::mousePressEvent(QMouseEvent* e) {
  if (!window_ || !window_->GetPaintManager()) return;
  CPaintManagerUI* pm = window_->GetPaintManager();
  bool right = e->button() == Qt::RightButton;
  bool caption = !right && pm->IsInCaption(Pt(e));
  pm->OnButtonDown(Pt(e), right, false, KeyStateFromQt(e->modifiers()));
  if (caption && window_) BeginMove(e->globalPosition().toPoint());
}

void HostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  if (!window_ || !window_->GetPaintManager()) return;
  window_->GetPaintManager()->OnButtonDown(Pt(e), e->button() == Qt::RightButton, true,
                                           KeyStateFromQt(e->modifiers()));
}

void HostWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (moving_) {
    moving_ = false;
  }
  if (window_ && window_->GetPaintManager())
    window_->GetPaintManager()->OnButtonUp(Pt(e), e->button() == Qt::RightButton,
                                           KeyStateFromQt(e->modifiers()));
}

void HostWidget::wheelEvent(QWheelEvent* e) {
  if (!window_ || !window_->GetPaintManager()) return;
  const QPoint p = ToContent(e->position());
  window_->GetPaintManager()->OnMouseWheel(POINT{p.x(), p.y()}, e->angleDelta().y());
}

void HostWidget::leaveEvent(QEvent*) {
  if (window_ && window_->GetPaintManager()) window_->GetPaintManager()->OnMouseLeave();
}

void HostWidget::keyPressEvent(QKeyEvent* e) {
  if (!window_) return;
  window_->OnNativeKey(VirtualKeyFromQt(e->key()), KeyStateFromQt(e->modifiers()),
                       FromQString(e->text()));
}

void HostWidget::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  if (!AccessibleObjectsInUse()) return;
  // Qt announces this widget; after it, a reader is sent on to the control that has the focus.
  QMetaObject::invokeMethod(
      this,
      [this] {
        CPaintManagerUI* pm = window_ ? window_->GetPaintManager() : nullptr;
        if (pm && pm->GetFocus()) AccessibleChanged(pm->GetFocus(), AccessibleChange::kFocus);
      },
      Qt::QueuedConnection);
}

void HostWidget::closeEvent(QCloseEvent* e) {
  if (!window_) {
    e->accept();
    return;
  }
  // The system (or a click outside a popup) asks to close: the window decides through WM_CLOSE.
  if (window_->IsPopupWindow()) {
    e->accept();
    window_->PostMessage(WM_CLOSE, 0, 0);
  } else {
    e->ignore();
    window_->SendMessage(WM_CLOSE, 0, 0);
  }
}

void HostWidget::resizeEvent(QResizeEvent*) {
  if (window_ && window_->GetPaintManager()) window_->GetPaintManager()->NeedUpdate();
}

void HostWidget::timerEvent(QTimerEvent* e) {
  if (window_) window_->OnNativeTimer(e->timerId());
}

UINT VirtualKeyFromQt(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<UINT>('A' + (k - Qt::Key_A));
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<UINT>('0' + (k - Qt::Key_0));
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<UINT>(0x70 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // what X11 reports for Shift+Tab; the Shift is in the modifiers
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Delete:
      return VK_DELETE;
    default:
      return 0;
  }
}

WORD KeyStateFromQt(Qt::KeyboardModifiers mods) {
  WORD s = 0;
  if (mods & Qt::ShiftModifier) s |= UIKEY_SHIFT;
  if (mods & Qt::ControlModifier) s |= UIKEY_CONTROL;
  if (mods & Qt::AltModifier) s |= UIKEY_ALT;
  return s;
}

}  // namespace internal
}  // namespace DuiLib
