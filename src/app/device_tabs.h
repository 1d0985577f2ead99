// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CKB: the device-tab container of the main window, the virtual window "KB_Page". It switches
// between the model pages and passes the model-prefixed menu commands to their controller.

#include "pages/device/device_page.h"
#include "ui/button.h"
#include "ui/container.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"

class CKB : public DuiLib::CNotifyPump {
 public:
  CKB();
  // Finds tab_device_kb, hor_device_kb and the options and controllers of both models.
  void Init(DuiLib::CPaintManagerUI* pm);
  // "kb_3_..." to the KB_3 controller, "kb_4_..." to the KB_4 one.
  void OnMenuCommand(const DuiLib::CDuiString& name);

  DuiLib::CTabLayoutUI* tabs() const { return tabs_; }
  DuiLib::CControlUI* row() const { return row_; }
  DuiLib::COptionUI* option(int model) const { return options_[model]; }
  CDevicePage* page(int model) const { return pages_[model]; }
  // The page of the model that has a device link (the one the keyboard's messages are for).
  CDevicePage* linked_page() const;

 private:
  void OnSelectChanged(DuiLib::TNotifyUI& msg);

  DuiLib::CPaintManagerUI* pm_ = nullptr;
  DuiLib::CTabLayoutUI* tabs_ = nullptr;
  DuiLib::CControlUI* row_ = nullptr;
  DuiLib::COptionUI* options_[kb::kModelCount] = {};
  CDevicePage* pages_[kb::kModelCount] = {};
};
