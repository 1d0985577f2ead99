// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/paint_manager.h"

#include <QApplication>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <map>
#include <unordered_map>

#include "common/app_directory.h"
#include "ui/container.h"
#include "ui/control.h"
#include "ui/internal/accessibility.h"
#include "ui/internal/keyboard_focus.h"
#include "ui/internal/paint_context.h"
#include "ui/internal/window_access.h"
#include "ui/theme.h"

namespace DuiLib {
namespace {

CDuiString& ResourcePathStorage() {
  static CDuiString* path = new CDuiString;
  return *path;
}

thread_local CPaintManagerUI* t_building = nullptr;

}  // namespace

namespace internal {
CPaintManagerUI* BuildingManager() { return t_building; }
void SetBuildingManager(CPaintManagerUI* pm) { t_building = pm; }

// Delivers Qt timer events of control timers back to the paint manager.
class TimerAgent : public QObject {
 public:
  explicit TimerAgent(std::function<void(int)> on_timer) : on_timer_(std::move(on_timer)) {}
  void timerEvent(QTimerEvent* e) override { on_timer_(e->timerId()); }

 private:
  std::function<void(int)> on_timer_;
};
}  // namespace internal

struct CPaintManagerUI::Impl {
  CWindowWnd* window = nullptr;
  CControlUI* root = nullptr;
  SIZE client{0, 0};
  SIZE init{0, 0};
  RECT caption;
  std::unordered_map<CDuiString, CControlUI*> names;
  std::vector<INotifyUI*> notifiers;
  CControlUI* focus = nullptr;
  CControlUI* hover = nullptr;
  CControlUI* capture = nullptr;
  CControlUI* event_target = nullptr;  // cleared when reaped, so dispatch can tell
  CControlUI* press_target = nullptr;
  std::map<CDuiString, std::vector<CControlUI*>> groups;
  struct Timer {
    CControlUI* control;
    UINT id;
    int qt_id;
  };
  std::vector<Timer> timers;
  std::unique_ptr<internal::TimerAgent> timer_agent;
  bool need_update = true;
  bool repaint_requested = false;  // one request per frame, however many controls change
  int dispatch_depth = 0;
  std::vector<CControlUI*> cleanup;
  CTheme local_theme;
  bool focus_visible = false;
  // The member of each focus group that had the focus last: Tab returns there.
  std::unordered_map<CControlUI*, CControlUI*> group_focus;
};

namespace {
// The ring's colour when the theme names none.
constexpr DWORD kDefaultFocusRing = 0xFF52BBF0;
}  // namespace

CPaintManagerUI::CPaintManagerUI() : d_(std::make_unique<Impl>()) {}

CPaintManagerUI::~CPaintManagerUI() {
  for (auto& t : d_->timers)
    if (d_->timer_agent) d_->timer_agent->killTimer(t.qt_id);
  d_->timers.clear();
  CControlUI* root = d_->root;
  d_->root = nullptr;
  delete root;
  for (CControlUI* c : d_->cleanup) delete c;
  d_->cleanup.clear();
}

void CPaintManagerUI::Init(CWindowWnd* window) {
  internal::EnsureApplication();
  d_->window = window;
}

CWindowWnd* CPaintManagerUI::GetWindow() const { return d_->window; }
HWND CPaintManagerUI::GetPaintWindow() const {
  return d_->window ? internal::HandleOf(d_->window) : nullptr;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  if (d_->root) {
    CControlUI* old = d_->root;
    d_->root = nullptr;
    SetFocus(nullptr);
    // Out of the name map before the new tree registers the same names.
    old->SetManager(nullptr, nullptr, false);
    DeleteWhenIdle(old);
  }
  d_->root = root;
  InitControls(root, nullptr);
  NeedUpdate();
  return true;
}

CControlUI* CPaintManagerUI::GetRoot() const { return d_->root; }

void CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
  if (!control) return;
  control->SetManager(this, parent, true);
  control->ForEach(
      [](CControlUI* c, void*) {
        if (!c->IsInited()) {
          c->MarkInited();
          c->DoInit();
        }
      },
      nullptr);
}

SIZE CPaintManagerUI::GetClientSize() const {
  if (d_->window) return internal::ClientSizeOf(d_->window);
  return d_->client;
}

void CPaintManagerUI::SetClientSize(SIZE size) {
  d_->client = size;
  NeedUpdate();
}

