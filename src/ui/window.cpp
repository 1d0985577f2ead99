#include "ui/window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <unordered_map>

#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/window_access.h"
#include "ui/control.h"
#include "ui/paint_manager.h"

namespace DuiLib {
namespace {

// Internal request: destroy the window once the event that asked for it is finished.
constexpr UINT kDestroyRequest = 0x7FFF0001;

// Handles of live windows. Posts look the receiver up under the lock, so a window being
// destroyed on the UI thread never receives a post half-way.
struct Registry {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::pair<CWindowWnd*, QObject*>> map;
  std::uintptr_t next = 1;
};

Registry& Reg() {
  static Registry* r = new Registry;
  return *r;
}

std::uintptr_t IdOf(HWND h) { return reinterpret_cast<std::uintptr_t>(h); }
HWND HandleFromId(std::uintptr_t id) { return reinterpret_cast<HWND>(id); }

bool PostToId(std::uintptr_t id, UINT msg, WPARAM w, LPARAM l, std::function<void()> release) {
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  auto it = r.map.find(id);
  if (it == r.map.end()) {
    if (release) release();
    return false;
  }
  QCoreApplication::postEvent(it->second.second, new internal::MessageEvent(msg, w, l, std::move(release)));
  return true;
}

void PostThunk(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  PostToId(reinterpret_cast<std::uintptr_t>(context), message, wparam, lparam, nullptr);
}

struct ModalState {
  QEventLoop* loop = nullptr;
  UINT code = 0;
  bool done = false;
};

CWindowWnd::ModalHook& Hook() {
  static CWindowWnd::ModalHook* hook = new CWindowWnd::ModalHook;
  return *hook;
}

std::vector<HWND>& ModalStack() {
  static std::vector<HWND>* stack = new std::vector<HWND>;
  return *stack;
}

std::vector<CWindowWnd*>& OpenWindows() {
  static std::vector<CWindowWnd*>* list = new std::vector<CWindowWnd*>;
  return *list;
}

RECT ToRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// Brackets window-message handling like input, so controls removed by a handler die after it.
struct ManagerDispatch {
  CPaintManagerUI* pm;
  explicit ManagerDispatch(CPaintManagerUI* p) : pm(p) {
    if (pm) pm->BeginDispatch();
  }
  ~ManagerDispatch() {
    if (pm) pm->EndDispatch();
  }
};

}  // namespace

struct CWindowWnd::Impl {
  std::uintptr_t id = 0;
  internal::HostWidget* host = nullptr;
  HWND parent = nullptr;
  CDuiString title;
  bool destroyed = false;
  UINT close_code = 0;
  std::shared_ptr<ModalState> modal;
  std::map<UINT, int> timers;  // id -> Qt timer id
  WORD key_state = 0;
  CDuiString key_text;
};

CWindowWnd::CWindowWnd() : w_(std::make_unique<Impl>()) {}

CWindowWnd::~CWindowWnd() {
  if (w_->host && !w_->destroyed) {
    {
      Registry& r = Reg();
      std::lock_guard lock(r.mutex);
      r.map.erase(w_->id);
    }
    w_->host->Detach();
    w_->host->hide();
    w_->host->deleteLater();
    w_->host = nullptr;
    if (w_->modal) {
      w_->modal->done = true;
      if (w_->modal->loop) w_->modal->loop->quit();
    }
  }
  auto& open = OpenWindows();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

HWND CWindowWnd::GetHWND() const { return HandleFromId(w_->id); }

CWindowWnd* CWindowWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  auto it = r.map.find(IdOf(hwnd));
  return it == r.map.end() ? nullptr : it->second.first;
}

bool CWindowWnd::IsWindow() const { return w_->host && !w_->destroyed; }

HWND CWindowWnd::Create(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style, const RECT& rc) {
  return Create(parent, name, style, ex_style, rc.left, rc.top, rc.Width(), rc.Height());
}

HWND CWindowWnd::CreateDuiWindow(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style) {
  return Create(parent, name, style, ex_style, 0, 0, 0, 0);
}

HWND CWindowWnd::Create(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style, int x, int y, int cx,
                        int cy) {
  internal::EnsureApplication();
  if (w_->host) return GetHWND();
  Qt::WindowFlags flags = IsPopupWindow() ? Qt::Popup : Qt::Window;
  flags |= Qt::FramelessWindowHint;
  if (ex_style & WS_EX_TOOLWINDOW) flags |= Qt::Tool;
  w_->host = new internal::HostWidget(this, flags);
  w_->destroyed = false;
  {
    Registry& r = Reg();
    std::lock_guard lock(r.mutex);
    w_->id = r.next++;
    r.map[w_->id] = {this, w_->host};
  }
  OpenWindows().push_back(this);
  w_->parent = parent;
  if (CWindowWnd* owner = FromHandle(parent); owner && owner->w_->host) {
    w_->host->winId();
    owner->w_->host->winId();
    if (w_->host->windowHandle() && owner->w_->host->windowHandle())
      w_->host->windowHandle()->setTransientParent(owner->w_->host->windowHandle());
  }
  w_->host->setGeometry(x, y, cx > 0 ? cx : 100, cy > 0 ? cy : 100);
  SetWindowText(name);
  SendMessage(WM_CREATE, 0, 0);
  if (!IsWindow()) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(true);
  return GetHWND();
}

void CWindowWnd::ShowWindow(bool show, bool take_focus) {
  if (!IsWindow()) return;
  if (show) {
    w_->host->show();
    if (take_focus) {
      // The offscreen platform (tests) has no stacking order to change.
      if (QGuiApplication::platformName() != QStringLiteral("offscreen")) w_->host->raise();
      w_->host->activateWindow();
    }
  } else {
    w_->host->hide();
  }
}

bool CWindowWnd::IsWindowVisible() const { return IsWindow() && w_->host->isVisible(); }

bool CWindowWnd::IsModal() const { return w_->modal && !w_->modal->done; }

UINT CWindowWnd::ShowModal() {
  if (!IsWindow()) return 0;
  auto state = std::make_shared<ModalState>();
  QEventLoop loop;
  state->loop = &loop;
  w_->modal = state;
  HWND self = GetHWND();
  ModalStack().push_back(self);
  // Qt takes the modality of a window only when it is shown, so a window created visible is
  // shown again.
  if (w_->host->isVisible()) w_->host->hide();
  w_->host->setWindowModality(Qt::ApplicationModal);
  ShowWindow(true);
  if (Hook()) {
    QTimer::singleShot(0, w_->host, [self] {
      if (CWindowWnd* w = FromHandle(self); w && Hook()) Hook()(*w);
    });
  }
  if (!state->done) loop.exec();
  state->loop = nullptr;
  auto& stack = ModalStack();
  stack.erase(std::remove(stack.begin(), stack.end(), self), stack.end());
  return state->code;
}

void CWindowWnd::Close(UINT ret) { PostMessage(WM_CLOSE, ret, 0); }

void CWindowWnd::DestroyWindow() { PostMessage(kDestroyRequest, 0, 0); }

void CWindowWnd::DestroyNow() {
  if (!w_->host || w_->destroyed) return;
  w_->destroyed = true;
  HWND self = GetHWND();
  {
    ManagerDispatch guard(GetPaintManager());
    HandleMessage(WM_DESTROY, 0, 0);
  }
  for (auto& [id, qt] : w_->timers) w_->host->killTimer(qt);
  w_->timers.clear();
  {
    Registry& r = Reg();
    std::lock_guard lock(r.mutex);
    r.map.erase(w_->id);
  }
  w_->host->Detach();
  w_->host->hide();
  w_->host->deleteLater();
  w_->host = nullptr;
  if (auto m = w_->modal) {
    m->code = w_->close_code;
    m->done = true;
    if (m->loop) m->loop->quit();
  }
  auto& open = OpenWindows();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  OnFinalMessage(self);
}

void CWindowWnd::OnFinalMessage(HWND) {}

void CWindowWnd::CenterWindow() {
  if (!IsWindow()) return;
  RECT area = GetWorkArea();
  if (CWindowWnd* owner = FromHandle(w_->parent); owner && owner->IsWindowVisible()) area = owner->GetWindowRect();
  QSize sz = w_->host->size();
  int x = area.left + (area.Width() - sz.width()) / 2;
  int y = area.top + (area.Height() - sz.height()) / 2;
  RECT screen = GetWorkArea();
  if (!screen.IsEmpty()) {
    x = std::clamp(x, screen.left, std::max(screen.left, screen.right - sz.width()));
    y = std::clamp(y, screen.top, std::max(screen.top, screen.bottom - sz.height()));
  }
  w_->host->move(x, y);
}

void CWindowWnd::BringToFront() {
  if (!IsWindow()) return;
  if (w_->host->isMinimized()) w_->host->showNormal();
  w_->host->show();
  if (QGuiApplication::platformName() != QStringLiteral("offscreen")) w_->host->raise();
  w_->host->activateWindow();
}

bool CWindowWnd::IsMinimized() const { return IsWindow() && w_->host->isMinimized(); }

void CWindowWnd::Restore() {
  if (IsWindow()) w_->host->showNormal();
}

void CWindowWnd::Minimize() {
  if (IsWindow()) w_->host->showMinimized();
}

void CWindowWnd::SetWindowText(const CDuiString& text) {
  w_->title = text;
  if (w_->host) w_->host->setWindowTitle(internal::ToQString(text));
}

CDuiString CWindowWnd::GetWindowText() const { return w_->title; }

void CWindowWnd::SetIcon(const CDuiString& image_file) {
  if (!IsWindow()) return;
  std::filesystem::path p(image_file.ToUtf8());
  if (p.is_relative()) p = std::filesystem::path(CPaintManagerUI::GetResourcePath().ToUtf8()) / p;
  w_->host->setWindowIcon(QIcon(QString::fromStdString(p.string())));
}

RECT CWindowWnd::GetWindowRect() const {
  if (!IsWindow()) return {};
  return ToRect(w_->host->geometry());
}

void CWindowWnd::MoveWindow(int x, int y) {
  if (IsWindow()) w_->host->move(x, y);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (IsWindow() && cx > 0 && cy > 0) w_->host->resize(cx, cy);
}

SIZE CWindowWnd::GetClientSize() const {
  if (!w_->host) return {};
  return SIZE{w_->host->width(), w_->host->height()};
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!w_->host || w_->destroyed) return 0;
  if (msg == WM_CLOSE) w_->close_code = static_cast<UINT>(wParam);
  ManagerDispatch guard(GetPaintManager());
  return HandleMessage(msg, wParam, lParam);
}

