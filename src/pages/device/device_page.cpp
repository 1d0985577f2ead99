// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/device/device_page.h"

#include <string>
#include <vector>

#include "common/login_autostart.h"
#include "common/utf16_text.h"
#include "device/macro_memory.h"
#include "macro/macro_file.h"
#include "macro/macro_store.h"
#include "names/file_base_name.h"
#include "names/name_rules.h"
#include "pages/common/program_messages.h"
#include "pages/device/app_links_dialog.h"
#include "profile/app_links.h"
#include "profile/profile_store.h"
#include "profile/store_paths.h"
#include "shell/msg_wnd.h"
#include "shell/name_dialog.h"
#include "ui/dialog_builder.h"
#include "ui/file_dialog.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/window.h"

using DuiLib::CDuiString;
using DuiLib::LanguageText;

namespace {

constexpr int kMaxProfilesForAdd = 10;
constexpr int kProfileRowHeight = 20;
constexpr int kAddedRowHeight = 21;
constexpr int kStatusTimer = 1;  // hides the apply status text
constexpr int kStatusShownMs = 6000;
constexpr int kBehindTimer = 2;  // compares the profile with what the keyboard was sent
constexpr int kBehindCheckMs = 100;

// Names only: what the name dialogs compare against, without holding the data's lock while
// they run.
kb::ProfileList NamesOf(const kb::ProfileList& list) {
  kb::ProfileList names;
  for (const auto& record : list) {
    auto copy = std::make_unique<kb::ProfileRecord>();
    std::copy(std::begin(record->name), std::end(record->name), std::begin(copy->name));
    names.push_back(std::move(copy));
  }
  return names;
}

DuiLib::FileDialogRequest FileRequest(DuiLib::HWND owner, bool save, const CDuiString& label,
                                      const CDuiString& pattern, const CDuiString& extension,
                                      const CDuiString& suggested_name = {}) {
  DuiLib::FileDialogRequest request;
  request.owner = owner;
  request.save = save;
  request.filter_label = label;
  request.filter_pattern = pattern;
  request.default_extension = extension;
  request.suggested_name = DuiLib::FileNameFor(suggested_name, extension);
  return request;
}

// Names in quotes, separated by commas; past a reading's length the rest is counted, so that
// an import of many macros still fits its box (kbctl lists them all).
constexpr std::size_t kNamesShown = 160;
CDuiString QuotedNames(const std::vector<std::u16string>& names) {
  std::u16string text;
  std::size_t shown = 0;
  for (const std::u16string& name : names) {
    if (shown > 0 && text.size() + name.size() > kNamesShown) break;
    if (shown > 0) text += u", ";
    text += u"\u201C" + name + u"\u201D";
    ++shown;
  }
  if (shown < names.size()) {
    text += u" ";
    text += CMsgWnd::Compose(u"report_more_names_text",
                             {CDuiString(std::to_string(names.size() - shown))})
                .view();
  }
  return CDuiString(text);
}

// A path as the report box shows it: a break is allowed after each '/', so that a long folder
// wraps instead of running out of the box.
CDuiString BreakablePath(const std::filesystem::path& path) {
  std::u16string text(CDuiString(path.string()).view());
  std::u16string out;
  for (char16_t c : text) {
    out += c;
    if (c == u'/') out += u'\u200B';
  }
  return CDuiString(out);
}

std::filesystem::path PathOf(const CDuiString& path) {
  return std::filesystem::path(path.ToUtf8());
}

// The profile that is due while `app` is in front: the one linked to it, else the default;
// `cause` names the application when a link chose it.
std::size_t DueProfile(const kb::AppLinks& links, std::string_view app, std::string& cause) {
  if (const auto linked = links.ProfileFor(app)) {
    cause = std::string(app);
    return *linked;
  }
  cause.clear();
  return links.default_profile();
}

}  // namespace

void CDevicePage::ProgressSleeper::Sleep(std::chrono::milliseconds duration) {
  page_.sleeper_->Sleep(duration);
  if (counting.load())
    DuiLib::PostMessage(page_.Owner(), kb::messages::kApplyProgress,
                        static_cast<DuiLib::WPARAM>(++reports), total.load());
}

