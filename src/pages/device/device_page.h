// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device page controller of one model: its page (sub-page tabs, profile combo and menu,
// Reset, Apply) on the model's session (session/model_session.h: the data, the device link and
// the worker, as kbctl has them too), the profile and macro file commands, and the apply
// feedback. One implementation;
// CKB_3_UI and CKB_4_UI only choose the model. UI thread only, but for the DeviceObserver calls
// that the worker makes (they post to the main window).

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/app_directory.h"
#include "device/sleeper.h"
#include "pages/common/model_page.h"
#include "pages/common/page_wiring.h"
#include "pages/keys/key_custom_page.h"
#include "pages/lighting/light_page.h"
#include "pages/macro/macro_page.h"
#include "profile/profile_exchange.h"
#include "session/device_observer.h"
#include "session/model_data.h"
#include "session/model_session.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/file_dialog.h"
#include "ui/label.h"
#include "ui/notify.h"

class CDevicePage : public CModelPage, public kb::DeviceObserver {
 public:
  // What the main window knows of the desktop's applications, for the applications dialog.
  struct ApplicationsSource {
    // The applications with a window open now (the program's own left out).
    std::function<std::vector<std::string>()> open_applications;
    // Why the application in front cannot be followed here; empty where it is followed.
    std::function<std::string()> unavailable;
  };

  explicit CDevicePage(const kb::ModelInfo& model);
  ~CDevicePage() override;

  // The page of a model that is started is built with the window; another model's page, which
  // the first frame never shows, is built when it is first shown.
  void DoInit() override;
  void Notify(DuiLib::TNotifyUI& msg) override;

  // Given by the main window before Start; handed on to the three sub-pages.
  void SetWiring(const kb::PageWiring& wiring);
  // Tests pace the transfers without waiting. Before Start.
  void SetSleeperForTesting(kb::Sleeper* sleeper) { sleeper_ = sleeper; }

  // Once, from the main window: creates the worker, starts the device link, loads the stores
  // and shows the selected profile. `target` reaches the main window and must outlive the
  // process's use of the HID library. Returns the first problem of the start (the program goes
  // on without the keyboard).
  kb::Status Start(const kb::AppPaths& paths, const kb_message_target* target);
  bool started() const { return data_ != nullptr; }
  // After Start: the text key of what the user must hear about the stores (one that could not
  // be read and is left untouched, or one read with losses), or null.
  const char* store_warning_key() const { return store_warning_key_; }
  bool device_open() const;
  // What the HID library says of the keyboard now: whether it is there and may be opened.
  kb::DeviceAccess device_access() const;