SIZE CPaintManagerUI::GetInitSize() const { return d_->init; }
void CPaintManagerUI::SetInitSize(int cx, int cy) { d_->init = {cx, cy}; }
RECT CPaintManagerUI::GetCaptionRect() const { return d_->caption; }
void CPaintManagerUI::SetCaptionRect(RECT rc) { d_->caption = rc; }

CControlUI* CPaintManagerUI::FindControl(const CDuiString& name) const {
  auto it = d_->names.find(name);
  return it == d_->names.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
  const_cast<CPaintManagerUI*>(this)->UpdateLayout();
  return d_->root ? d_->root->FindControlAt(pt) : nullptr;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (!notifier ||
      std::find(d_->notifiers.begin(), d_->notifiers.end(), notifier) != d_->notifiers.end())
    return false;
  d_->notifiers.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(d_->notifiers.begin(), d_->notifiers.end(), notifier);
  if (it == d_->notifiers.end()) return false;
  d_->notifiers.erase(it);
  return true;
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const CDuiString& type, WPARAM wParam,
                                 LPARAM lParam) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = sender;
  msg.wParam = wParam;
  msg.lParam = lParam;
  SendNotify(msg);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg) {
  if (msg.sVirtualWnd.IsEmpty() && msg.pSender)
    msg.sVirtualWnd = msg.pSender->GetEffectiveVirtualWnd();
  BeginDispatch();
  // A notifier may remove itself or others while it runs.
  std::vector<INotifyUI*> list = d_->notifiers;
  for (INotifyUI* n : list) {
    if (std::find(d_->notifiers.begin(), d_->notifiers.end(), n) == d_->notifiers.end()) continue;
    n->Notify(msg);
  }
  EndDispatch();
}

CControlUI* CPaintManagerUI::GetFocus() const { return d_->focus; }

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == d_->focus) return;
  if (control && (control->GetManager() != this || !control->IsVisible() || !control->IsEnabled()))
    return;
  BeginDispatch();
  CControlUI* old = d_->focus;
  d_->focus = nullptr;
  if (old) {
    TEventUI ev;
    ev.Type = UIEVENT_KILLFOCUS;
    ev.pSender = control;
    old->DoEvent(ev);
  }
  // The killfocus handler may have removed the new control; reaping clears event_target.
  d_->event_target = control;
  if (control && d_->event_target == control && !d_->focus) {
    d_->focus = control;
    TEventUI ev;
    ev.Type = UIEVENT_SETFOCUS;
    ev.pSender = old;
    control->DoEvent(ev);
    if (d_->focus == control) {
      if (CContainerUI* group = internal::FocusGroupOf(control)) d_->group_focus[group] = control;
      internal::AccessibleChanged(control, internal::AccessibleChange::kFocus);
    }
  }
  d_->event_target = nullptr;
  EndDispatch();
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse_ms) {
  if (!control) return false;
  internal::EnsureApplication();
  if (!d_->timer_agent) {
    d_->timer_agent = std::make_unique<internal::TimerAgent>([this](int qt_id) {
      for (const auto& t : d_->timers)
        if (t.qt_id == qt_id) {
          FireTimerForTesting(t.control, t.id);
          return;
        }
    });
  }
  KillTimer(control, id);
  int qt_id = d_->timer_agent->startTimer(static_cast<int>(elapse_ms));
  if (qt_id == 0) return false;
  d_->timers.push_back({control, id, qt_id});
  return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
  for (auto it = d_->timers.begin(); it != d_->timers.end(); ++it)
    if (it->control == control && it->id == id) {
      d_->timer_agent->killTimer(it->qt_id);
      d_->timers.erase(it);
      return true;
    }
  return false;
}

void CPaintManagerUI::KillTimers(CControlUI* control) {
  for (auto it = d_->timers.begin(); it != d_->timers.end();) {
    if (it->control == control) {
      d_->timer_agent->killTimer(it->qt_id);
      it = d_->timers.erase(it);
    } else {
      ++it;
    }
  }
}

bool CPaintManagerUI::FireTimerForTesting(CControlUI* control, UINT id) {
  bool found = std::any_of(d_->timers.begin(), d_->timers.end(), [&](const Impl::Timer& t) {
    return t.control == control && t.id == id;
  });
  if (!found) return false;
  BeginDispatch();
  TEventUI ev;
  ev.Type = UIEVENT_TIMER;
  ev.pSender = control;
  ev.wParam = id;
  control->DoEvent(ev);
  EndDispatch();
  return true;
}

