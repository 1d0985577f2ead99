// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <unordered_map>

#include "ui/internal/accessibility.h"
#include "ui/internal/accessible_naming.h"
#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/window_access.h"
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
  QCoreApplication::postEvent(it->second.second,
                              new internal::MessageEvent(msg, w, l, std::move(release)));
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

RECT ToRect(const QRect& r) {
  return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

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

HWND CWindowWnd::Create(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style,
                        const RECT& rc) {
  return Create(parent, name, style, ex_style, rc.left, rc.top, rc.Width(), rc.Height());
}

HWND CWindowWnd::CreateDuiWindow(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style) {
  return Create(parent, name, style, ex_style, 0, 0, 0, 0);
}

HWND CWindowWnd::Create(HWND parent, const CDuiString& name, DWORD style, DWORD ex_style, int x,
                        int y, int cx, int cy) {
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
  if (!IsPopupWindow()) w_->host->setFixedSize(w_->host->size());
  SetWindowText(name);
  SendMessage(WM_CREATE, 0, 0);
  if (!IsWindow()) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(true);
  return GetHWND();
}

void CWindowWnd::ShowWindow(bool show, bool take_focus) {
  if (!IsWindow()) return;
  if (show) {
    // Popups (menus, drop-downs) are no windows of the task bar: they keep their text.
    if (!IsPopupWindow()) w_->host->setWindowTitle(internal::ToQString(GetDesktopTitle()));
    w_->host->show();
    internal::AccessibleWindowShown(this);
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
  if (CWindowWnd* owner = FromHandle(w_->parent); owner && owner->IsWindowVisible())
    area = owner->GetWindowRect();
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

CDuiString CWindowWnd::GetDesktopTitle() const {
  CDuiString caption = internal::CaptionTitleOf(const_cast<CWindowWnd*>(this));
  if (!caption.IsEmpty()) return caption;
  if (const CWindowWnd* owner = FromHandle(w_->parent); owner != nullptr && owner != this)
    return owner->GetDesktopTitle();
  return w_->title;
}

CDuiString CWindowWnd::GetNativeTitleForTesting() const {
  return w_->host ? internal::FromQString(w_->host->windowTitle()) : CDuiString();
}

void CWindowWnd::SetIcon(const CDuiString& image_file) {
  if (!IsWindow()) return;
  w_->host->setWindowIcon(internal::IconOfImageFile(image_file));
}

RECT CWindowWnd::GetWindowRect() const {
  if (!IsWindow()) return {};
  // The layout's rect: menus and dialogs placed by it land on the controls they belong to.
  return ToRect(
      QRect(w_->host->geometry().topLeft() + w_->host->ContentOffset(), w_->host->ContentSize()));
}

void CWindowWnd::MoveWindow(int x, int y) {
  if (IsWindow()) w_->host->move(x, y);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (!IsWindow() || cx <= 0 || cy <= 0) return;
  // A skinned window has one size: said to the window manager as minimum = maximum, so tiling
  // compositors float it instead of stretching the layout apart. Popups place themselves.
  if (IsPopupWindow())
    w_->host->resize(cx, cy);
  else
    w_->host->setFixedSize(cx, cy);
}

SIZE CWindowWnd::GetClientSize() const {
  if (!w_->host) return {};
  const QSize content = w_->host->ContentSize();
  return SIZE{content.width(), content.height()};
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

void CWindowWnd::OnNativeKey(UINT vkey, WORD key_state, const CDuiString& text) {
  // WM_KEYDOWN carries only the key; the focused control also gets the modifiers and the text.
  w_->key_state = key_state;
  w_->key_text = text;
  HWND self = GetHWND();
  if (vkey)
    SendMessage(WM_KEYDOWN, vkey, 0);
  else if (!text.IsEmpty() && GetPaintManager())
    GetPaintManager()->OnKeyDown(0, key_state, text);
  if (FromHandle(self) == this) w_->key_text.Empty();
}

void CWindowWnd::OnNativeTimer(int native_id) {
  for (auto& [id, qt] : w_->timers)
    if (qt == native_id) {
      SendMessage(WM_TIMER, id, 0);
      return;
    }
}

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
  if (auto* h = window->NativeHostForTesting())
    h->BeginMove(h->ContentToGlobal(QPoint(client_pt.x, client_pt.y)));
}

}  // namespace internal
}  // namespace DuiLib
