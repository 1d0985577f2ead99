// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/keys/key_capture_dialogs.h"

#include <string>

#include "keys/key_names.h"
#include "keys/virtual_key_table.h"
#include "shell/dialog_window.h"
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
  // The key can be pressed at once, whether the menu was worked by mouse or keyboard.
  if (edit_key_ != nullptr) edit_key_->SetFocus();
}

void CKeyCaptureWnd::ShowUsage() {
  if (edit_key_ == nullptr) return;
  const std::string_view key = kb::KeyNameFromUsage(usage_);
  edit_key_->SetText(key.empty() ? CDuiString() : DuiLib::LanguageText(key));
}

void CKeyCaptureWnd::StartCapture() {
  if (capturing_ || hooks_ == nullptr || !hooks_->bound()) return;
  target_ = GetMessageTarget();
  hooks_->installhook(&target_);
  if (hooks_->enablehook != nullptr) hooks_->enablehook(1);
  capturing_ = true;
  capture_ = {};
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
    const kb::CaptureStep step = capture_.OnKey(static_cast<std::uint32_t>(wParam), lParam == 0);
    if (step.key_changed) {
      DuiLib::DUI__Trace(u"iUsageID=%d\n", static_cast<int>(step.usage));
      usage_ = step.usage;
      ShowUsage();
    }
    if (step.modifiers_changed) OnModifiersHeld(step.modifiers);
    // Moving the focus ends the capture (killfocus), so the next key works the dialog.
    if (step.finished)
      if (DuiLib::CControlUI* ok = m_pm.FindControl(u"btn_ok")) ok->SetFocus();
  }
  return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
}

// While the field captures, every key is the hook's: none may cancel, confirm or move the focus.
DuiLib::LRESULT CKeyCaptureWnd::OnKeyDown(DuiLib::UINT /*msg*/, DuiLib::WPARAM /*wParam*/,
                                          DuiLib::LPARAM /*lParam*/, bool& handled) {
  handled = capturing_;
  return 0;
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

DuiLib::CCheckBoxUI* CShortcutWnd::FlagBox(int bit) {
  return dynamic_cast<DuiLib::CCheckBoxUI*>(
      m_pm.FindControl(CDuiString("check_flag_" + std::to_string(bit + 1))));
}

void CShortcutWnd::InitWindow() {
  for (int i = 0; i < 4; ++i)
    if (DuiLib::CCheckBoxUI* box = FlagBox(i)) box->SetCheck(flags_[i] != 0);
  CKeyCaptureWnd::InitWindow();
}

void CShortcutWnd::OnModifiersHeld(std::uint8_t modifiers) {
  for (int i = 0; i < 4; ++i) {
    flags_[i] = (modifiers >> i) & 1;
    if (DuiLib::CCheckBoxUI* box = FlagBox(i)) box->SetCheck(flags_[i] != 0);
  }
}

void CShortcutWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::DUI_MSGTYPE_CHECKCLICK && msg.pSender != nullptr) {
    for (int i = 0; i < 4; ++i)
      if (msg.pSender == FlagBox(i)) flags_[i] = FlagBox(i)->GetCheck() ? 1 : 0;
  }
  CKeyCaptureWnd::Notify(msg);
}