CDevicePage::CDevicePage(const kb::ModelInfo& model) : CModelPage(model, "", "page_kb.xml") {}

// The session's worker ends before the link and the data it uses.
CDevicePage::~CDevicePage() = default;

DuiLib::CControlUI* CDevicePage::Find(const std::string& name) const {
  return GetManager() != nullptr ? GetManager()->FindControl(CDuiString(name)) : nullptr;
}

void CDevicePage::DoInit() {
  if (model_.has_device_link) BuildOnce();
}

void CDevicePage::Build() {
  if (!BuildLayout()) return;
  const std::string id(model_.id);
  option_custom_ = dynamic_cast<DuiLib::COptionUI*>(Find("option_" + id + "_custom"));
  option_light_ = dynamic_cast<DuiLib::COptionUI*>(Find("option_" + id + "_light"));
  option_macro_ = dynamic_cast<DuiLib::COptionUI*>(Find("option_" + id + "_macro"));
  tabs_ = dynamic_cast<DuiLib::CTabLayoutUI*>(Find("tab_device_" + id));
  combo_ = dynamic_cast<DuiLib::CComboUI*>(Find("combo_" + id + "_profile"));
  profile_dot_ = Find("btn_" + id + "_profile_dot");
  reset_ = Find("btn_" + id + "_reset");
  apply_ = Find("btn_" + id + "_apply");
  version_ = dynamic_cast<DuiLib::CLabelUI*>(Find(id + "_version"));
  apply_ring_ = Find("apply_ring");
  apply_progress_ = dynamic_cast<DuiLib::CLabelUI*>(Find("label_" + id + "_apply_progress"));
  apply_status_ = dynamic_cast<DuiLib::CLabelUI*>(Find("label_" + id + "_apply_status"));
  apply_pending_ = Find("label_" + id + "_apply_pending");
  custom_ = dynamic_cast<CKeyCustomPage*>(Find(id + "_custom"));
  light_ = dynamic_cast<CLightPage*>(Find(id + "_light"));
  macro_ = dynamic_cast<CMacroPage*>(Find(id + "_macro"));
  model_tag_ = kb::MakeModelTag(std::u16string_view(LanguageText(model_.model_text_key)));
  if (wired_) SetWiring(wiring_);
}

void CDevicePage::SetWiring(const kb::PageWiring& wiring) {
  wiring_ = wiring;
  wired_ = true;
  if (custom_ != nullptr) custom_->SetWiring(wiring);
  if (light_ != nullptr) light_->SetWiring(wiring);
  if (macro_ != nullptr) {
    macro_->SetWiring(wiring);
    // A deleted or renamed macro changed keys of the current profile: show them, and apply
    // once per key, as each would have been applied on its own.
    macro_->SetKeysChanged([this](int keys) {
      if (custom_ != nullptr) custom_->RefreshKeyHighlights();
      for (int i = 0; i < keys; ++i) Apply();
    });
  }
}

kb::Status CDevicePage::Start(const kb::AppPaths& paths, const kb_message_target* target) {
  paths_ = paths;
  progress_sleeper_ = std::make_unique<ProgressSleeper>(*this);
  session_ = std::make_unique<kb::ModelSession>(model_, paths, *this, *progress_sleeper_);
  data_ = &session_->data();
  // A new store's one profile is the model's first-profile text with "_1".
  const CDuiString first_name = LanguageText(model_.first_profile_key) + u"_1";
  const kb::SessionStart start = session_->Start(std::u16string_view(first_name), target);
  worker_ = session_->worker();
  if (start.store_damaged()) store_warning_key_ = "warning_store_damaged_text";
  if (start.store_unreadable()) store_warning_key_ = "warning_store_unreadable_text";
  if (custom_ != nullptr) custom_->SetModelData(data_);
  if (light_ != nullptr) light_->SetModelData(data_);
  if (macro_ != nullptr) {
    macro_->SetModelData(data_);
    macro_->FillMacroList();
  }
  FillProfileCombo();
  RefreshPage();
  return start.first_problem();
}

kb::DeviceAccess CDevicePage::device_access() const {
  return session_ != nullptr ? session_->binding().QueryAccess() : kb::DeviceAccess{};
}

bool CDevicePage::device_open() const {
  return data_ != nullptr && data_->device_state() == kb::DeviceState::Present;
}

