// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_wnd.h"

#include <cstdio>
#include <string>

#include "app/no_keyboard_page.h"
#include "common/app_directory.h"
#include "common/login_autostart.h"
#include "common/udev_rule_fix.h"
#include "device/device_notification.h"
#include "pages/common/program_messages.h"
#include "shell/msg_wnd.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/session_end_watcher.h"
#include "ui/trace.h"

using DuiLib::CDuiString;
namespace msgs = kb::messages;

namespace {

constexpr DuiLib::UINT kDeviceChangeBroadcast = 537;
constexpr int kTrayMenuLift = 50;
// Messages of the original message map that carry nothing here.
constexpr DuiLib::UINT kReserved[] = {1130, 1131, 1325, 1326, 1327, 1328, 1329, 1330, 1331,
                                      1332, 1334, 1427, 1428, 1429, 1430, 1433, 1434};
constexpr int kNoKeyboardPage = 1;
constexpr int kDevicePage = 0;

// The message target the HID library posts through: it outlives the window (posts to a window
// that is gone are dropped), as the library stays loaded until the process ends.
kb_message_target& SharedTarget() {
  static kb_message_target target{};
  return target;
}

}  // namespace

CMainWnd::CMainWnd(kb::AppPaths paths) : paths_(std::move(paths)) {}

CMainWnd::~CMainWnd() { tray_.DeleteTrayIcon(); }

DuiLib::CControlUI* CMainWnd::CreateControl(const CDuiString& element_class) {
  // The layout names each model's page by the model's name; the thin classes name the model.
  if (element_class.CompareNoCase(CDuiString(std::string(kb::kKb3Info.name))) == 0)
    return new CKB_3_UI;
  if (element_class.CompareNoCase(CDuiString(std::string(kb::kKb4Info.name))) == 0)
    return new CKB_4_UI;
  return nullptr;
}

void CMainWnd::InitWindow() {
  SetIcon(u"skins/app_icon.png");
  const CDuiString title = DuiLib::CResourceManager::GetInstance()->GetText(u"software_name_text");
  SetTimer(msgs::kTrayTimer, msgs::kTrayDelayMs);
  SetWindowText(title);
  btn_min_ = m_pm.FindControl(u"btn_min");
  btn_exit_ = m_pm.FindControl(u"btn_exit");
  tab_device_ = dynamic_cast<DuiLib::CTabLayoutUI*>(m_pm.FindControl(u"tab_device"));
  if (tab_device_ != nullptr) tab_device_->SelectItem(kDevicePage);

  hooks_.LoadOnFirstUse(paths_.app_dir);

  AddVirtualWnd(u"KB_Page", &kb_);
  kb_.Init(&m_pm);
  const kb::PageWiring wiring{GetHWND(), &hooks_.table(), &capture_};
  SharedTarget() = GetMessageTarget();
  for (const kb::ModelInfo* info : kb::kModels) {
    CDevicePage* page = kb_.page(static_cast<int>(info->model));
    if (page == nullptr) continue;
    page->SetWiring(wiring);
    if (test_sleeper_ != nullptr) page->SetSleeperForTesting(test_sleeper_);
    // Only a model with a device link is started; the other page stays built and hidden.
    if (!info->has_device_link) continue;
    start_status_ = page->Start(paths_, &SharedTarget());
    // Told once the message loop runs, over the window.
    if (page->store_warning_key() != nullptr)
      PostMessage(msgs::kStoreWarning, static_cast<DuiLib::WPARAM>(info->model));
  }
}

void CMainWnd::Notify(DuiLib::TNotifyUI& msg) { WindowImplBase::Notify(msg); }

bool CMainWnd::HasTray() {
  if (tray_asked_) return has_tray_;
  tray_asked_ = true;
  KillTimer(msgs::kTrayTimer);
  const CDuiString title = DuiLib::CResourceManager::GetInstance()->GetText(u"software_name_text");
  const bool tray_made = tray_.CreateTrayIcon(GetHWND(), msgs::kAppIconId, title,
                                              msgs::kTrayCallback, u"skins/app_icon.png");
  has_tray_ = tray_override_ >= 0 ? tray_override_ == 1
                                  : tray_made && DuiLib::CTrayIcon::IsSystemTrayAvailable();
  return has_tray_;
}

void CMainWnd::OnClick(DuiLib::TNotifyUI& msg) {
  if (msg.pSender == nullptr) return;
  if (msg.pSender == btn_min_) {
    if (HasTray())
      ShowWindow(false);
    else
      Minimize();
  } else if (msg.pSender == btn_exit_) {
    Quit();
  }
}

bool CMainWnd::SaveStores() {
  stores_saved_ = true;
  bool saved = true;
  for (const kb::ModelInfo* info : kb::kModels) {
    CDevicePage* page = kb_.page(static_cast<int>(info->model));
    if (page == nullptr) continue;
    if (const kb::Status status = page->SaveAtExit(); !status.ok()) {
      std::fprintf(stderr, "kbconfig: the %s profiles could not be saved: %s\n",
                   std::string(info->name).c_str(), status.reason().c_str());
      saved = false;
    }
  }
  return saved;
}