bool CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return PostToId(w_->id, msg, wParam, lParam, nullptr);
}

kb_message_target CWindowWnd::GetMessageTarget() const { return MessageTargetOf(GetHWND()); }

void CWindowWnd::DeliverPosted(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kDestroyRequest) {
    DestroyNow();
    return;
  }
  SendMessage(msg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_KEYDOWN:
      if (CPaintManagerUI* pm = GetPaintManager())
        return pm->OnKeyDown(static_cast<UINT>(wParam), w_->key_state, w_->key_text) ? 1 : 0;
      return 0;
    default:
      return 0;
  }
}

bool CWindowWnd::SetTimer(UINT id, UINT elapse_ms) {
  if (!IsWindow()) return false;
  KillTimer(id);
  int qt = w_->host->startTimer(static_cast<int>(elapse_ms));
  if (qt == 0) return false;
  w_->timers[id] = qt;
  return true;
}

bool CWindowWnd::KillTimer(UINT id) {
  auto it = w_->timers.find(id);
  if (it == w_->timers.end()) return false;
  if (w_->host) w_->host->killTimer(it->second);
  w_->timers.erase(it);
  return true;
}

bool CWindowWnd::FireTimerForTesting(UINT id) {
  if (!w_->timers.count(id)) return false;
  SendMessage(WM_TIMER, id, 0);
  return true;
}