void CDevicePage::FillProfileCombo() {
  if (combo_ == nullptr || data_ == nullptr) return;
  combo_->RemoveAll();
  auto edit = data_->Lock();
  for (const auto& profile : edit.profiles()) {
    auto* item = new DuiLib::CListLabelElementUI;
    item->SetText(CDuiString(kb::FieldText(profile->name)));
    item->SetFixedHeight(kProfileRowHeight);
    combo_->Add(item);
  }
  combo_->SelectItem(edit.header().selected_index);
}

void CDevicePage::RefreshPage() {
  if (custom_ != nullptr) custom_->RefreshKeyHighlights();
  if (light_ != nullptr) light_->RefreshPage();
  if (macro_ != nullptr) macro_->ShowMacroMemory();
  ScheduleBehindCheck();
}

// Pages edit the profile in their own handlers, which may run after this page's; one check a
// little later sees them all, however many notifications came.
void CDevicePage::ScheduleBehindCheck() {
  if (apply_ != nullptr && GetManager() != nullptr && data_ != nullptr)
    GetManager()->SetTimer(apply_, kBehindTimer, kBehindCheckMs);
}

void CDevicePage::ShowKeyboardBehind() {
  if (apply_ == nullptr || data_ == nullptr) return;
  const bool behind = data_->KeyboardBehind();
  if (apply_pending_ != nullptr) apply_pending_->SetVisible(behind);
  const CDuiString note = behind ? LanguageText("apply_pending_text") : CDuiString();
  apply_->SetToolTip(note);
  apply_->SetAccessibleDescription(note);
}

bool CDevicePage::keyboard_behind_shown() const {
  return apply_pending_ != nullptr && apply_pending_->IsVisible();
}

kb::Status CDevicePage::SaveAtExit() {
  if (data_ == nullptr) return kb::Status::Ok();
  return data_->SaveProfileStore();
}

void CDevicePage::SelectProfile(int index) {
  if (data_ == nullptr) return;
  data_->Lock().SelectProfile(index);
  // The user's choice, not an application's.
  ShowProfileCause("");
  RefreshPage();
}

void CDevicePage::ShowProfileCause(const std::string& app) {
  profile_cause_ = app;
  if (combo_ == nullptr) return;
  combo_->SetNote(app.empty() ? CDuiString()
                              : CMsgWnd::Compose(u"profile_in_use_for_text", {CDuiString(app)}));
  // The note is cut in a narrow combo; the tip names the application whole.
  const CDuiString tip =
      app.empty() ? CDuiString() : CMsgWnd::Compose(u"profile_in_use_tip_text", {CDuiString(app)});
  combo_->SetToolTip(tip);
  combo_->SetAccessibleDescription(tip);
}

void CDevicePage::Notify(DuiLib::TNotifyUI& msg) {
  if (!IsVisible()) return;
  const std::string id(model_.id);
  if (msg.sType == DuiLib::DUI_MSGTYPE_CLICK) {
    OnClick(msg);
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_SELECTCHANGED && tabs_ != nullptr) {
    if (msg.pSender == option_custom_) tabs_->SelectItem(0);
    if (msg.pSender == option_light_) tabs_->SelectItem(1);
    if (msg.pSender == option_macro_) tabs_->SelectItem(2);
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_ITEMSELECT && msg.pSender == combo_) {
    SelectProfile(static_cast<int>(msg.wParam));
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_TIMER && msg.pSender == apply_status_ &&
             msg.wParam == kStatusTimer) {
    GetManager()->KillTimer(apply_status_, kStatusTimer);
    apply_status_->SetVisible(false);
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_TIMER && msg.pSender == apply_ &&
             msg.wParam == kBehindTimer) {
    GetManager()->KillTimer(apply_, kBehindTimer);
    ShowKeyboardBehind();
  }
  if (msg.sType != DuiLib::DUI_MSGTYPE_TIMER) ScheduleBehindCheck();
}

void CDevicePage::OnClick(DuiLib::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  if (msg.pSender == profile_dot_) OpenProfileMenu();
  if (msg.pSender == apply_) Apply();
  if (msg.pSender == reset_) Reset();
}