void CMainWnd::Quit() {
  if (!SaveStores() &&
      CMsgWnd::Show(GetHWND(), u"warning_1_text", u"warning_exit_unsaved_text") != 1) {
    stores_saved_ = false;
    return;
  }
  DestroyWindow();
}

void CMainWnd::BringForward() {
  if (has_device_ || !HasTray()) {
    ShowWindow(true);
    if (IsMinimized()) Restore();
    BringToFront();
    return;
  }
  if (no_device_box_open_) return;
  no_device_box_open_ = true;
  // It tells and asks nothing: a title, and OK only.
  CMsgWnd::Warn(GetHWND(), u"warning_6_text", CMsgWnd::Compose(u"warning_6_text"));
  no_device_box_open_ = false;
}

void CMainWnd::UpdateDeviceTabs() {
  device_shown_ = false;
  device_count_ = 0;
  DuiLib::CTabLayoutUI* tabs = kb_.tabs();
  for (const kb::ModelInfo* info : kb::kModels) {
    const int m = static_cast<int>(info->model);
    CDevicePage* page = kb_.page(m);
    DuiLib::COptionUI* option = kb_.option(m);
    if (page != nullptr && page->device_open()) {
      ++device_count_;
      if (option != nullptr) option->SetVisible(true);
      if (tabs != nullptr) tabs->SelectItem(info->device_tab);
      device_shown_ = true;
    } else {
      if (tabs != nullptr && tabs->GetCurSel() == info->device_tab) tabs->SelectItem(0);
      if (option != nullptr) {
        if (option->IsSelected()) option->Selected(false, false);
        option->SetVisible(false);
      }
    }
  }
  if (kb_.row() != nullptr) {
    kb_.row()->SetFloat(true);
    kb_.row()->SetAttribute(u"pos", u"0,515,700,605");
  }
  PostMessage(msgs::kDeviceLayoutSettled);
}

void CMainWnd::DecideVisibility() {
  const int count = device_shown_ ? device_count_ : 0;
  if (count == 0 && tab_device_ != nullptr && tab_device_->GetCurSel() == kDevicePage)
    tab_device_->SelectItem(kNoKeyboardPage);
  has_device_ = count != 0;
  if (has_device_ && tab_device_ != nullptr) tab_device_->SelectItem(kDevicePage);
  if (!has_device_)
    kb::app::ShowNoKeyboardReason(
        m_pm, Linked() != nullptr ? Linked()->device_access() : kb::DeviceAccess{},
        kb::UdevRuleFixFor(paths_));
  m_pm.Invalidate();
  // Without a tray there is no way back to a hidden window: it stays up on the no-keyboard page.
  if (!has_device_ && HasTray()) ShowWindow(false);
}

void CMainWnd::ShowAtLogin() {
  if (HasTray())
    ShowWindow(false);
  else
    Minimize();
}

void CMainWnd::FollowApplicationInFront(bool at_once) {
  CDevicePage::ApplicationsSource source;
  // Asked when the dialog opens (windows come and go); a dialog opened before the watcher's
  // start starts it.
  source.open_applications = [this] {
    StartFollowing();
    return focus_.OpenApplications();
  };
  source.unavailable = [this] {
    StartFollowing();
    if (following_) return std::string();
    // Where the watcher cannot say why, the dialog must still not look as if it could follow.
    return focus_.Unavailable().empty() ? std::string("no reason given") : focus_.Unavailable();
  };
  for (int model = 0; model < kb::kModelCount; ++model)
    if (CDevicePage* page = kb_.page(model)) page->SetApplicationsSource(source);
  if (at_once)
    StartFollowing();
  else
    SetTimer(msgs::kFollowTimer, msgs::kFollowDelayMs);
}

void CMainWnd::StartFollowing() {
  if (follow_started_) return;
  follow_started_ = true;
  KillTimer(msgs::kFollowTimer);
  following_ = focus_.Start(GetHWND(), msgs::kApplicationInFront);
}

void CMainWnd::OpenTrayMenu() {
  if (auto* open = DuiLib::CWindowWnd::FromHandle(tray_menu_)) open->Close();
  DuiLib::POINT at = DuiLib::GetCursorPos();
  at.y -= kTrayMenuLift;
  DuiLib::CMenuWnd* menu = DuiLib::CMenuWnd::CreateMenu(
      u"traymenu.xml", at, &m_pm, DuiLib::eMenuAlignment_Left | DuiLib::eMenuAlignment_Top);
  if (menu != nullptr) {
    // The entry in the autostart folder is the setting, whoever made or removed it.
    if (DuiLib::CMenuElementUI* item = menu->FindItem(u"autostart"))
      item->SetChecked(kb::StartsAtLogin());
    menu->ResizeMenu();
  }
  tray_menu_ = menu != nullptr ? menu->GetHWND() : nullptr;
}

