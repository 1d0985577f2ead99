// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's main window on the offscreen platform against the virtual keyboard: the skin of
// the source tree, the demo bundle's plugins, the stores in a fresh folder, the pacing
// recorded instead of slept, and modal windows and file dialogs answered by script.

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/test_folders.h"
#include "device/virtual_keyboard_handle.h"
#include "session/recording_sleeper.h"
#include "shell/dialog_test_support.h"
#include "shell/msg_wnd.h"
#include "ui/combo.h"
#include "ui/file_dialog.h"
#include "ui/menu.h"
#include "ui/ui_test_driver.h"

namespace kb::test {

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(keyboard.Reset());
    folder.emplace("kb_app");
    ASSERT_TRUE(folder->ok());
    app::SetUpSkin(DuiLib::CDuiString(std::string(KB_SOURCE_RES_DIR) + "/"));
    app::RegisterPageClasses();
    DuiLib::SetFileDialogHandlerForTesting([this](const DuiLib::FileDialogRequest& request) {
      requests.push_back(request);
      std::optional<DuiLib::CDuiString> answer;
      if (!file_answers.empty()) {
        answer = file_answers.front();
        file_answers.pop_front();
      }
      return answer;
    });
  }

  void TearDown() override {
    if (wnd && wnd->IsWindow()) {
      wnd->DestroyWindow();
      DuiLib::Testing::ProcessEvents();
    }
    wnd.reset();
    DuiLib::SetFileDialogHandlerForTesting(nullptr);
    keyboard.Reset();
    folder.reset();
  }

  AppPaths Paths() const { return {DemoDirectory(), folder->path()}; }

  // Creates the main window as the program does, and no more; `tray` says whether the desktop
  // has a tray.
  void CreateWindow(bool tray = true) {
    wnd = std::make_unique<CMainWnd>(Paths());
    wnd->SetTrayAvailableForTesting(tray);
    wnd->SetSleeperForTesting(&sleeper);
    wnd->SetQuitOnDestroyForTesting(false);
    wnd->Create(nullptr, u"", DuiLib::UI_WNDSTYLE_FRAME, 0, 0, 0, 800, 572);
    wnd->CenterWindow();
  }
  // The window as the program shows it, once it has heard from the keyboard.
  void Start(bool tray = true) {
    CreateWindow(tray);
    // The firmware version and the device tabs' messages.
    PumpUntil([&] { return Label(u"kb_3_version") == u"1.05"; });
    Settle();
    keyboard.TakeLog();
  }

  DuiLib::CPaintManagerUI& pm() { return *wnd->GetPaintManager(); }
  DuiLib::CControlUI* Find(const char16_t* name) { return pm().FindControl(name); }
  DuiLib::CDuiString Label(const char16_t* name) {
    DuiLib::CControlUI* control = Find(name);
    return control != nullptr ? control->GetText() : DuiLib::CDuiString(u"<none>");
  }
  DuiLib::CComboUI* Combo() { return dynamic_cast<DuiLib::CComboUI*>(Find(u"combo_kb_3_profile")); }
  CDevicePage& Page() { return *wnd->device_tabs().page(0); }
  ModelData& Data() { return *Page().data(); }

  // Runs the event loop until `done` holds; the virtual keyboard posts from its own thread.
  void PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "condition not reached";
      DuiLib::Testing::ProcessEvents();
      std::this_thread::yield();
    }
  }
  // Lets the worker finish what was asked and delivers its posts.
  void Settle() {
    if (Page().worker() != nullptr) Page().worker()->WaitUntilIdle();
    DuiLib::Testing::ProcessEvents();
  }

  void Menu(const char16_t* button, const char16_t* item) {
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), button));
    ASSERT_TRUE(DuiLib::Testing::ClickMenuItem(item));
    DuiLib::Testing::ProcessEvents();
  }

  // Scripts the next message box: records its text key and answers with OK or Cancel.
  void ExpectBox(const char16_t* text_key, bool ok = true) {
    script.Then([text_key, ok](DuiLib::CWindowWnd& w) {
      auto* box = dynamic_cast<CMsgWnd*>(&w);
      ASSERT_NE(box, nullptr) << w.GetWindowClassName().ToUtf8();
      EXPECT_EQ(box->GetTextKey().ToUtf8(), DuiLib::CDuiString(text_key).ToUtf8());
      kb::testing::Click(w, ok ? u"btn_ok" : u"btn_cancel");
    });
  }
  void ExpectNameDialog(std::u16string name) {
    script.Then([name](DuiLib::CWindowWnd& w) {
      ASSERT_EQ(w.GetWindowClassName().ToUtf8().rfind("MsgWnd", 0), std::string::npos);
      kb::testing::Type(w, u"edit_name", name);
      kb::testing::Click(w, u"btn_ok");
    });
  }

  std::uintmax_t FileSize(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
  }
  std::filesystem::path ProfileStore() { return folder->path() / "Data/kb/kb_3/data.pros"; }
  std::filesystem::path MacroStore() { return folder->path() / "Data/kb/kb_3/macro.mcos"; }
  std::int32_t StoredInt(const std::filesystem::path& path, std::size_t offset) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::int32_t value = -1;
    in.read(reinterpret_cast<char*>(&value), sizeof value);
    return value;
  }

  VirtualKeyboard keyboard;
  std::optional<testing::TempFolder> folder;
  RecordingSleeper sleeper;
  kb::testing::ModalScript script;
  std::deque<DuiLib::CDuiString> file_answers;
  std::vector<DuiLib::FileDialogRequest> requests;
  std::unique_ptr<CMainWnd> wnd;
};

}  // namespace kb::test
