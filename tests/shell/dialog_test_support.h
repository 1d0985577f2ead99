// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up of the shell's dialog tests: the skin of the source tree, its language file,
// and a modal hook that answers each modal window with the step the test scripted for it.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "common/utf16_text.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"
#include "ui/control.h"
#include "ui/edit.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/ui_test_driver.h"
#include "ui/window.h"

namespace kb::testing {

inline void UseSourceSkin() {
  DuiLib::CPaintManagerUI::SetResourcePath(
      DuiLib::CDuiString(std::string(KB_SOURCE_RES_DIR) + "/"));
  const kb::Status loaded = DuiLib::CResourceManager::GetInstance()->LoadLanguage(u"text.xml");
  ASSERT_TRUE(loaded.ok()) << loaded.reason();
}

// Answers modal windows in the order they open, one scripted step each; a window without a
// step is closed with 0 so that a test never hangs on an unexpected box.
class ModalScript {
 public:
  using Step = std::function<void(DuiLib::CWindowWnd&)>;
  ModalScript() {
    DuiLib::CWindowWnd::SetModalHookForTesting([this](DuiLib::CWindowWnd& window) {
      ++opened_;
      if (steps_.empty()) {
        ++unexpected_;
        window.Close(0);
        return;
      }
      Step step = std::move(steps_.front());
      steps_.pop_front();
      step(window);
    });
  }
  ~ModalScript() { DuiLib::CWindowWnd::SetModalHookForTesting(nullptr); }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  void Then(Step step) { steps_.push_back(std::move(step)); }
  int opened() const { return opened_; }
  int unexpected() const { return unexpected_; }
  std::size_t pending() const { return steps_.size(); }

 private:
  std::deque<Step> steps_;
  int opened_ = 0;
  int unexpected_ = 0;
};

inline DuiLib::CControlUI* Find(DuiLib::CWindowWnd& window, const char16_t* name) {
  DuiLib::CPaintManagerUI* pm = window.GetPaintManager();
  return pm != nullptr ? pm->FindControl(name) : nullptr;
}

// Clicks a control as the user would (real mouse input); fails the test when it cannot.
inline void Click(DuiLib::CWindowWnd& window, const char16_t* name) {
  DuiLib::CControlUI* control = Find(window, name);
  ASSERT_NE(control, nullptr) << DuiLib::CDuiString(name).ToUtf8();
  EXPECT_TRUE(DuiLib::Testing::Click(control)) << DuiLib::CDuiString(name).ToUtf8();
}

// Replaces the field's text by typing: everything is selected and erased with Backspace, then
// `text` is typed key by key.
inline void Type(DuiLib::CWindowWnd& window, const char16_t* name, std::u16string_view text) {
  auto* edit = dynamic_cast<DuiLib::CEditUI*>(Find(window, name));
  ASSERT_NE(edit, nullptr) << DuiLib::CDuiString(name).ToUtf8();
  DuiLib::CPaintManagerUI& pm = *window.GetPaintManager();
  if (pm.GetFocus() != edit) {
    ASSERT_TRUE(DuiLib::Testing::Click(edit));
  }
  edit->SetSelAll();
  ASSERT_TRUE(DuiLib::Testing::PressKey(pm, DuiLib::VK_BACK));
  ASSERT_EQ(edit->GetText(), u"");
  if (!text.empty()) {
    ASSERT_TRUE(DuiLib::Testing::TypeText(edit, DuiLib::CDuiString(text)));
  }
}

inline std::unique_ptr<ProfileRecord> Profile(std::u16string_view name) {
  auto record = std::make_unique<ProfileRecord>();
  StoreFieldText(record->name, name);
  return record;
}

inline std::unique_ptr<MacroRecord> Macro(std::u16string_view name) {
  auto record = std::make_unique<MacroRecord>();
  StoreFieldText(record->name, name);
  return record;
}

}  // namespace kb::testing
