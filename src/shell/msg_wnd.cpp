#include "shell/msg_wnd.h"

#include "shell/dialog_window.h"
#include "ui/control.h"

using DuiLib::CDuiString;

DuiLib::UINT CMsgWnd::Run(DuiLib::HWND owner) { return RunOwnedDialog(*this, owner, u"MsgWnd"); }

DuiLib::UINT CMsgWnd::Show(DuiLib::HWND owner, const CDuiString& title_key,
                           const CDuiString& text_key) {
  CMsgWnd box;
  box.SetTitleKey(title_key);
  box.SetTextKey(text_key);
  return box.Run(owner);
}

void CMsgWnd::InitWindow() {
  if (DuiLib::CControlUI* title = m_pm.FindControl(u"warning_title")) {
    title->SetResourceText(true);
    title->SetText(title_key_);
  }
  if (DuiLib::CControlUI* text = m_pm.FindControl(u"warning")) {
    text->SetResourceText(true);
    text->SetText(text_key_);
  }
}

void CMsgWnd::OnClick(DuiLib::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const CDuiString& name = msg.pSender->GetName();
  if (name == u"btn_ok")
    Close(1);
  else if (name == u"btn_cancel")
    Close(0);
}
