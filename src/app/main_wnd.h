// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CMainWnd: the program's one top-level window. Device tabs, tray icon and tray menu, menu
// routing, the keyboard's and the input hook's messages, the resume handshake. UI thread only.

#include <memory>

#include "app/device_tabs.h"
#include "app/hook_library.h"
#include "common/app_directory.h"
#include "pages/common/hook_table.h"
#include "ui/focus_watcher.h"
#include "ui/tray_icon.h"
#include "ui/window_impl_base.h"

class CMainWnd : public DuiLib::WindowImplBase {
 public:
  explicit CMainWnd(kb::AppPaths paths);
  ~CMainWnd() override;

  DuiLib::CDuiString GetWindowClassName() const override { return u"Korva Talvix Software"; }
  DuiLib::CControlUI* CreateControl(const DuiLib::CDuiString& element_class) override;

  // Whether the desktop has a notification area to hide into; without one the window never
  // hides itself. Tests set it before Create.
  void SetTrayAvailableForTesting(bool available) { tray_override_ = available ? 1 : 0; }
  // Paces the started model's transfers without waiting. Before Create.
  void SetSleeperForTesting(kb::Sleeper* sleeper) { test_sleeper_ = sleeper; }
  // Tests destroy the window without ending the application's event loops.
  void SetQuitOnDestroyForTesting(bool quit) { quit_on_destroy_ = quit; }
  // Started by the autostart entry: out of the way, in the tray where there is one, else
  // minimised.
  void ShowAtLogin();
  // Follows the application in front for the pages' automatic profile switching, where the
  // desktop tells which it is: from shortly after the window is shown, or at once.
  void FollowApplicationInFront(bool at_once = false);
  bool has_device() const { return has_device_; }
  bool no_device_box_open() const { return no_device_box_open_; }
  CKB& device_tabs() { return kb_; }
  DuiLib::CTrayIcon& tray() { return tray_; }
  kb::CaptureFlags& capture_flags() { return capture_; }
  const kb::Status& start_status() const { return start_status_; }

  // Show the window (or, without a keyboard, the no-device box).
  void BringForward();
  // The exit button and the tray's exit: the stores are saved first; when that fails the user
  // chooses between staying and ending without the unsaved edits.
  void Quit();

 protected:
  DuiLib::CDuiString GetSkinFile() override { return u"main.xml"; }
  DuiLib::UINT GetClassStyle() const override { return 8; }
  void InitWindow() override;
  void Notify(DuiLib::TNotifyUI& msg) override;
  void OnClick(DuiLib::TNotifyUI& msg) override;
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam,
                                      DuiLib::LPARAM lParam, bool& handled) override;

 private:
  void StartFollowing();
  // Whether the window hides into a tray; makes the tray icon at the first question.
  bool HasTray();
  void UpdateDeviceTabs();
  void DecideVisibility();
  void OpenTrayMenu();
  void OnMenuCommand(DuiLib::MenuCmd* cmd);
  void OnHookEvent(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
  // Whether a capture byte is set: a key capture or a recording runs.
  bool CaptureRunning() const;
  CDevicePage* Linked() const { return kb_.linked_page(); }
  // Every started model's profile store; false when one could not be saved (said on stderr).
  bool SaveStores();

  const kb::AppPaths paths_;
  CKB kb_;
  kb::HookLibrary hooks_;
  kb::CaptureFlags capture_{};
  DuiLib::CTrayIcon tray_;
  DuiLib::CFocusWatcher focus_;
  bool follow_started_ = false;
  bool following_ = false;
  int tray_override_ = -1;
  kb::Sleeper* test_sleeper_ = nullptr;
  bool quit_on_destroy_ = true;
  bool has_tray_ = false;
  bool tray_asked_ = false;
  DuiLib::HWND tray_menu_ = nullptr;
  DuiLib::CControlUI* btn_min_ = nullptr;
  DuiLib::CControlUI* btn_exit_ = nullptr;
  DuiLib::CTabLayoutUI* tab_device_ = nullptr;
  bool device_shown_ = false;
  int device_count_ = 0;
  bool has_device_ = false;
  bool no_device_box_open_ = false;
  bool stores_saved_ = false;  // at exit, once
  kb::Status start_status_ = kb::Status::Ok();
};
