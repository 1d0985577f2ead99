#pragma once
// The lighting page of one model, as far as it shows the current profile: the active bank's
// light mode, its brightness and speed. Editing them belongs to the lighting commands, which
// are not part of this page yet, so its controls are shown disabled. One implementation;
// CKB_3_LightUI and CKB_4_LightUI only choose the model. UI thread only.

#include "keys/gui/model_page.h"
#include "keys/gui/page_wiring.h"
#include "keys/keyboard_model.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/notify.h"
#include "ui/slider.h"

class CLightPage : public CModelPage {
 public:
  explicit CLightPage(const kb::ModelInfo& model);

  void DoInit() override;
  void Notify(DuiLib::TNotifyUI& msg) override;

  void SetWiring(const kb::PageWiring& wiring) { wiring_ = wiring; }
  void SetModelData(kb::ModelData* data) { data_ = data; }

  // Shows the active bank's light mode and that mode's settings.
  void RefreshPage();
  // The keyboard switched to `mode` (the controller has stored it already).
  void ShowLightMode(int mode);

  DuiLib::CComboUI* mode_combo() const { return mode_combo_; }

 private:
  kb::PageWiring wiring_;
  kb::ModelData* data_ = nullptr;
  DuiLib::CComboUI* mode_combo_ = nullptr;
  DuiLib::CSliderUI* brightness_ = nullptr;
  DuiLib::CSliderUI* speed_ = nullptr;
};

class CKB_3_LightUI : public CLightPage {
 public:
  CKB_3_LightUI() : CLightPage(kb::kKb3Info) {}
};

class CKB_4_LightUI : public CLightPage {
 public:
  CKB_4_LightUI() : CLightPage(kb::kKb4Info) {}
};
