// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_impl_base.h"

#include "ui/control.h"

namespace DuiLib {

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase() { m_pm.RemoveNotifier(this); }

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (NotifyPump(msg)) return;
  if (msg.sType == DUI_MSGTYPE_CLICK) OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI&) {}

CControlUI* WindowImplBase::CreateControl(const CDuiString&) { return nullptr; }

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  m_pm.Init(this);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), {}, this, &m_pm);
  m_layoutStatus = builder.GetLastStatus();
  m_bLayoutBuilt = root != nullptr;
  if (root) {
    SIZE init = m_pm.GetInitSize();
    if (init.cx > 0 && init.cy > 0) ResizeClient(init.cx, init.cy);
    m_pm.AttachDialog(root);
  }
  m_pm.AddNotifier(this);
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

bool WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
  if (wParam == VK_ESCAPE && IsModal()) {
    Close(0);
    return true;
  }
  return false;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  bool handled = true;
  LRESULT result = 0;
  switch (msg) {
    case WM_CREATE:
      result = OnCreate(msg, wParam, lParam, handled);
      break;
    case WM_CLOSE:
      result = OnClose(msg, wParam, lParam, handled);
      break;
    case WM_DESTROY:
      result = OnDestroy(msg, wParam, lParam, handled);
      break;
    case WM_KEYDOWN:
      result = OnKeyDown(msg, wParam, lParam, handled);
      break;
    default:
      handled = false;
      break;
  }
  if (handled) return result;
  result = HandleCustomMessage(msg, wParam, lParam, handled);
  if (handled) return result;
  // Escape on a modal window first, then the focused control.
  if (msg == WM_KEYDOWN && ResponseDefaultKeyEvent(wParam)) return 1;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

}  // namespace DuiLib