  // The keyboard's notification value (DeviceNotificationValue) from the main window.
  void OnDeviceNotification(std::uint32_t value);
  // A menu item whose name begins with this model's prefix.
  void OnMenuCommand(const DuiLib::CDuiString& item_name);
  // The worker's apply messages, as the main window receives them.
  void OnApplyMessage(DuiLib::UINT message, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
  // The resume handshake, after the resume delay.
  void RequestResume();
  // Another application came to the front (`app`, as the desktop names it). With switching on,
  // the profile linked to it, or the default one, becomes current and is applied, sending only
  // what differs from what the keyboard holds. Bursts of changes give at most the apply under
  // way and one more, which takes the last state.
  void OnApplicationInFront(std::string_view app);
  // Given by the main window once it knows whether it follows the application in front.
  void SetApplicationsSource(ApplicationsSource source) { applications_ = std::move(source); }

  // Shows the current profile on the key and lighting pages.
  void RefreshPage();
  // Soon after anything that may have changed the profile: whether the keyboard lacks the
  // profile as shown, beside Apply.
  void ScheduleBehindCheck();
  bool keyboard_behind_shown() const;
  // The program ends (exit, session end, a termination signal): edits not yet applied are kept
  // in the store. Says why it could not.
  kb::Status SaveAtExit();

  kb::ModelData* data() const { return data_; }
  kb::DeviceWorker* worker() const { return worker_; }
  CKeyCustomPage* custom_page() const { return custom_; }
  CLightPage* light_page() const { return light_; }
  CMacroPage* macro_page() const { return macro_; }

  // kb::DeviceObserver
  void ShowApplyRing(bool visible) override;
  bool ResumeAllowed() override;
  void ApplyStarting(std::size_t total_reports) override;
  void ApplyFinished(const kb::ApplyOutcome& outcome) override;
  void DeviceStateChanged() override;
  void ShowFirmwareVersion(const std::string& text) override;
  void ShowLightMode(int mode) override;

 private:
  // Counts the reports of an apply (one pause follows each) and posts the count.
  class ProgressSleeper final : public kb::Sleeper {
   public:
    explicit ProgressSleeper(CDevicePage& page) : page_(page) {}
    void Sleep(std::chrono::milliseconds duration) override;
    std::atomic<bool> counting{false};
    std::atomic<int> reports{0};
    std::atomic<int> total{0};

   private:
    CDevicePage& page_;
  };

  // Builds the layout and finds the controls; the wiring, if already given, is handed on.
  void Build() override;
  void OnClick(DuiLib::TNotifyUI& msg);
  void SelectProfile(int index);
  void FillProfileCombo();
  void AddProfile();
  void DeleteProfile();
  // The application links follow a deleted profile; a failed save of them is told.
  void UnlinkDeletedProfile(std::size_t index);
  void RenameProfile();
  void ImportProfile();
  void ExportProfile();
  void ImportMacro();
  void ExportMacro();
  void ExportFile(const DuiLib::FileDialogRequest& request, const std::u16string& name,
                  const char16_t* report_key,
                  const std::function<kb::Status(const std::filesystem::path&)>& write);
  void Reset();
  void Apply();
  void OpenProfileMenu();
  // "Applications…" of the profile menu.
  void OpenAppLinks();
  // "Switch profiles automatically" of the profile menu: turns the setting over in the links
  // file; turned on, the application in front takes its profile at once.
  void ToggleAutomatic();
  // The keyboard came back with switching on: the profile that is due, applied whole.
  void ApplyDueProfileAtArrival();
  // The combo's note: which application's being in front chose the profile shown ("" none).
  void ShowProfileCause(const std::string& app);
  void Warn(const char* text_key);
  void ShowKeyboardBehind();
  void SaveProfiles();
  void SaveMacros();
  DuiLib::CControlUI* Find(const std::string& name) const;
  DuiLib::HWND Owner() const { return wiring_.owner; }

  kb::PageWiring wiring_;
  bool wired_ = false;
  std::optional<kb::AppPaths> paths_;
  kb::ModelTag model_tag_{};

  kb::RealSleeper real_sleeper_;
  kb::Sleeper* sleeper_ = &real_sleeper_;
  std::unique_ptr<ProgressSleeper> progress_sleeper_;
  std::unique_ptr<kb::ModelSession> session_;
  kb::ModelData* data_ = nullptr;       // the session's, once started
  kb::DeviceWorker* worker_ = nullptr;  // the session's, once started
  int applies_posted_ = 0;              // posted to the worker and not yet finished
  std::atomic<bool> resume_allowed_{true};
  const char* store_warning_key_ = nullptr;

  DuiLib::COptionUI* option_custom_ = nullptr;
  DuiLib::COptionUI* option_light_ = nullptr;
  DuiLib::COptionUI* option_macro_ = nullptr;
  DuiLib::CTabLayoutUI* tabs_ = nullptr;
  DuiLib::CComboUI* combo_ = nullptr;
  DuiLib::CControlUI* profile_dot_ = nullptr;
  DuiLib::CControlUI* reset_ = nullptr;
  DuiLib::CControlUI* apply_ = nullptr;
  DuiLib::CLabelUI* version_ = nullptr;
  DuiLib::CControlUI* apply_ring_ = nullptr;
  DuiLib::CLabelUI* apply_progress_ = nullptr;
  DuiLib::CLabelUI* apply_status_ = nullptr;
  DuiLib::CControlUI* apply_pending_ = nullptr;
  CKeyCustomPage* custom_ = nullptr;
  CLightPage* light_ = nullptr;
  CMacroPage* macro_ = nullptr;
  DuiLib::HWND profile_menu_ = nullptr;
  ApplicationsSource applications_{
      nullptr, [] { return std::string("the program does not follow the application in front"); }};
  // The application in front as last reported; unknown until the first report.
  std::optional<std::string> app_in_front_;
  std::string profile_cause_;
};

class CKB_3_UI : public CDevicePage {
 public:
  CKB_3_UI() : CDevicePage(kb::kKb3Info) {}
};

class CKB_4_UI : public CDevicePage {
 public:
  CKB_4_UI() : CDevicePage(kb::kKb4Info) {}
};