void CDevicePage::OpenProfileMenu() {
  if (auto* open = DuiLib::CWindowWnd::FromHandle(profile_menu_)) open->Close();
  const DuiLib::RECT button = profile_dot_->GetPos();
  DuiLib::RECT window{};
  DuiLib::GetWindowRect(Owner(), &window);
  const CDuiString menu(std::string("KB/") + std::string(model_.name) + "/profilemenu.xml");
  DuiLib::CMenuWnd* shown = DuiLib::CMenuWnd::CreateMenu(
      menu, DuiLib::POINT{window.left + button.left, window.top + button.bottom}, GetManager(),
      DuiLib::eMenuAlignment_Left | DuiLib::eMenuAlignment_Top);
  if (shown != nullptr) {
    // The entry in the autostart folder is the setting, whoever made or removed it.
    if (DuiLib::CMenuElementUI* item = shown->FindItem(u"autostart"))
      item->SetChecked(kb::StartsAtLogin());
    // The links file is the setting: kbctl may have made the first link.
    if (DuiLib::CMenuElementUI* item =
            shown->FindItem(CDuiString(std::string(model_.id) + "_profile_auto")))
      item->SetChecked(
          data_ != nullptr &&
          kb::LoadAppLinks(kb::AppLinksPathOf(data_->paths().profile_store)).links.automatic());
    shown->ResizeMenu();
  }
  profile_menu_ = shown != nullptr ? shown->GetHWND() : nullptr;
}

void CDevicePage::Apply() {
  if (worker_ == nullptr) return;
  ++applies_posted_;
  worker_->Post(kb::messages::kWorkerApply);
}

void CDevicePage::OnApplicationInFront(std::string_view app) {
  app_in_front_ = std::string(app);
  if (data_ == nullptr) return;
  const kb::AppLinksLoad load = kb::LoadAppLinks(kb::AppLinksPathOf(data_->paths().profile_store));
  if (!load.problem.ok() || !load.links.automatic()) return;
  std::string cause;
  const std::size_t target = DueProfile(load.links, app, cause);
  bool present = false;
  {
    auto edit = data_->Lock();
    if (target >= edit.profiles().size()) return;
    if (edit.header().selected_index == static_cast<std::int32_t>(target) &&
        edit.current() != nullptr) {
      edit.Release();
      ShowProfileCause(cause);
      return;
    }
    edit.SwitchProfile(static_cast<int>(target));
    present = edit.device_state() == kb::DeviceState::Present;
  }
  if (combo_ != nullptr) combo_->SelectItem(static_cast<int>(target));  // no select event
  ShowProfileCause(cause);
  RefreshPage();
  // Absent, the keyboard gets the profile that is due when it arrives.
  if (!present) return;
  // The apply under way sends the old profile; one more, queued behind it, takes the newest.
  if (applies_posted_ < 2) Apply();
}

void CDevicePage::ApplyDueProfileAtArrival() {
  // Without a report of the application in front there is nothing to follow yet.
  if (data_ == nullptr || !app_in_front_) return;
  const kb::AppLinksLoad load = kb::LoadAppLinks(kb::AppLinksPathOf(data_->paths().profile_store));
  if (!load.problem.ok() || !load.links.automatic()) return;
  std::string cause;
  const std::size_t target = DueProfile(load.links, *app_in_front_, cause);
  {
    auto edit = data_->Lock();
    if (target >= edit.profiles().size()) return;
    // What the keyboard holds after an arrival is unknown: the whole profile goes.
    edit.SelectProfile(static_cast<int>(target));
  }
  if (combo_ != nullptr) combo_->SelectItem(static_cast<int>(target));  // no select event
  ShowProfileCause(cause);
  RefreshPage();
  Apply();
}

void CDevicePage::ToggleAutomatic() {
  const std::filesystem::path file = kb::AppLinksPathOf(data_->paths().profile_store);
  const kb::AppLinksLoad load = kb::LoadAppLinks(file);
  kb::AppLinks links = load.links;
  links.set_automatic(!links.automatic());
  if (!kb::SaveAppLinks(file, links, load).ok()) {
    Warn("warning_app_auto_text");
    return;
  }
  if (!links.automatic())
    ShowProfileCause("");
  else if (app_in_front_)
    OnApplicationInFront(*app_in_front_);
}

