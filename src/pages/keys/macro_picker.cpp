// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/keys/macro_picker.h"

#include <string>

#include "common/utf16_text.h"
#include "macro/macro_working_state.h"
#include "shell/dialog_window.h"
#include "shell/msg_wnd.h"
#include "ui/button.h"
#include "ui/list.h"
#include "ui/paint_manager.h"

using DuiLib::CDuiString;

namespace {
constexpr int kMacroRowHeight = 21;
constexpr int kRepeatOptions = 5;
constexpr int kLastRepeatWithLoops = 1;  // options 1 and 2 repeat a number of times

CDuiString RepeatOption(int mode) { return CDuiString("repeat_" + std::to_string(mode + 1)); }
}  // namespace

CSelectMacroWnd::CSelectMacroWnd(const kb::ModelInfo& model, const kb::MacroList& macros,
                                 int selected, int repeat_mode, int loops)
    : model_(model),
      macros_(macros),
      selected_(selected),
      // Shown as they are: OK on a key the user did not touch must write back what it held.
      repeat_mode_(repeat_mode),
      loops_(loops) {}

CDuiString CSelectMacroWnd::GetWindowClassName() const {
  std::string name(model_.name);
  name.append("_SelectMacro");
  return CDuiString(name);
}

CDuiString CSelectMacroWnd::GetSkinFile() {
  std::string file("KB/");
  file.append(model_.name).append("/selectmacro.xml");
  return CDuiString(file);
}

DuiLib::UINT CSelectMacroWnd::Run(DuiLib::HWND owner) {
  return RunOwnedDialog(*this, owner, GetWindowClassName());
}

void CSelectMacroWnd::InitWindow() {
  if (auto* list = dynamic_cast<DuiLib::CListUI*>(m_pm.FindControl(u"list_macro"))) {
    for (const auto& macro : macros_) {
      auto* row = new DuiLib::CListLabelElementUI;
      row->SetText(CDuiString(kb::FieldText(macro->name)));
      row->SetFixedHeight(kMacroRowHeight);
      list->Add(row);
    }
    list->SelectItem(selected_ >= 0 && selected_ < list->GetCount() ? selected_ : -1);
  }
  if (auto* option = dynamic_cast<DuiLib::COptionUI*>(m_pm.FindControl(RepeatOption(repeat_mode_))))
    option->Selected(true, false);
  if (DuiLib::CControlUI* edit = m_pm.FindControl(u"edit_loop_time")) {
    CDuiString text;
    text.Format(u"%d", loops_);
    edit->SetText(text);
  }
  ShowLoopRow();
}

void CSelectMacroWnd::ShowLoopRow() {
  if (DuiLib::CControlUI* row = m_pm.FindControl(u"hor_loop_time"))
    row->SetVisible(repeat_mode_ >= 0 && repeat_mode_ <= kLastRepeatWithLoops);
}

// Out of range or not a number: the nearest count that is, shown in the field.
void CSelectMacroWnd::CommitLoops() {
  DuiLib::CControlUI* edit = m_pm.FindControl(u"edit_loop_time");
  if (edit == nullptr) return;
  const int typed = kb::ReadLeadingInteger(edit->GetText().ToUtf8());
  loops_ = kb::ClampDelayOrLoops(typed);
  if (loops_ != typed) {
    CDuiString text;
    text.Format(u"%d", loops_);
    edit->SetText(text);
  }
}

void CSelectMacroWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.pSender != nullptr) {
    const CDuiString& name = msg.pSender->GetName();
    if (msg.sType == DuiLib::DUI_MSGTYPE_ITEMSELECT && name == u"list_macro") {
      selected_ = static_cast<int>(msg.wParam);
    } else if (msg.sType == DuiLib::DUI_MSGTYPE_SELECTCHANGED) {
      for (int mode = 0; mode < kRepeatOptions; ++mode)
        if (name == RepeatOption(mode)) {
          repeat_mode_ = mode;
          ShowLoopRow();
        }
    } else if (msg.sType == DuiLib::DUI_MSGTYPE_KILLFOCUS && name == u"edit_loop_time") {
      CommitLoops();
    }
  }
  WindowImplBase::Notify(msg);
}

void CSelectMacroWnd::OnClick(DuiLib::TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == u"btn_cancel" || name == u"btn_exit") {
    Close(0);
    return;
  }
  if (name != u"btn_ok") return;
  if (model_.picker_warns_without_choice && selected_ == -1 && !macros_.empty()) {
    // The picker stays open either way; on OK the first macro is chosen for the user.
    if (CMsgWnd::Show(GetHWND(), u"warning_1_text", u"warning_16_text") == 1) {
      selected_ = 0;
      if (auto* list = dynamic_cast<DuiLib::CListUI*>(m_pm.FindControl(u"list_macro")))
        list->SelectItem(0);
    }
    return;
  }
  Close(1);
}
