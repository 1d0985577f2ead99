// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/device/app_links_dialog.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "shell/dialog_window.h"
#include "shell/msg_wnd.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/label.h"
#include "ui/list.h"
#include "ui/paint_manager.h"

using DuiLib::CDuiString;

namespace {

constexpr int kRowHeight = 24;
constexpr int kNoteGap = 4;  // between the note on the desktop and the list's label

// What a user pasting a name brings along around it; inside a name, spaces are the name's.
std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

CAppLinksDialog::CAppLinksDialog(Setup setup) : setup_(std::move(setup)) {}

DuiLib::UINT CAppLinksDialog::Run(DuiLib::HWND owner) {
  return RunOwnedDialog(*this, owner, u"AppLinksWnd");
}

void CAppLinksDialog::InitWindow() {
  // A file that cannot be read shows no links; the first save keeps it aside.
  load_ = kb::LoadAppLinks(setup_.file);
  if (DuiLib::CControlUI* title = m_pm.FindControl(u"label_title")) {
    const std::u16string name = setup_.profile < setup_.profile_names.size()
                                    ? setup_.profile_names[setup_.profile]
                                    : std::u16string();
    title->SetText(CMsgWnd::Compose(u"applinks_title_text", {CDuiString(name)}));
  }
  if (auto* note = dynamic_cast<DuiLib::CLabelUI*>(m_pm.FindControl(u"label_unavailable"))) {
    note->SetVisible(!setup_.unavailable.empty());
    if (!setup_.unavailable.empty()) {
      note->SetText(CMsgWnd::Compose(u"applinks_unavailable_text") +
                    CDuiString(setup_.unavailable));
      // As tall as the reason needs, however long: the list below gives up the room.
      m_pm.UpdateLayout();
      note->SetFixedHeight(std::max(note->GetFixedHeight(), note->MeasureTextHeight() + kNoteGap));
    }
  }
  if (auto* open = dynamic_cast<DuiLib::CComboUI*>(m_pm.FindControl(u"combo_open_apps"))) {
    for (const std::string& app : setup_.open_applications) {
      auto* row = new DuiLib::CListLabelElementUI;
      row->SetText(CDuiString(app));
      row->SetFixedHeight(kRowHeight);
      open->Add(row);
    }
    if (DuiLib::CControlUI* row = m_pm.FindControl(u"hor_open_apps"))
      row->SetVisible(!setup_.open_applications.empty());
    // A language key: the label is in resource-text mode.
    if (DuiLib::CControlUI* label = m_pm.FindControl(u"label_open_apps");
        label != nullptr && setup_.open_applications.empty())
      label->SetText(u"applinks_none_open_text");
  }
  if (DuiLib::CControlUI* field = m_pm.FindControl(u"edit_app")) m_pm.SetFocus(field);
  ShowLinks();
  ShowDefault();
}

void CAppLinksDialog::ShowLinks() {
  auto* list = dynamic_cast<DuiLib::CListUI*>(m_pm.FindControl(u"list_apps"));
  if (list == nullptr) return;
  list->RemoveAll();
  for (const std::string& app : load_.links.AppsOf(setup_.profile)) {
    auto* row = new DuiLib::CListLabelElementUI;
    row->SetText(CDuiString(app));
    row->SetFixedHeight(kRowHeight);
    list->Add(row);
  }
  if (DuiLib::CControlUI* remove = m_pm.FindControl(u"btn_remove"))
    remove->SetEnabled(list->GetCount() > 0);
}

void CAppLinksDialog::ShowDefault() {
  const std::size_t used = load_.links.default_profile();
  // The default is never unmarked, only moved: marking another profile takes it from this one.
  if (auto* check = dynamic_cast<DuiLib::CCheckBoxUI*>(m_pm.FindControl(u"check_default"))) {
    check->SetCheck(used == setup_.profile);
    check->SetEnabled(used != setup_.profile);
  }
  if (DuiLib::CControlUI* label = m_pm.FindControl(u"label_default")) {
    const std::u16string name =
        used < setup_.profile_names.size() ? setup_.profile_names[used] : std::u16string();
    label->SetText(CMsgWnd::Compose(u"applinks_default_now_text", {CDuiString(name)}));
  }
}

void CAppLinksDialog::Notify(DuiLib::TNotifyUI& msg) {
  // The last of a check box's notifications, once it shows its new state, which MarkDefault
  // then sets to what the file holds.
  if (msg.pSender != nullptr && msg.sType == DuiLib::DUI_MSGTYPE_CHECKCLICK &&
      msg.pSender->GetName() == u"check_default")
    MarkDefault();
  if (msg.pSender != nullptr && msg.sType == DuiLib::DUI_MSGTYPE_ITEMSELECT &&
      msg.pSender->GetName() == u"combo_open_apps") {
    // The picked name goes into the field, to be added as a typed one is.
    auto* open = dynamic_cast<DuiLib::CComboUI*>(msg.pSender);
    DuiLib::CControlUI* field = m_pm.FindControl(u"edit_app");
    if (open != nullptr && field != nullptr && open->GetCurSel() >= 0)
      field->SetText(open->GetText());
  }
  WindowImplBase::Notify(msg);
}

void CAppLinksDialog::OnClick(DuiLib::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  const CDuiString& name = msg.pSender->GetName();
  if (name == u"btn_close" || name == u"exit_btn")
    Close(0);
  else if (name == u"btn_add")
    AddTyped();
  else if (name == u"btn_remove")
    RemoveSelected();
}

bool CAppLinksDialog::ResponseDefaultKeyEvent(DuiLib::WPARAM wParam) {
  DuiLib::CControlUI* focus = m_pm.GetFocus();
  if (wParam == DuiLib::VK_RETURN && focus != nullptr && focus->GetName() == u"edit_app") {
    AddTyped();
    return true;
  }
  return WindowImplBase::ResponseDefaultKeyEvent(wParam);
}

void CAppLinksDialog::AddTyped() {
  DuiLib::CControlUI* field = m_pm.FindControl(u"edit_app");
  if (field == nullptr) return;
  const std::string typed = field->GetText().ToUtf8();
  const std::string app(TrimSpaces(typed));
  kb::AppLinks links = load_.links;
  const bool first = links.links().empty();
  const bool automatic = links.automatic();
  if (const kb::Status linked = links.Link(setup_.profile, app); !linked.ok()) {
    CMsgWnd::Warn(GetHWND(), u"warning_app_not_linked_text",
                  CMsgWnd::Compose(u"warning_app_not_linked_text",
                                   {CDuiString(app), CDuiString(linked.reason())}));
    return;
  }
  // Only the first link turns switching on: a user who turned it off keeps it off.
  if (!first) links.set_automatic(automatic);
  if (!Save(links)) return;
  field->SetText(u"");
  ShowLinks();
}

void CAppLinksDialog::RemoveSelected() {
  auto* list = dynamic_cast<DuiLib::CListUI*>(m_pm.FindControl(u"list_apps"));
  if (list == nullptr) return;
  const int selected = list->GetCurSel();
  const std::vector<std::string> apps = load_.links.AppsOf(setup_.profile);
  if (selected < 0 || selected >= static_cast<int>(apps.size())) {
    CMsgWnd::Show(GetHWND(), u"warning_1_text", u"warning_app_none_selected_text");
    return;
  }
  kb::AppLinks links = load_.links;
  if (!links.Unlink(setup_.profile, apps[selected])) return;
  if (!Save(links)) return;
  ShowLinks();
  if (list->GetCount() > 0) list->SelectItem(std::min(selected, list->GetCount() - 1));
}

void CAppLinksDialog::MarkDefault() {
  kb::AppLinks links = load_.links;
  links.set_default_profile(setup_.profile);
  (void)Save(links);
  ShowDefault();
}

bool CAppLinksDialog::Save(const kb::AppLinks& links) {
  std::filesystem::path kept;
  if (const kb::Status saved = kb::SaveAppLinks(setup_.file, links, load_, &kept); !saved.ok()) {
    CMsgWnd::Warn(GetHWND(), u"warning_app_links_save_text",
                  CMsgWnd::Compose(u"warning_app_links_save_text", {CDuiString(saved.reason())}));
    return false;
  }
  // The damaged file, if any, is kept aside now: the next save replaces only this one.
  load_ = kb::AppLinksLoad{links, true, kb::Status::Ok()};
  changed_ = true;
  return true;
}
