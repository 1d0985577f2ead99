// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lighting page of one model: the light mode of the current profile's active bank and, for
// that mode, its brightness, breath speed, colour scheme and colour; in the per-key mode a
// picture of the keyboard whose keys take the chosen colour when clicked. Every edit goes into
// the profile at once; the next apply sends it. Which rows a mode shows is the model's rule
// (lighting/light_rows.h). One implementation; CKB_3_LightUI and CKB_4_LightUI only choose the
// model. UI thread only.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "keys/keyboard_model.h"
#include "lighting/light_rows.h"
#include "pages/common/model_page.h"
#include "pages/common/page_wiring.h"
#include "profile/profile_record.h"
#include "ui/button.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/label.h"
#include "ui/notify.h"
#include "ui/render_engine.h"
#include "ui/slider.h"

class CLightPage : public CModelPage {
 public:
  explicit CLightPage(const kb::ModelInfo& model);
  ~CLightPage() override;

  // The page is built when it is first shown (Build): the window starts on the key page, and
  // the lighting page's layout, cap images and key labels cost as much as all the rest.
  void Notify(DuiLib::TNotifyUI& msg) override;

  void SetWiring(const kb::PageWiring& wiring) { wiring_ = wiring; }
  void SetModelData(kb::ModelData* data) { data_ = data; }

  // After the current profile changed: its mode in the combo, that mode's settings and rows,
  // and every key's colour of the per-key set.
  void RefreshPage();
  // The keyboard switched to `mode` (the controller has stored it already).
  void ShowLightMode(int mode);
  // Shows mode `mode`'s settings of the active bank and the rows that mode uses.
  void RefreshForMode(int mode);
  // A packed colour on the R/G/B sliders, their labels and the preview.
  void ShowColor(std::int32_t color);
  // Key `key` in `color`: its cap image recoloured, or no image for colour 0.
  void PaintKey(int key, std::int32_t color);

  DuiLib::CComboUI* mode_combo() const { return mode_combo_; }
  DuiLib::CButtonUI* KeyButton(int key) const { return keys_.at(key); }
  // The image name a recoloured key is registered under ("kb_3_preview_1" for key 0).
  DuiLib::CDuiString PreviewImageName(int key) const;

 private:
  struct Rows {
    DuiLib::CControlUI* brightness = nullptr;
    DuiLib::CControlUI* speed = nullptr;
    DuiLib::CControlUI* color_scheme = nullptr;
    DuiLib::CControlUI* color = nullptr;
    DuiLib::CControlUI* key_picture = nullptr;
  };

  // The layout, its controls and the keys; then the current profile, if there is one.
  void Build() override;
  void FindControls();
  void PlaceKeys();
  // Runs `edit` on the active bank of the current profile; false without one.
  template <class Edit>
  bool EditBank(Edit&& edit);
  void ShowMode(const kb::ProfileBank& bank, int mode);
  void ShowRows(int mode, int color_scheme);
  void ShowChannels(std::int32_t color);
  void ClearKey(int key);
  void NameKey(int key, std::int32_t color);
  void OnChannel(int shift, int value);
  void OnKeyClicked(int key);

  kb::PageWiring wiring_;
  kb::ModelData* data_ = nullptr;
  DuiLib::CComboUI* mode_combo_ = nullptr;
  DuiLib::CSliderUI* brightness_ = nullptr;
  DuiLib::CSliderUI* speed_ = nullptr;
  DuiLib::CColorPaletteUI* palette_ = nullptr;
  std::array<DuiLib::CSliderUI*, 3> channel_sliders_{};  // red, green, blue
  std::array<DuiLib::CLabelUI*, 3> channel_labels_{};
  DuiLib::CControlUI* preview_ = nullptr;
  DuiLib::CControlUI* plate_ = nullptr;
  Rows rows_;
  std::array<DuiLib::COptionUI*, kb::kColorSchemeCount> schemes_{};
  std::array<DuiLib::CButtonUI*, kb::kKeyCount> keys_{};
  // Each key's cap as the skin draws it, the source of its recoloured images, and the cap's
  // twice-size twin (null without one) for screens of scale 2.
  std::array<std::shared_ptr<const DuiLib::CBitmap>, kb::kKeyCount> caps_{};
  std::array<std::shared_ptr<const DuiLib::CBitmap>, kb::kKeyCount> twin_caps_{};
  std::map<std::u16string, std::shared_ptr<const DuiLib::CBitmap>> cap_images_;
};

class CKB_3_LightUI : public CLightPage {
 public:
  CKB_3_LightUI() : CLightPage(kb::kKb3Info) {}
};

class CKB_4_LightUI : public CLightPage {
 public:
  CKB_4_LightUI() : CLightPage(kb::kKb4Info) {}
};