void CWindowWnd::SetModalHookForTesting(ModalHook hook) { Hook() = std::move(hook); }

CWindowWnd* CWindowWnd::GetActiveModal() {
  auto& stack = ModalStack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it)
    if (CWindowWnd* w = FromHandle(*it)) return w;
  return nullptr;
}

std::vector<CWindowWnd*> CWindowWnd::GetOpenWindows() { return OpenWindows(); }

internal::HostWidget* CWindowWnd::NativeHostForTesting() const { return w_->host; }

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return PostToId(IdOf(hwnd), msg, wParam, lParam, nullptr);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* w = CWindowWnd::FromHandle(hwnd);
  return w ? w->SendMessage(msg, wParam, lParam) : 0;
}

bool IsWindow(HWND hwnd) { return CWindowWnd::FromHandle(hwnd) != nullptr; }

kb_message_target MessageTargetOf(HWND hwnd) {
  kb_message_target t;
  t.post = &PostThunk;
  t.context = reinterpret_cast<void*>(IdOf(hwnd));
  return t;
}

bool GetWindowRect(HWND hwnd, RECT* rc) {
  CWindowWnd* w = CWindowWnd::FromHandle(hwnd);
  if (!w || !rc) return false;
  *rc = w->GetWindowRect();
  return true;
}