void CPaintManagerUI::AddOptionGroup(const CDuiString& group, CControlUI* control) {
  auto& v = d_->groups[group];
  if (std::find(v.begin(), v.end(), control) == v.end()) v.push_back(control);
}

void CPaintManagerUI::RemoveOptionGroup(const CDuiString& group, CControlUI* control) {
  auto it = d_->groups.find(group);
  if (it == d_->groups.end()) return;
  auto& v = it->second;
  v.erase(std::remove(v.begin(), v.end(), control), v.end());
  if (v.empty()) d_->groups.erase(it);
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(const CDuiString& group) const {
  auto it = d_->groups.find(group);
  return it == d_->groups.end() ? nullptr : &it->second;
}

void CPaintManagerUI::NeedUpdate() {
  if (d_->need_update) return;
  d_->need_update = true;
  Invalidate();
}

void CPaintManagerUI::Invalidate() {
  if (!d_->window || d_->repaint_requested) return;
  d_->repaint_requested = true;
  internal::RequestRepaint(d_->window);
}

bool CPaintManagerUI::IsUpdateNeeded() const { return d_->need_update; }

void CPaintManagerUI::UpdateLayout() {
  if (!d_->need_update || !d_->root) return;
  d_->need_update = false;
  SIZE sz = GetClientSize();
  d_->root->SetPos({0, 0, sz.cx, sz.cy});
}

void CPaintManagerUI::UpdateWindow() {
  UpdateLayout();
  if (d_->window) internal::RepaintNow(d_->window);
}

void CPaintManagerUI::Paint(CPaintContext& ctx, const RECT& dirty) {
  d_->repaint_requested = false;
  UpdateLayout();
  if (d_->root && d_->root->IsVisible()) d_->root->DoPaint(ctx, dirty);
  // Over everything, so that no neighbour paints over it.
  CControlUI* focus = d_->focus;
  if (d_->focus_visible && focus != nullptr && focus->IsVisible() && !focus->ShowsOwnFocus()) {
    DWORD ring = kDefaultFocusRing;
    if (!ParseColor(u"focus", ring, this)) ring = kDefaultFocusRing;
    DWORD inner = 0;
    if (!ParseColor(u"focus_inner", inner, this)) inner = 0;
    internal::PaintFocusRing(ctx, focus, ring, inner);
  }
}

CTheme& CPaintManagerUI::LocalTheme() { return d_->local_theme; }
const CTheme& CPaintManagerUI::LocalTheme() const { return d_->local_theme; }

void CPaintManagerUI::SetResourcePath(const CDuiString& path) {
  CDuiString p = path;
  if (!p.IsEmpty() && p.GetAt(p.GetLength() - 1) != u'/') p += u'/';
  ResourcePathStorage() = p;
  internal::ClearFileImageCache();
}

CDuiString CPaintManagerUI::GetResourcePath() { return ResourcePathStorage(); }

CDuiString CPaintManagerUI::GetInstancePath() {
  std::string dir = kb::ExecutableDirectory().string();
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return CDuiString(dir);
}

int CPaintManagerUI::MessageLoop() {
  internal::EnsureApplication();
  // The program ends by PostQuitMessage only: a main window hidden in the tray is not closed,
  // and the closing of a last popup (the tray menu) must not end the program.
  QGuiApplication::setQuitOnLastWindowClosed(false);
  return QApplication::exec();
}

void CPaintManagerUI::PostQuitMessage(int code) {
  if (QCoreApplication::instance()) QCoreApplication::exit(code);
}

void CPaintManagerUI::Term() {
  internal::ClearImageCache();
  CTheme::Global().Clear();
}

void CPaintManagerUI::DeletePtr(void* ptr) { delete static_cast<MenuCmd*>(ptr); }

namespace {
struct DispatchGuard {
  CPaintManagerUI* pm;
  explicit DispatchGuard(CPaintManagerUI* p) : pm(p) { pm->BeginDispatch(); }
  ~DispatchGuard() { pm->EndDispatch(); }
};
}  // namespace

void CPaintManagerUI::OnMouseMove(POINT pt, WORD key_state) {
  DispatchGuard guard(this);
  CControlUI* hit = FindControl(pt);
  if (hit != d_->hover) {
    CControlUI* old = d_->hover;
    d_->hover = hit;
    if (old) {
      TEventUI ev;
      ev.Type = UIEVENT_MOUSELEAVE;
      ev.pSender = old;
      ev.ptMouse = pt;
      old->DoEvent(ev);
    }
    if (d_->hover == hit && hit) {
      TEventUI ev;
      ev.Type = UIEVENT_MOUSEENTER;
      ev.pSender = hit;
      ev.ptMouse = pt;
      hit->DoEvent(ev);
    }
  }
  CControlUI* target = d_->capture ? d_->capture : d_->hover;
  if (target) {
    TEventUI ev;
    ev.Type = UIEVENT_MOUSEMOVE;
    ev.pSender = target;
    ev.ptMouse = pt;
    ev.wKeyState = key_state;
    target->DoEvent(ev);
  }
}

void CPaintManagerUI::OnButtonDown(POINT pt, bool right, bool double_click, WORD key_state) {
  DispatchGuard guard(this);
  if (d_->focus_visible) {
    d_->focus_visible = false;
    Invalidate();
  }
  CControlUI* hit = FindControl(pt);
  if (!hit || !hit->IsEnabled()) {
    if (!right) SetFocus(nullptr);
    return;
  }
  if (!right) {
    // Focus first: a field being left commits its value before the click is handled.
    d_->press_target = hit;
    SetFocus(hit->TakesFocus() ? hit : nullptr);
    bool alive = d_->press_target == hit;
    d_->press_target = nullptr;
    if (!alive) return;  // the control went away while the focus moved
  }
  d_->capture = hit;
  TEventUI ev;
  ev.Type = right ? UIEVENT_RBUTTONDOWN : (double_click ? UIEVENT_DBLCLICK : UIEVENT_BUTTONDOWN);
  ev.pSender = hit;
  ev.ptMouse = pt;
  ev.wKeyState = key_state;
  hit->DoEvent(ev);
}

void CPaintManagerUI::OnButtonUp(POINT pt, bool right, WORD key_state) {
  DispatchGuard guard(this);
  CControlUI* target = d_->capture;
  d_->capture = nullptr;
  if (!target) return;
  TEventUI ev;
  ev.Type = right ? UIEVENT_RBUTTONUP : UIEVENT_BUTTONUP;
  ev.pSender = target;
  ev.ptMouse = pt;
  ev.wKeyState = key_state;
  target->DoEvent(ev);
}

void CPaintManagerUI::OnMouseWheel(POINT pt, int delta) {
  DispatchGuard guard(this);
  CControlUI* hit = FindControl(pt);
  if (!hit) return;
  TEventUI ev;
  ev.Type = UIEVENT_SCROLLWHEEL;
  ev.pSender = hit;
  ev.ptMouse = pt;
  ev.wParam = delta > 0 ? 1 : 0;
  ev.lParam = delta;
  hit->DoEvent(ev);
}

void CPaintManagerUI::OnMouseLeave() {
  DispatchGuard guard(this);
  CControlUI* old = d_->hover;
  d_->hover = nullptr;
  if (old) {
    TEventUI ev;
    ev.Type = UIEVENT_MOUSELEAVE;
    ev.pSender = old;
    old->DoEvent(ev);
  }
}

bool CPaintManagerUI::OnKeyDown(UINT vkey, WORD key_state, const CDuiString& text) {
  DispatchGuard guard(this);
  if (!d_->focus_visible) {
    d_->focus_visible = true;
    Invalidate();
  }
  if (vkey == VK_TAB && !(key_state & (UIKEY_CONTROL | UIKEY_ALT)))
    return MoveFocus(!(key_state & UIKEY_SHIFT));
  CControlUI* target = d_->focus;
  if (!target) return false;
  const bool arrow = vkey == VK_LEFT || vkey == VK_UP || vkey == VK_RIGHT || vkey == VK_DOWN;
  if (arrow && key_state == 0) {
    if (CContainerUI* group = internal::FocusGroupOf(target)) {
      const std::vector<CControlUI*> members = internal::KeyboardFocusOrder(group);
      if (CControlUI* next = internal::NearestInDirection(members, target, vkey)) SetFocus(next);
      return true;
    }
  }
  TEventUI ev;
  ev.Type = UIEVENT_KEYDOWN;
  ev.pSender = target;
  ev.vkey = vkey;
  ev.wKeyState = key_state;
  target->DoEvent(ev);
  if (!text.IsEmpty() && d_->focus == target) {
    TEventUI ch;
    ch.Type = UIEVENT_CHAR;
    ch.pSender = target;
    ch.text = text;
    ch.wKeyState = key_state;
    target->DoEvent(ch);
  }
  return true;
}

bool CPaintManagerUI::MoveFocus(bool forward) {
  // One stop per control, and one per focus group (where its first member stands).
  struct Stop {
    CControlUI* control;
    CContainerUI* group;
  };
  std::vector<Stop> stops;
  for (CControlUI* c : internal::KeyboardFocusOrder(d_->root)) {
    CContainerUI* group = internal::FocusGroupOf(c);
    if (group == nullptr || std::none_of(stops.begin(), stops.end(),
                                         [group](const Stop& s) { return s.group == group; }))
      stops.push_back({c, group});
  }
  if (stops.empty()) return false;
  CContainerUI* focus_group = internal::FocusGroupOf(d_->focus);
  auto it = std::find_if(stops.begin(), stops.end(), [&](const Stop& s) {
    return focus_group != nullptr ? s.group == focus_group : s.control == d_->focus;
  });
  std::size_t next;
  if (it == stops.end())
    next = forward ? 0 : stops.size() - 1;
  else {
    std::size_t i = static_cast<std::size_t>(it - stops.begin());
    next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
  }
  CControlUI* target = stops[next].control;
  if (CContainerUI* group = stops[next].group) {
    // Back to the member that had the focus, while it can still take it.
    auto last = d_->group_focus.find(group);
    if (last != d_->group_focus.end() && internal::TakesKeyboardFocus(last->second) &&
        internal::FocusGroupOf(last->second) == group)
      target = last->second;
  }
  SetFocus(target);
  return true;
}

bool CPaintManagerUI::IsFocusVisible() const { return d_->focus_visible; }

CControlUI* CPaintManagerUI::GetHover() const { return d_->hover; }
CControlUI* CPaintManagerUI::GetCapture() const { return d_->capture; }

void CPaintManagerUI::RegisterName(CControlUI* control) {
  if (control->GetName().IsEmpty()) return;
  d_->names.emplace(control->GetName(), control);
}

void CPaintManagerUI::UnregisterName(CControlUI* control) {
  if (control->GetName().IsEmpty()) return;
  auto it = d_->names.find(control->GetName());
  if (it != d_->names.end() && it->second == control) d_->names.erase(it);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (!control->IsNameHidden()) UnregisterName(control);
  if (d_->focus == control) d_->focus = nullptr;
  std::erase_if(d_->group_focus, [control](const auto& entry) {
    return entry.first == control || entry.second == control;
  });
  if (d_->hover == control) d_->hover = nullptr;
  if (d_->capture == control) d_->capture = nullptr;
  if (d_->event_target == control) d_->event_target = nullptr;
  if (d_->press_target == control) d_->press_target = nullptr;
  if (!d_->timers.empty()) KillTimers(control);
}

void CPaintManagerUI::DeleteWhenIdle(CControlUI* control) {
  if (!control) return;
  if (d_->dispatch_depth > 0)
    d_->cleanup.push_back(control);
  else
    delete control;
}

void CPaintManagerUI::BeginDispatch() { ++d_->dispatch_depth; }

void CPaintManagerUI::EndDispatch() {
  if (--d_->dispatch_depth > 0) return;
  d_->dispatch_depth = 0;
  std::vector<CControlUI*> doomed;
  doomed.swap(d_->cleanup);
  for (CControlUI* c : doomed) delete c;
}

bool CPaintManagerUI::IsInCaption(POINT pt) const {
  const RECT& c = d_->caption;
  if (c.bottom <= 0) return false;
  SIZE sz = GetClientSize();
  RECT area{c.left, c.top, c.right > 0 ? c.right : sz.cx, c.bottom};
  if (!area.Contains(pt)) return false;
  CControlUI* hit = FindControl(pt);
  // Controls the user works with keep their clicks; labels and backgrounds drag.
  return !hit || (!hit->TakesFocus() && !hit->GetInterface(u"Button"));
}

}  // namespace DuiLib