void CDevicePage::OpenAppLinks() {
  CAppLinksDialog::Setup setup;
  setup.file = kb::AppLinksPathOf(data_->paths().profile_store);
  {
    auto edit = data_->Lock();
    if (edit.current() == nullptr || edit.header().selected_index < 0) return;
    setup.profile = static_cast<std::size_t>(edit.header().selected_index);
    for (const auto& profile : edit.profiles())
      setup.profile_names.emplace_back(kb::FieldText(profile->name));
  }
  if (applications_.open_applications) setup.open_applications = applications_.open_applications();
  if (applications_.unavailable) setup.unavailable = applications_.unavailable();
  CAppLinksDialog dialog(std::move(setup));
  dialog.Run(Owner());
  if (!dialog.changed() || profile_cause_.empty()) return;
  // The application that chose the profile shown may have been unlinked from it.
  const kb::AppLinksLoad load = kb::LoadAppLinks(kb::AppLinksPathOf(data_->paths().profile_store));
  const auto linked = load.links.ProfileFor(profile_cause_);
  if (!linked || static_cast<std::int32_t>(*linked) != data_->Lock().header().selected_index)
    ShowProfileCause("");
}

void CDevicePage::Reset() {
  if (data_ == nullptr) return;
  if (CMsgWnd::Show(Owner(), u"warning_1_text", u"warning_5_text") != 1) return;
  {
    auto edit = data_->Lock();
    if (edit.current() == nullptr) return;
    kb::ResetProfile(*edit.current(), model_.model);
    edit.RequestFullApply();
  }
  RefreshPage();
  Apply();
}

void CDevicePage::Warn(const char* text_key) {
  CMsgWnd::Show(Owner(), u"warning_1_text", CDuiString(text_key));
}

void CDevicePage::SaveProfiles() {
  if (!data_->SaveProfileStore().ok()) Warn("warning_store_save_text");
}

void CDevicePage::SaveMacros() {
  if (!data_->SaveMacroStore().ok()) Warn("warning_store_save_text");
}

void CDevicePage::OnMenuCommand(const CDuiString& item_name) {
  if (data_ == nullptr) return;
  const std::string id(model_.id);
  const auto is = [&](const char* command) {
    return item_name.CompareNoCase(CDuiString(id + command)) == 0;
  };
  if (is("_macro_import")) {
    ImportMacro();
  } else if (is("_macro_export")) {
    if (macro_ != nullptr && macro_->SelectedMacro() >= 0) ExportMacro();
  } else if (is("_macro_rename")) {
    if (macro_ != nullptr) macro_->RenameMacro();
  } else if (is("_profile_add")) {
    AddProfile();
  } else if (is("_profile_del")) {
    DeleteProfile();
  } else if (is("_profile_import")) {
    ImportProfile();
  } else if (is("_profile_export")) {
    ExportProfile();
  } else if (is("_profile_rename")) {
    RenameProfile();
  } else if (is("_profile_apps")) {
    OpenAppLinks();
  } else if (is("_profile_auto")) {
    ToggleAutomatic();
  } else if (custom_ != nullptr) {
    custom_->ApplyKeyCommand(item_name);
  }
  ScheduleBehindCheck();
}

void CDevicePage::AddProfile() {
  kb::ProfileList names;
  {
    auto edit = data_->Lock();
    if (static_cast<int>(edit.profiles().size()) >= kMaxProfilesForAdd) {
      edit.Release();
      Warn("warning_13_text");
      return;
    }
    names = NamesOf(edit.profiles());
  }
  CNameDialog dialog(model_, names);
  dialog.SetMode(CNameDialog::kModeNew);
  dialog.SetName(u"");
  if (dialog.Run(Owner(), CDuiString(std::string(model_.name) + "_EditProfileName")) != 1) return;
  const CDuiString name = dialog.GetName();
  int index = 0;
  {
    auto edit = data_->Lock();
    kb::NewDefaultProfile(std::u16string_view(name), model_.model, edit.profiles());
    index = static_cast<int>(edit.profiles().size()) - 1;
  }
  auto* item = new DuiLib::CListLabelElementUI;
  item->SetText(name);
  item->SetFixedHeight(kAddedRowHeight);
  combo_->Add(item);
  combo_->SelectItem(index, true);
  SaveProfiles();
}

