#include "keys/gui/key_capture_dialogs.h"

#include <string>

#include "keys/key_names.h"
#include "keys/virtual_key_table.h"
#include "shell/dialog_window.h"
#include "ui/button.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/trace.h"

using DuiLib::CDuiString;

CKeyCaptureWnd::CKeyCaptureWnd(const kb::HookFunctionTable* hooks, std::uint8_t usage)
    : hooks_(hooks), usage_(usage) {}

CKeyCaptureWnd::~CKeyCaptureWnd() { StopCapture(); }

DuiLib::UINT CKeyCaptureWnd::Run(DuiLib::HWND owner) {
  return RunOwnedDialog(*this, owner, GetWindowClassName());
}

void CKeyCaptureWnd::InitWindow() {
  edit_key_ = m_pm.FindControl(u"edit_key");
  ShowUsage();
}

void CKeyCaptureWnd::ShowUsage() {
  if (edit_key_ == nullptr) return;
  const std::string_view key = kb::KeyNameFromUsage(usage_);
  edit_key_->SetText(
      key.empty() ? CDuiString()
                  : DuiLib::CResourceManager::GetInstance()->GetText(CDuiString(std::string(key))));
}

void CKeyCaptureWnd::StartCapture() {
  if (capturing_ || hooks_ == nullptr || !hooks_->bound()) return;
  target_ = GetMessageTarget();
  hooks_->installhook(&target_);
  if (hooks_->enablehook != nullptr) hooks_->enablehook(1);
  capturing_ = true;
}

void CKeyCaptureWnd::StopCapture() {
  if (!capturing_) return;
  capturing_ = false;
  if (hooks_->removehook != nullptr) hooks_->removehook();
  if (hooks_->enablehook != nullptr) hooks_->enablehook(0);
}

void CKeyCaptureWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.pSender != nullptr && msg.pSender == edit_key_) {
    if (msg.sType == DuiLib::DUI_MSGTYPE_SETFOCUS) StartCapture();
    if (msg.sType == DuiLib::DUI_MSGTYPE_KILLFOCUS) StopCapture();
  }
  WindowImplBase::Notify(msg);
}

void CKeyCaptureWnd::OnClick(DuiLib::TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == u"btn_ok") Close(1);
  if (name == u"btn_cancel" || name == u"btn_exit") Close(0);
}

DuiLib::LRESULT CKeyCaptureWnd::HandleCustomMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam,
                                                    DuiLib::LPARAM lParam, bool& handled) {
  // A key event of the hook: the last one before OK wins; a key the table lacks gives 0.
  if (msg == KB_HOOK_KEY_MESSAGE && capturing_) {
    DuiLib::DUI__Trace(u"%x,%x\n", static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
    const kb::UsageLookup found = kb::UsageFromVirtualKey(static_cast<std::uint32_t>(wParam));
    DuiLib::DUI__Trace(u"iUsageID=%d\n", static_cast<int>(found.usage));
    usage_ = static_cast<std::uint8_t>(found.usage & 0xFF);
    ShowUsage();
  }
  return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
}

// No hook outlives the dialog, whatever the focus did.
DuiLib::LRESULT CKeyCaptureWnd::OnDestroy(DuiLib::UINT msg, DuiLib::WPARAM wParam,
                                          DuiLib::LPARAM lParam, bool& handled) {
  StopCapture();
  return WindowImplBase::OnDestroy(msg, wParam, lParam, handled);
}

CShortcutWnd::CShortcutWnd(const kb::HookFunctionTable* hooks, std::uint8_t usage,
                           std::array<std::uint8_t, 4> flags)
    : CKeyCaptureWnd(hooks, usage), flags_(flags) {}

void CShortcutWnd::InitWindow() {
  for (int i = 0; i < 4; ++i) {
    std::string name("check_flag_");
    name.append(std::to_string(i + 1));
    if (auto* box = dynamic_cast<DuiLib::CCheckBoxUI*>(m_pm.FindControl(CDuiString(name))))
      box->SetCheck(flags_[i] != 0);
  }
  CKeyCaptureWnd::InitWindow();
}

void CShortcutWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::DUI_MSGTYPE_CHECKCLICK && msg.pSender != nullptr) {
    for (int i = 0; i < 4; ++i) {
      std::string name("check_flag_");
      name.append(std::to_string(i + 1));
      if (msg.pSender->GetName() != CDuiString(name)) continue;
      if (auto* box = dynamic_cast<DuiLib::CCheckBoxUI*>(msg.pSender))
        flags_[i] = box->GetCheck() ? 1 : 0;
    }
  }
  CKeyCaptureWnd::Notify(msg);
}
