// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/name_dialog.h"

#include <string>

#include "common/utf16_text.h"
#include "names/name_rules.h"
#include "shell/dialog_window.h"
#include "shell/msg_wnd.h"
#include "shell/name_verdict.h"
#include "ui/edit.h"

using DuiLib::CDuiString;

namespace {

CDuiString Utf8(std::string_view text) { return CDuiString(std::string(text)); }

}  // namespace

CNameDialog::CNameDialog(const kb::ModelInfo& model, const kb::ProfileList& profiles)
    : model_(model), kind_(Kind::kConfig), name_taken_([&profiles](std::u16string_view name) {
        return kb::NameExists(name, profiles);
      }) {}

CNameDialog::CNameDialog(const kb::ModelInfo& model, const kb::MacroList& macros)
    : model_(model),
      kind_(Kind::kMacro),
      name_taken_([&macros](std::u16string_view name) { return kb::NameExists(name, macros); }) {}

CDuiString CNameDialog::GetTitleKey() const {
  if (kind_ == Kind::kConfig) return mode_ == kModeRename ? u"edit_8_text" : u"edit_6_text";
  return mode_ == kModeRename ? u"edit_3_text" : u"edit_1_text";
}

CDuiString CNameDialog::GetLabelKey() const {
  return kind_ == Kind::kConfig ? u"edit_7_text" : u"edit_2_text";
}

CDuiString CNameDialog::GetWindowClassName() const {
  return Utf8(model_.name) + (kind_ == Kind::kConfig ? u"_EditConfigName" : u"_EditMacroName");
}

CDuiString CNameDialog::GetSkinFile() {
  return u"KB/" + Utf8(model_.name) +
         (kind_ == Kind::kConfig ? u"/editconfigname.xml" : u"/editmacroname.xml");
}

DuiLib::UINT CNameDialog::Run(DuiLib::HWND owner, const CDuiString& window_text) {
  return RunOwnedDialog(*this, owner, window_text);
}

void CNameDialog::InitWindow() {
  if (DuiLib::CControlUI* title = m_pm.FindControl(u"label_title")) {
    title->SetResourceText(true);
    title->SetText(GetTitleKey());
  }
  if (DuiLib::CControlUI* label = m_pm.FindControl(u"label_string")) {
    label->SetResourceText(true);
    label->SetText(GetLabelKey());
  }
  if (DuiLib::CControlUI* field = m_pm.FindControl(u"edit_name")) {
    field->SetText(name_);
    m_pm.SetFocus(field);
    // Selected, so that typing replaces the old name.
    if (auto* edit = dynamic_cast<DuiLib::CEditUI*>(field)) edit->SetSelAll();
  }
}

void CNameDialog::OnClick(DuiLib::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const CDuiString& sender = msg.pSender->GetName();
  if (sender == u"btn_cancel" || sender == u"exit_btn")
    Close(0);
  else if (sender == u"btn_ok")
    Accept();
}

bool CNameDialog::ResponseDefaultKeyEvent(DuiLib::WPARAM wParam) {
  if (wParam == DuiLib::VK_RETURN) {
    DuiLib::CControlUI* focus = m_pm.GetFocus();
    if (focus == nullptr || focus->GetInterface(u"Button") == nullptr) {
      Accept();
      return true;
    }
  }
  return WindowImplBase::ResponseDefaultKeyEvent(wParam);
}

void CNameDialog::Accept() {
  auto* edit = m_pm.FindControl(u"edit_name");
  const CDuiString entered = edit != nullptr ? edit->GetText() : CDuiString();
  // The record field holds kMaxNameLength units; a skin without a length limit must not let
  // a longer name through, and the check has to see the name as it will be stored.
  const std::u16string_view candidate = kb::Shorten(entered.view(), kb::kMaxNameLength);
  switch (kb::app::JudgeName(candidate, name_.view(), name_taken_)) {
    case kb::app::NameVerdict::kUnchanged:
      Close(0);
      break;
    case kb::app::NameVerdict::kEmpty:
      CMsgWnd::Show(GetHWND(), u"warning_1_text", u"warning_9_text");
      break;
    case kb::app::NameVerdict::kTaken:
      CMsgWnd::Show(GetHWND(), u"warning_1_text", u"warning_10_text");
      break;
    case kb::app::NameVerdict::kAccepted:
      name_ = CDuiString(candidate);
      Close(1);
      break;
  }
}