void CDevicePage::DeleteProfile() {
  int index = -1;
  {
    auto edit = data_->Lock();
    if (edit.profiles().size() < 2) {
      edit.Release();
      Warn("warning_12_text");
      return;
    }
    index = edit.header().selected_index;
  }
  if (CMsgWnd::Show(Owner(), u"warning_1_text", u"warning_2_text") != 1) return;
  {
    auto edit = data_->Lock();
    auto& list = edit.profiles();
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    list.erase(list.begin() + index);
  }
  // The combo selects the item that took the removed one's place and raises "itemselect",
  // which makes that profile current.
  combo_->RemoveAt(index);
  SaveProfiles();
  UnlinkDeletedProfile(static_cast<std::size_t>(index));
}

void CDevicePage::UnlinkDeletedProfile(std::size_t index) {
  const std::filesystem::path file = kb::AppLinksPathOf(data_->paths().profile_store);
  kb::AppLinksLoad load = kb::LoadAppLinks(file);
  if (!load.existed) return;
  load.links.ProfileDeleted(index);
  if (!kb::SaveAppLinks(file, load.links, load).ok()) Warn("warning_links_not_saved_text");
}

void CDevicePage::RenameProfile() {
  kb::ProfileList names;
  std::u16string current;
  {
    auto edit = data_->Lock();
    if (edit.current() == nullptr) return;
    names = NamesOf(edit.profiles());
    current = std::u16string(kb::FieldText(edit.current()->name));
  }
  CNameDialog dialog(model_, names);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(current);
  if (dialog.Run(Owner(), CDuiString(std::string(model_.name) + "_EditConfigName")) != 1) return;
  {
    auto edit = data_->Lock();
    if (edit.current() == nullptr) return;
    kb::StoreFieldText(edit.current()->name, std::u16string_view(dialog.GetName()));
  }
  if (auto* item = combo_->GetItemAt(combo_->GetCurSel())) item->SetText(dialog.GetName());
  combo_->Invalidate();
  SaveProfiles();
}

void CDevicePage::ImportProfile() {
  const auto chosen = DuiLib::GetOpenFileName(
      FileRequest(Owner(), false, u"Keyboard Profile File", u"*.kpo;*.KPO", u"kpo"));
  if (!chosen) return;
  kb::ProfileImport result;
  {
    auto edit = data_->Lock();
    result = kb::ImportProfileFile(PathOf(*chosen), model_tag_, model_.model, edit.profiles(),
                                   edit.macros());
  }
  if (result.outcome == kb::ProfileImportOutcome::OtherModel) {
    Warn("warning_15_text");
    return;
  }
  if (result.outcome == kb::ProfileImportOutcome::NotProfileFile) {
    Warn("warning_not_profile_text");
    return;
  }
  if (result.outcome == kb::ProfileImportOutcome::StoreFull) {
    CMsgWnd::Warn(Owner(), u"warning_import_full_text",
                  CMsgWnd::Compose(u"warning_import_full_text",
                                   {CDuiString(std::to_string(kb::kMaxStoredProfiles)),
                                    CDuiString(std::to_string(kb::kMaxStoredMacros))}));
    return;
  }
  if (result.outcome != kb::ProfileImportOutcome::Imported) {
    Warn("warning_file_damaged_text");
    return;
  }
  // The new macros join the end of the list; the macro being edited stays selected.
  if (result.macros_added > 0 && macro_ != nullptr) macro_->AppendMacroRows(result.macro_names);
  auto* item = new DuiLib::CListLabelElementUI;
  item->SetText(CDuiString(result.profile_name));
  item->SetFixedHeight(kAddedRowHeight);
  combo_->Add(item);
  combo_->SelectItem(static_cast<int>(result.profile_index), true);
  SaveProfiles();
  if (result.macros_added > 0) SaveMacros();

  CDuiString said =
      CMsgWnd::Compose(u"report_profile_imported_text", {CDuiString(result.profile_name)});
  if (!result.macro_names.empty()) {
    said += u" ";
    said += CMsgWnd::Compose(u"report_macros_imported_text", {QuotedNames(result.macro_names)});
  }
  if (const int released = result.keys_released + result.fn_bindings_released; released > 0) {
    said += u" ";
    said += CMsgWnd::Compose(u"report_keys_released_text", {CDuiString(std::to_string(released))});
  }
  CMsgWnd::Report(Owner(), u"report_profile_imported_text", said);
}

