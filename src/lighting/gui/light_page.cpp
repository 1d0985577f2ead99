#include "lighting/gui/light_page.h"

#include <string>

#include "profile/profile_record.h"
#include "ui/dialog_builder.h"
#include "ui/list.h"
#include "ui/paint_manager.h"

using DuiLib::CDuiString;

CLightPage::CLightPage(const kb::ModelInfo& model)
    : CModelPage(model, "Light", "page_kb_light.xml") {}

void CLightPage::DoInit() {
  if (!BuildLayout()) return;
  const std::string id(model_.id);
  DuiLib::CPaintManagerUI& pm = *GetManager();
  mode_combo_ =
      dynamic_cast<DuiLib::CComboUI*>(pm.FindControl(CDuiString("combo_" + id + "_light_mode")));
  brightness_ = dynamic_cast<DuiLib::CSliderUI*>(
      pm.FindControl(CDuiString("slider_" + id + "_light_brightness")));
  speed_ = dynamic_cast<DuiLib::CSliderUI*>(
      pm.FindControl(CDuiString("slider_" + id + "_light_breathspeed")));
  if (mode_combo_ != nullptr && mode_combo_->GetCount() == 0) {
    // Item index = light mode; the names are texts of the skin.
    for (int mode = 0; mode < kb::kLightModeCount; ++mode) {
      auto* item = new DuiLib::CListLabelElementUI;
      item->SetResourceText(true);
      item->SetText(CDuiString("light_mode_" + std::to_string(mode) + "_text"));
      item->SetFixedHeight(24);
      mode_combo_->Add(item);
    }
  }
}

void CLightPage::Notify(DuiLib::TNotifyUI& /*msg*/) {}

void CLightPage::RefreshPage() {
  if (data_ == nullptr) return;
  auto edit = data_->Lock();
  const kb::ProfileRecord* profile = edit.current();
  if (profile == nullptr) return;
  const kb::ProfileBank& bank = kb::ActiveBank(*profile);
  const int mode = bank.light_mode;
  if (mode_combo_ != nullptr)
    mode_combo_->SelectItem(mode >= 0 && mode < kb::kLightModeCount ? mode : -1);
  if (mode < 0 || mode >= kb::kModeSlots) return;
  if (brightness_ != nullptr) brightness_->SetValue(bank.light_brightness[mode]);
  if (speed_ != nullptr) speed_->SetValue(bank.light_speed[mode]);
}

void CLightPage::ShowLightMode(int /*mode*/) { RefreshPage(); }