POINT GetCursorPos() {
  internal::EnsureApplication();
  QPoint p = QCursor::pos();
  return POINT{p.x(), p.y()};
}

RECT GetScreenRect() {
  internal::EnsureApplication();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? ToRect(s->geometry()) : RECT{};
}

RECT GetWorkArea() {
  internal::EnsureApplication();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? ToRect(s->availableGeometry()) : RECT{};
}

namespace internal {

bool PostWithRelease(HWND hwnd, UINT msg, WPARAM w, LPARAM l, std::function<void()> release) {
  return PostToId(IdOf(hwnd), msg, w, l, std::move(release));
}

void RequestRepaint(CWindowWnd* window) {
  if (auto* h = window->NativeHostForTesting()) h->update();
}

void RepaintNow(CWindowWnd* window) {
  if (auto* h = window->NativeHostForTesting(); h && h->isVisible()) h->repaint();
}

SIZE ClientSizeOf(const CWindowWnd* window) { return window->GetClientSize(); }

HWND HandleOf(const CWindowWnd* window) { return window->GetHWND(); }

void BeginWindowMove(CWindowWnd* window, POINT client_pt) {
  if (auto* h = window->NativeHostForTesting()) h->BeginMove(h->mapToGlobal(QPoint(client_pt.x, client_pt.y)));
}

QEvent::Type MessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

HostWidget::HostWidget(CWindowWnd* window, Qt::WindowFlags flags) : QWidget(nullptr, flags), window_(window) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void HostWidget::BeginMove(QPoint global_pos) {
  moving_ = true;
  move_press_ = global_pos;
  move_origin_ = pos();
}

bool HostWidget::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip && window_ && window_->GetPaintManager()) {
    auto* help = static_cast<QHelpEvent*>(e);
    CControlUI* c = window_->GetPaintManager()->FindControl(POINT{help->pos().x(), help->pos().y()});
    if (c && !c->GetToolTip().IsEmpty()) QToolTip::showText(help->globalPos(), ToQString(c->GetToolTip()), this);
    else QToolTip::hideText();
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
  CPaintContext ctx(p, pm);
  pm->Paint(ctx, RECT{0, 0, width(), height()});
}

namespace {
POINT Pt(const QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  return POINT{p.x(), p.y()};
}
}  // namespace

void HostWidget::mouseMoveEvent(QMouseEvent* e) {
  if (moving_) {
    move(move_origin_ + (e->globalPosition().toPoint() - move_press_));
    return;
  }
  if (window_ && window_->GetPaintManager()) window_->GetPaintManager()->OnMouseMove(Pt(e), KeyStateFromQt(e->modifiers()));
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
  window_->GetPaintManager()->OnButtonDown(Pt(e), e->button() == Qt::RightButton, true, KeyStateFromQt(e->modifiers()));
}

void HostWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (moving_) {
    moving_ = false;
  }
  if (window_ && window_->GetPaintManager())
    window_->GetPaintManager()->OnButtonUp(Pt(e), e->button() == Qt::RightButton, KeyStateFromQt(e->modifiers()));
}

void HostWidget::wheelEvent(QWheelEvent* e) {
  if (!window_ || !window_->GetPaintManager()) return;
  QPoint p = e->position().toPoint();
  window_->GetPaintManager()->OnMouseWheel(POINT{p.x(), p.y()}, e->angleDelta().y());
}

void HostWidget::leaveEvent(QEvent*) {
  if (window_ && window_->GetPaintManager()) window_->GetPaintManager()->OnMouseLeave();
}

void HostWidget::keyPressEvent(QKeyEvent* e) {
  if (!window_) return;
  UINT vk = VirtualKeyFromQt(e->key());
  window_->w_->key_state = KeyStateFromQt(e->modifiers());
  window_->w_->key_text = FromQString(e->text());
  if (vk) {
    window_->SendMessage(WM_KEYDOWN, vk, 0);
  } else if (!e->text().isEmpty() && window_->GetPaintManager()) {
    window_->GetPaintManager()->OnKeyDown(0, window_->w_->key_state, window_->w_->key_text);
  }
  if (window_) window_->w_->key_text.Empty();
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
  if (!window_) return;
  for (auto& [id, qt] : window_->w_->timers)
    if (qt == e->timerId()) {
      window_->SendMessage(WM_TIMER, id, 0);
      return;
    }
}

UINT VirtualKeyFromQt(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<UINT>('A' + (k - Qt::Key_A));
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<UINT>('0' + (k - Qt::Key_0));
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<UINT>(0x70 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
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