void CDevicePage::ExportProfile() {
  std::u16string name;
  {
    auto edit = data_->Lock();
    if (edit.current() == nullptr) return;
    name = std::u16string(kb::FieldText(edit.current()->name));
  }
  ExportFile(FileRequest(Owner(), true, u"Keyboard Profile File", u"*.kpo;*.KPO", u"kpo",
                         CDuiString(name)),
             name, u"report_profile_exported_text", [this](const std::filesystem::path& path) {
               auto edit = data_->Lock();
               if (edit.current() == nullptr) return kb::Status::Fail("no profile to export");
               return kb::ExportProfileFile(path, model_tag_, *edit.current(), edit.macros(),
                                            model_.model);
             });
}

// The save dialog, the refusal of every place a store may have, the write and its report:
// what both exports share.
void CDevicePage::ExportFile(const DuiLib::FileDialogRequest& request, const std::u16string& name,
                             const char16_t* report_key,
                             const std::function<kb::Status(const std::filesystem::path&)>& write) {
  const auto chosen = DuiLib::GetSaveFileName(request);
  if (!chosen) return;
  const std::filesystem::path path = PathOf(*chosen);
  if (paths_ && kb::IsAStore(path, *paths_)) {
    Warn("warning_file_save_text");
    return;
  }
  if (!write(path).ok()) {
    Warn("warning_file_save_text");
    return;
  }
  CMsgWnd::Report(Owner(), report_key,
                  CMsgWnd::Compose(report_key, {CDuiString(name), BreakablePath(path)}));
}

void CDevicePage::ImportMacro() {
  const auto chosen = DuiLib::GetOpenFileName(FileRequest(
      Owner(), false, CDuiString(std::string(model_.macro_filter_label)), u"*.mco;*.MCO", u"mco"));
  if (!chosen) return;
  kb::MacroImport result;
  {
    auto edit = data_->Lock();
    result = kb::ImportMacroFile(PathOf(*chosen), edit.macros());
  }
  if (result.outcome == kb::MacroImportOutcome::StoreFull) {
    CMsgWnd::Warn(Owner(), u"warning_macros_full_text",
                  CMsgWnd::Compose(u"warning_macros_full_text",
                                   {CDuiString(std::to_string(kb::kMaxStoredMacros))}));
    return;
  }
  if (result.outcome != kb::MacroImportOutcome::Imported) {
    Warn("warning_file_damaged_text");
    return;
  }
  SaveMacros();
  if (macro_ != nullptr) macro_->AppendMacroItem(result.name);
  CMsgWnd::Report(Owner(), u"report_macro_imported_text",
                  CMsgWnd::Compose(u"report_macro_imported_text", {CDuiString(result.name)}));
}

void CDevicePage::ExportMacro() {
  const int selected = macro_->SelectedMacro();
  std::u16string name;
  {
    auto edit = data_->Lock();
    if (selected < 0 || selected >= static_cast<int>(edit.macros().size())) return;
    name = std::u16string(kb::NameOf(*edit.macros()[selected]));
  }
  ExportFile(FileRequest(Owner(), true, CDuiString(std::string(model_.macro_filter_label)),
                         u"*.mco;*.MCO", u"mco", CDuiString(name)),
             name, u"report_macro_exported_text",
             [this, selected](const std::filesystem::path& path) {
               auto edit = data_->Lock();
               if (selected >= static_cast<int>(edit.macros().size()))
                 return kb::Status::Fail("the macro is gone");
               return kb::ExportMacroFile(path, *edit.macros()[selected]);
             });
}

void CDevicePage::OnDeviceNotification(std::uint32_t value) {
  if (session_ == nullptr) return;
  const bool was_open = device_open();
  (void)session_->link().OnDeviceNotification(value);
  RefreshPage();
  if (!was_open && device_open()) ApplyDueProfileAtArrival();
}

