// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test window built from a layout of tests/ui/data that records every notification as
// "type:sender" and every custom message it receives.

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/window_impl_base.h"
#include "ui_test_env.h"

namespace kbtest {

class RecordingWindow : public DuiLib::WindowImplBase {
 public:
  explicit RecordingWindow(DuiLib::CDuiString layout,
                           DuiLib::CDuiString class_name = u"RecordingWindow")
      : layout_(std::move(layout)), class_name_(std::move(class_name)) {}

  DuiLib::CDuiString GetWindowClassName() const override { return class_name_; }
  DuiLib::CDuiString GetSkinFile() override { return layout_; }

  void Notify(DuiLib::TNotifyUI& msg) override {
    std::string entry =
        msg.sType.ToUtf8() + ":" + (msg.pSender ? msg.pSender->GetName().ToUtf8() : std::string());
    if (!ignore_mouse_moves || (msg.sType != u"mouseenter" && msg.sType != u"mouseleave"))
      events.push_back(entry);
    last = msg;
    if (on_notify) on_notify(msg);
    WindowImplBase::Notify(msg);
  }

  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT msg, DuiLib::WPARAM w, DuiLib::LPARAM l,
                                      bool& handled) override {
    messages.push_back({msg, w, l});
    if (on_message) on_message(msg, w, l, handled);
    return 0;
  }

  // Creates the window shown, at 0,0.
  bool Open() {
    UseTestSkin();
    return Create(nullptr, class_name_, DuiLib::UI_WNDSTYLE_DIALOG, DuiLib::WS_EX_TOOLWINDOW) !=
           nullptr;
  }

  template <class T>
  T* Find(const DuiLib::CDuiString& name) {
    return dynamic_cast<T*>(m_pm.FindControl(name));
  }
  DuiLib::CPaintManagerUI& pm() { return m_pm; }

  struct Message {
    DuiLib::UINT msg;
    DuiLib::WPARAM w;
    DuiLib::LPARAM l;
  };
  std::vector<std::string> events;
  std::vector<Message> messages;
  DuiLib::TNotifyUI last;
  bool ignore_mouse_moves = true;
  std::function<void(DuiLib::TNotifyUI&)> on_notify;
  std::function<void(DuiLib::UINT, DuiLib::WPARAM, DuiLib::LPARAM, bool&)> on_message;

 private:
  DuiLib::CDuiString layout_;
  DuiLib::CDuiString class_name_;
};

}  // namespace kbtest
