// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/msg_wnd.h"

#include <string>
#include <vector>

#include "shell/dialog_window.h"
#include "ui/control.h"
#include "ui/label.h"
#include "ui/resource_manager.h"

using DuiLib::CDuiString;

DuiLib::UINT CMsgWnd::Run(DuiLib::HWND owner) { return RunOwnedDialog(*this, owner, u"MsgWnd"); }

DuiLib::UINT CMsgWnd::Show(DuiLib::HWND owner, const CDuiString& title_key,
                           const CDuiString& text_key) {
  CMsgWnd box;
  box.SetTitleKey(title_key);
  box.SetTextKey(text_key);
  return box.Run(owner);
}

namespace {

// A box with OK only, its text composed by the caller.
void ShowOkOnly(DuiLib::HWND owner, const CDuiString& title_key, const CDuiString& text_key,
                const CDuiString& shown) {
  CMsgWnd box;
  box.SetTitleKey(title_key);
  box.SetTextKey(text_key);
  box.SetShownText(shown);
  box.SetReport(true);
  box.Run(owner);
}

}  // namespace

void CMsgWnd::Report(DuiLib::HWND owner, const CDuiString& text_key, const CDuiString& shown) {
  ShowOkOnly(owner, u"report_title_text", text_key, shown);
}

void CMsgWnd::Warn(DuiLib::HWND owner, const CDuiString& text_key, const CDuiString& shown) {
  ShowOkOnly(owner, u"warning_1_text", text_key, shown);
}

CDuiString CMsgWnd::Compose(const CDuiString& key, std::initializer_list<CDuiString> args) {
  const std::u16string text(DuiLib::CResourceManager::GetInstance()->GetText(key).GetData());
  const std::vector<CDuiString> values(args);
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
    if (text[i] == u'%' && next >= u'1' && next <= u'9' &&
        static_cast<std::size_t>(next - u'1') < values.size()) {
      out += values[static_cast<std::size_t>(next - u'1')].GetData();
      ++i;
    } else {
      out += text[i];
    }
  }
  return CDuiString(out);
}

void CMsgWnd::InitWindow() {
  if (DuiLib::CControlUI* title = m_pm.FindControl(u"warning_title")) {
    title->SetResourceText(true);
    title->SetText(title_key_);
  }
  if (DuiLib::CControlUI* text = m_pm.FindControl(u"warning")) {
    text->SetResourceText(shown_text_.IsEmpty());
    text->SetText(shown_text_.IsEmpty() ? text_key_ : shown_text_);
  }
  if (report_) {
    // Nothing to cancel and nothing to beware of.
    if (DuiLib::CControlUI* cancel = m_pm.FindControl(u"btn_cancel")) cancel->SetVisible(false);
    if (DuiLib::CControlUI* icon = m_pm.FindControl(u"warning_icon")) icon->SetVisible(false);
  }
  GrowToShowText();
}

void CMsgWnd::GrowToShowText() {
  auto* text = dynamic_cast<DuiLib::CLabelUI*>(m_pm.FindControl(u"warning"));
  if (text == nullptr) return;
  m_pm.UpdateLayout();
  const DuiLib::RECT shown = text->GetPos();
  const int missing = text->MeasureTextHeight() - (shown.bottom - shown.top);
  if (missing <= 0) return;
  const DuiLib::SIZE size = GetClientSize();
  ResizeClient(size.cx, size.cy + missing);
}

void CMsgWnd::OnClick(DuiLib::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const CDuiString& name = msg.pSender->GetName();
  if (name == u"btn_ok")
    Close(1);
  else if (name == u"btn_cancel")
    Close(0);
}