void CDevicePage::RequestResume() {
  if (worker_ != nullptr) worker_->Post(kb::messages::kWorkerResume);
}

void CDevicePage::OnApplyMessage(DuiLib::UINT message, DuiLib::WPARAM wParam,
                                 DuiLib::LPARAM lParam) {
  if (message == kb::messages::kApplyRing) {
    if (apply_ring_ != nullptr) apply_ring_->SetVisible(wParam != 0);
    if (wParam != 0 && apply_status_ != nullptr) apply_status_->SetVisible(false);
    if (wParam != 0 && apply_progress_ != nullptr)
      apply_progress_->SetText(LanguageText("apply_running_text"));
  } else if (message == kb::messages::kApplyProgress) {
    if (apply_progress_ != nullptr) {
      CDuiString text;
      text.Format(u"%s %d / %d", LanguageText("apply_reports_text").ToUtf8().c_str(),
                  static_cast<int>(wParam), static_cast<int>(lParam));
      apply_progress_->SetText(text);
    }
  } else if (message == kb::messages::kApplyFinished) {
    if (applies_posted_ > 0) --applies_posted_;
    if (apply_status_ == nullptr) return;
    const auto result = static_cast<kb::ApplyOutcome::Result>(wParam & 0xFF);
    const int skipped = static_cast<int>(lParam);
    std::string key = "apply_done_text";
    if (result == kb::ApplyOutcome::Result::Failed) key = "apply_failed_text";
    if (result == kb::ApplyOutcome::Result::Absent) key = "apply_absent_text";
    if (result == kb::ApplyOutcome::Result::Lost) key = "apply_lost_text";
    if (result == kb::ApplyOutcome::Result::NoProfile) key = "apply_no_profile_text";
    CDuiString text = LanguageText(key);
    if (result == kb::ApplyOutcome::Result::Reached && skipped > 0) {
      // By name: measured as the apply encodes them, on what the profile holds now.
      const std::u16string names = session_->LeftOutMacroNames();
      text += u" ";
      text += LanguageText("apply_skipped_text");
      text += u" ";
      if (names.empty()) {
        CDuiString count;
        count.Format(u"%d", skipped);
        text += count;
      } else {
        text += CDuiString(names);
      }
    }
    if (macro_ != nullptr) macro_->ShowMacroMemory();
    ShowKeyboardBehind();
    if ((wParam >> 8) & 1) text += CDuiString(u" ") + LanguageText("apply_not_saved_text");
    apply_status_->SetText(text);
    apply_status_->SetUserData(CDuiString(key));
    apply_status_->SetVisible(true);
    // A pulled cable hides this page at once: its outcome stays until the next apply, so that
    // the user reads it when the keyboard is back, however long that takes.
    if (result != kb::ApplyOutcome::Result::Lost)
      GetManager()->SetTimer(apply_status_, kStatusTimer, kStatusShownMs);
  }
}

void CDevicePage::ShowApplyRing(bool visible) {
  progress_sleeper_->reports = 0;
  progress_sleeper_->counting = visible;
  DuiLib::PostMessage(Owner(), kb::messages::kApplyRing, visible ? 1 : 0, 0);
}

void CDevicePage::ApplyStarting(std::size_t total_reports) {
  progress_sleeper_->total = static_cast<int>(total_reports);
}

bool CDevicePage::ResumeAllowed() { return resume_allowed_.load(); }

void CDevicePage::ApplyFinished(const kb::ApplyOutcome& outcome) {
  const DuiLib::WPARAM code =
      static_cast<DuiLib::WPARAM>(outcome.result) | (outcome.store_saved.ok() ? 0u : 1u << 8);
  DuiLib::PostMessage(Owner(), kb::messages::kApplyFinished, code,
                      static_cast<DuiLib::LPARAM>(outcome.transfer.skipped_programs));
}

void CDevicePage::DeviceStateChanged() {
  DuiLib::PostMessage(Owner(), kb::messages::kDeviceStateChanged, 0, 0);
}

void CDevicePage::ShowFirmwareVersion(const std::string& text) {
  if (version_ != nullptr) version_->SetText(CDuiString(text));
}

void CDevicePage::ShowLightMode(int mode) {
  if (light_ != nullptr) light_->ShowLightMode(mode);
}
