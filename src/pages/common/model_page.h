// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every page of a model has in common: its class and interface names made from the model
// ("KB_3_LightUI" and "KB_3_Light"; the device page "KB_3_UI" and "KB_3"), its layout under
// "KB/<model>/", and its place among the paint manager's notifiers. UI thread only.

#include <string>
#include <string_view>

#include "keys/keyboard_model.h"
#include "ui/container.h"
#include "ui/notify.h"
#include "ui/ui_types.h"

class CModelPage : public DuiLib::CContainerUI, public DuiLib::INotifyUI {
 public:
  // `kind` is "Light", "Macro", "Custom" or "" (the device page); `layout` the file name in the
  // model's layout folder.
  CModelPage(const kb::ModelInfo& model, std::string_view kind, std::string_view layout);
  ~CModelPage() override;

  DuiLib::CDuiString GetClass() const override;
  void* GetInterface(const DuiLib::CDuiString& name) override;
  // A page not shown by the first frame builds its controls when it is first shown.
  void SetVisible(bool visible = true) override;
  const kb::ModelInfo& model() const { return model_; }

 protected:
  // The page's controls, made once: when the page is first shown, or earlier through
  // BuildOnce. A page that builds itself in DoInit leaves it empty.
  virtual void Build() {}
  void BuildOnce();
  // Builds the layout into the page and registers the page as a notifier; when the layout
  // cannot be built the page is left empty and false is returned.
  bool BuildLayout();
  // The control named "<kind>_<model id>_<what>" ("slider_kb_3_color_r"), or null.
  DuiLib::CControlUI* FindNamed(std::string_view kind, std::string_view what) const;
  // Opens the menu of file "KB/<model>/<file>" below `anchor`, left edges aligned, after closing
  // `*open` (the page's menu, if any); `*open` becomes the new one. `owner` is the main window.
  void OpenMenuBelow(DuiLib::CControlUI* anchor, std::string_view file, DuiLib::HWND owner,
                     DuiLib::HWND* open);

  const kb::ModelInfo& model_;

 private:
  std::string kind_;
  std::string layout_;
  bool built_ = false;
};