void CMainWnd::OnMenuCommand(DuiLib::MenuCmd* cmd) {
  if (cmd == nullptr) return;
  const CDuiString name(cmd->szName);
  DuiLib::CPaintManagerUI::DeletePtr(cmd);
  if (name.CompareNoCase(u"configuration") == 0) {
    BringForward();
  } else if (name.CompareNoCase(u"autostart") == 0) {
    const kb::Status set =
        kb::SetStartsAtLogin(!kb::StartsAtLogin(), kb::ExecutableDirectory() / "kbconfig");
    if (!set.ok()) CMsgWnd::Show(GetHWND(), u"warning_1_text", u"warning_autostart_text");
  } else if (name.CompareNoCase(u"exit") == 0) {
    Quit();
  } else if (name.Left(3) == CDuiString(u"kb_")) {
    kb_.OnMenuCommand(name);
  }
}

bool CMainWnd::CaptureRunning() const {
  for (int i = kb::kFirstCaptureByte; i <= kb::kLastCaptureByte; ++i)
    if (capture_[i] == 1) return true;
  return false;
}

void CMainWnd::OnHookEvent(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) {
  if (!CaptureRunning()) return;
  for (const kb::ModelInfo* info : kb::kModels) {
    CDevicePage* page = kb_.page(static_cast<int>(info->model));
    if ((capture_[info->recording_capture_byte] == 1 || capture_[info->key_capture_byte] == 1) &&
        page != nullptr && page->macro_page() != nullptr)
      page->macro_page()->OnHookEvent(msg, wParam, lParam);
  }
}

DuiLib::LRESULT CMainWnd::HandleCustomMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam,
                                              DuiLib::LPARAM lParam, bool& handled) {
  handled = true;
  switch (msg) {
    case DuiLib::WM_DESTROY:
      // However the window goes (the desktop closed it, a signal), edits stay in the store.
      if (!stores_saved_) (void)SaveStores();
      hooks_.Free();
      if (quit_on_destroy_) DuiLib::CPaintManagerUI::PostQuitMessage(0);
      handled = false;
      return 0;
    case DuiLib::WM_KEYDOWN:
      // While a key is captured or a recording runs, Enter and Space belong to the capture and
      // press no button of the window; otherwise they press the focused control.
      handled = CaptureRunning() && (wParam == DuiLib::VK_RETURN || wParam == DuiLib::VK_SPACE);
      return 0;
    case DuiLib::WM_TIMER:
      if (wParam == msgs::kFollowTimer) {
        StartFollowing();
        return 0;
      }
      if (wParam == msgs::kTrayTimer) {
        (void)HasTray();
        return 0;
      }
      if (wParam != msgs::kResumeTimer) {
        handled = false;
        return 0;
      }
      KillTimer(msgs::kResumeTimer);
      if (Linked() != nullptr) Linked()->RequestResume();
      return 0;
    case msgs::kPowerBroadcast:
      if (wParam == msgs::kResumeAutomatic) SetTimer(msgs::kResumeTimer, msgs::kResumeDelayMs);
      return 0;
    case kDeviceChangeBroadcast:
      return 0;
    case msgs::kTrayCallback:
      if (lParam == DuiLib::WM_LBUTTONUP) BringForward();
      if (lParam == DuiLib::WM_RBUTTONUP) OpenTrayMenu();
      return 0;
    case DuiLib::WM_MENUCLICK:
      OnMenuCommand(reinterpret_cast<DuiLib::MenuCmd*>(wParam));
      return 0;
    case msgs::kApplicationInFront:
      for (int model = 0; model < kb::kModelCount; ++model)
        if (CDevicePage* page = kb_.page(model); page != nullptr && page->started())
          page->OnApplicationInFront(focus_.Current());
      return 0;
    case msgs::kStoreWarning:
      if (CDevicePage* page = kb_.page(static_cast<int>(wParam)))
        if (page->store_warning_key() != nullptr)
          CMsgWnd::Show(GetHWND(), u"warning_1_text", CDuiString(page->store_warning_key()));
      return 0;
    case msgs::kSessionEnd:
      (void)SaveStores();
      if (wParam == DuiLib::CSessionEndWatcher::kTerminate)
        DestroyWindow();
      else
        stores_saved_ = false;  // the session may go on; a later exit saves again
      return 0;
    case msgs::kShowRequest:
      BringForward();
      return 0;
    case msgs::kDeviceStateChanged:
      UpdateDeviceTabs();
      return 0;
    case msgs::kDeviceLayoutSettled:
      DecideVisibility();
      return 0;
    case msgs::kHookKey:
    case msgs::kHookMouse:
      OnHookEvent(msg, wParam, lParam);
      return 0;
    case msgs::kDeviceData:
    case msgs::kDeviceChange:
      if (Linked() != nullptr)
        Linked()->OnDeviceNotification(kb::DeviceNotificationValue(msg, wParam, lParam));
      return 0;
    case msgs::kApplyRing:
    case msgs::kApplyProgress:
    case msgs::kApplyFinished:
      if (Linked() != nullptr) Linked()->OnApplyMessage(msg, wParam, lParam);
      return 0;
    default:
      break;
  }
  for (DuiLib::UINT reserved : kReserved)
    if (msg == reserved) return 0;
  handled = false;
  return 0;
}
