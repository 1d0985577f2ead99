// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/lighting/light_page.h"

#include <string>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_caption.h"
#include "keys/key_layout.h"
#include "keys/key_picture.h"
#include "pages/common/key_cap_label.h"
#include "pages/common/key_plate.h"
#include "ui/dialog_builder.h"
#include "ui/list.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

using DuiLib::CDuiString;
using DuiLib::LanguageText;

namespace {

constexpr int kModeRowHeight = 24;
constexpr std::int32_t kUnlit = 0;
// Key names on lit caps turn dark where the colour is light, so that they stay readable.
constexpr int kLightColorLuma = 150;
constexpr DuiLib::DWORD kDarkKeyText = 0xFF15181D;
constexpr DuiLib::DWORD kLightKeyText = 0xFFE6E8EC;

int Channel(std::int32_t color, int shift) { return (color >> shift) & 0xFF; }

// The colour every cap pixel that is not clear takes, its alpha kept: the cap's shape and soft
// rim stay as the skin drew them.
void Recolor(DuiLib::CBitmap& bitmap, std::int32_t color) {
  const std::uint32_t rgb = kb::UnpackColor(color) & 0x00FF'FFFFu;
  std::uint32_t* pixel = bitmap.Bits();
  const std::size_t count =
      static_cast<std::size_t>(bitmap.GetWidth()) * static_cast<std::size_t>(bitmap.GetHeight());
  for (std::size_t i = 0; i < count; ++i)
    if ((pixel[i] & 0xFF00'0000u) != 0) pixel[i] = (pixel[i] & 0xFF00'0000u) | rgb;
}

// What key position `key` does from the factory: a key handed to an Fn slot does what the
// slot's own factory assignment does.
kb::KeyCode FactoryCode(const kb::ModelInfo& model, int key) {
  const kb::KeyLayout& layout = kb::LayoutOf(model.model);
  kb::KeyCode code = layout.default_key_codes.at(key);
  if (code != kb::kNoFunction && kb::TypeOf(code) == kb::KeyCodeType::FnSlot &&
      kb::LowByteOf(code) < kb::kLayoutFnSlots)
    code = layout.default_fn_key_codes.at(kb::LowByteOf(code));
  return code;
}

// That assignment named as its cap is.
CDuiString FactoryName(const kb::ModelInfo& model, int key) {
  const kb::KeyCaption caption =
      kb::KeyCaptionOf(kb::KindByte(kb::AssignmentKind::Default), FactoryCode(model, key));
  return caption.text_key.empty() ? CDuiString() : LanguageText(caption.text_key);
}

}  // namespace

CLightPage::CLightPage(const kb::ModelInfo& model)
    : CModelPage(model, "Light", "page_kb_light.xml") {}

CLightPage::~CLightPage() {
  for (int k = 0; k < kb::kKeyCount; ++k) {
    DuiLib::CPaintManagerUI::RemoveImage(PreviewImageName(k));
    DuiLib::CPaintManagerUI::RemoveImage(DuiLib::CRenderEngine::TwinImageName(PreviewImageName(k)));
  }
}

CDuiString CLightPage::PreviewImageName(int key) const {
  std::string name(model_.id);
  name.append("_preview_").append(std::to_string(key + 1));
  return CDuiString(name);
}

void CLightPage::Build() {
  if (!BuildLayout()) return;
  FindControls();
  if (mode_combo_ != nullptr && mode_combo_->GetCount() == 0) {
    // Item index = light mode; the names are texts of the skin.
    for (int mode = 0; mode < kb::kLightModeCount; ++mode) {
      auto* item = new DuiLib::CListLabelElementUI;
      item->SetResourceText(true);
      std::string key("light_mode_");
      key.append(std::to_string(mode)).append("_text");
      item->SetText(CDuiString(key));
      item->SetFixedHeight(kModeRowHeight);
      mode_combo_->Add(item);
    }
  }
  PlaceKeys();
  RefreshPage();
}

void CLightPage::FindControls() {
  mode_combo_ = dynamic_cast<DuiLib::CComboUI*>(FindNamed("combo", "light_mode"));
  brightness_ = dynamic_cast<DuiLib::CSliderUI*>(FindNamed("slider", "light_brightness"));
  speed_ = dynamic_cast<DuiLib::CSliderUI*>(FindNamed("slider", "light_breathspeed"));
  palette_ = dynamic_cast<DuiLib::CColorPaletteUI*>(FindNamed("colorpalette", "light"));
  const char* const channels[3] = {"color_r", "color_g", "color_b"};
  for (int c = 0; c < 3; ++c) {
    channel_sliders_[c] = dynamic_cast<DuiLib::CSliderUI*>(FindNamed("slider", channels[c]));
    channel_labels_[c] = dynamic_cast<DuiLib::CLabelUI*>(FindNamed("label", channels[c]));
  }
  preview_ = FindNamed("control", "preview");
  plate_ = FindNamed("ver", "light_keyboard");
  rows_ = {FindNamed("ver", "light_brightness"), FindNamed("ver", "light_breathspeed"),
           FindNamed("ver", "color_mode"), FindNamed("ver", "color"),
           FindNamed("ver", "custom_key")};
  for (int n = 0; n < kb::kColorSchemeCount; ++n)
    schemes_[n] =
        dynamic_cast<DuiLib::COptionUI*>(FindNamed("btn", "color_mode_" + std::to_string(n + 1)));
  for (int k = 0; k < kb::kKeyCount; ++k) {
    keys_[k] = dynamic_cast<DuiLib::CButtonUI*>(FindNamed("btn", "custom_" + std::to_string(k)));
    // The cap the skin gives the key is what every colour of it is made from. Keys that share
    // an image share its bitmap: it is read once, not once per key, at start-up.
    if (keys_[k] == nullptr || keys_[k]->GetBkImage().IsEmpty()) continue;
    auto load = [this](const CDuiString& file) {
      const std::u16string image(file.view());
      auto found = cap_images_.find(image);
      if (found == cap_images_.end()) {
        auto bitmap = DuiLib::CRenderEngine::GdiplusLoadBitmap(file);
        found =
            cap_images_
                .emplace(image, bitmap ? std::make_shared<const DuiLib::CBitmap>(std::move(*bitmap))
                                       : nullptr)
                .first;
      }
      return found->second;
    };
    const CDuiString file = DuiLib::CRenderEngine::ImageFileOf(keys_[k]->GetBkImage());
    caps_[k] = load(file);
    twin_caps_[k] = load(DuiLib::CRenderEngine::TwinImageName(file));
  }
}

// The keys sit where the key page puts them; positions without a key stay hidden.
void CLightPage::PlaceKeys() {
  const kb::KeyPicture& picture = kb::KeyPictureOf(model_.model);
  const kb::KeyPlate plate(picture, plate_ != nullptr ? plate_->GetFixedWidth() : 0);
  for (int k = 0; k < kb::kKeyCount; ++k) {
    plate.Place(keys_[k], picture.positions[k]);
    if (keys_[k] == nullptr) continue;
    // The cap's label fitted as on the key page: never cut.
    kb::KeyEntry entry{};
    entry.kind = kb::KindByte(kb::AssignmentKind::Default);
    kb::WriteKeyCode(entry.code, FactoryCode(model_, k));
    kb::ShowCapLabel(*keys_[k], entry);
    NameKey(k, kUnlit);
  }
}

template <class Edit>
bool CLightPage::EditBank(Edit&& edit) {
  if (data_ == nullptr) return false;
  auto lock = data_->Lock();
  kb::ProfileRecord* profile = lock.current();
  if (profile == nullptr) return false;
  edit(kb::ActiveBank(*profile));
  return true;
}

void CLightPage::Notify(DuiLib::TNotifyUI& msg) {
  if (!IsVisible() || data_ == nullptr || msg.pSender == nullptr) return;
  DuiLib::CControlUI* sender = msg.pSender;
  if (msg.sType == DuiLib::DUI_MSGTYPE_ITEMSELECT && sender == mode_combo_) {
    const int mode = static_cast<int>(msg.wParam);
    if (mode < 0 || mode >= kb::kLightModeCount) return;
    EditBank([&](kb::ProfileBank& bank) {
      bank.light_mode = mode;
      ShowMode(bank, mode);
    });
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_VALUECHANGED) {
    const int value = static_cast<int>(msg.wParam);
    if (sender == brightness_ || sender == speed_) {
      EditBank([&](kb::ProfileBank& bank) {
        const int mode = bank.light_mode;
        if (mode < 0 || mode >= kb::kModeSlots) return;
        (sender == brightness_ ? bank.light_brightness : bank.light_speed)[mode] = value;
      });
    }
    for (int c = 0; c < 3; ++c)
      if (sender == channel_sliders_[c]) OnChannel(8 * c, value);
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_COLORCHANGED && sender == palette_) {
    const std::int32_t color = kb::PackColor(palette_->GetSelectColor());
    EditBank([&](kb::ProfileBank& bank) {
      if (bank.light_mode < 0 || bank.light_mode >= kb::kModeSlots) return;
      bank.light_color[bank.light_mode] = color;
      ShowColor(color);
    });
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_SELECTCHANGED) {
    for (int n = 0; n < kb::kColorSchemeCount; ++n) {
      if (sender != schemes_[n] || !schemes_[n]->IsSelected()) continue;
      EditBank([&](kb::ProfileBank& bank) {
        if (bank.light_mode < 0 || bank.light_mode >= kb::kModeSlots) return;
        bank.light_color_mode[bank.light_mode] = n;
        ShowRows(bank.light_mode, n);
      });
    }
  } else if (msg.sType == DuiLib::DUI_MSGTYPE_CLICK) {
    for (int k = 0; k < kb::kKeyCount; ++k)
      if (sender == keys_[k]) OnKeyClicked(k);
  }
}

// One channel of the mode's colour from its slider: the label, the swatch and the palette
// follow (the palette's own marker moves, but it raises nothing).
void CLightPage::OnChannel(int shift, int value) {
  EditBank([&](kb::ProfileBank& bank) {
    const int mode = bank.light_mode;
    if (mode < 0 || mode >= kb::kModeSlots) return;
    std::int32_t& color = bank.light_color[mode];
    color = static_cast<std::int32_t>((static_cast<std::uint32_t>(color) & ~(0xFFu << shift)) |
                                      ((static_cast<std::uint32_t>(value) & 0xFFu) << shift));
    ShowChannels(color);
    if (palette_ != nullptr) palette_->SetSelectColor(kb::UnpackColor(color));
  });
}

void CLightPage::OnKeyClicked(int key) {
  if (palette_ == nullptr) return;
  const std::int32_t chosen = kb::PackColor(palette_->GetSelectColor());
  std::int32_t shown = kUnlit;
  const bool edited = EditBank([&](kb::ProfileBank& bank) {
    // The keys are shown in the per-key mode only, whose colours are the first custom set.
    const int set = bank.light_mode - kb::kCustomColorsMode;
    if (set < 0 || set >= kb::kCustomColorSets) return;
    std::int32_t& entry = bank.custom_colors[set][key];
    entry = entry == chosen ? kUnlit : chosen;
    shown = entry;
  });
  if (!edited) return;
  if (shown == kUnlit)
    ClearKey(key);
  else
    PaintKey(key, shown);
}

void CLightPage::RefreshPage() {
  EditBank([&](kb::ProfileBank& bank) {
    const int mode = bank.light_mode;
    if (mode_combo_ != nullptr)
      mode_combo_->SelectItem(mode >= 0 && mode < kb::kLightModeCount ? mode : -1);
    ShowMode(bank, mode);
    for (int k = 0; k < kb::kKeyCount; ++k) {
      const std::int32_t color = bank.custom_colors[0][k];
      if (color == kUnlit)
        ClearKey(k);
      else
        PaintKey(k, color);
    }
  });
}

void CLightPage::ShowLightMode(int mode) {
  if (mode < 0 || mode >= kb::kLightModeCount) return;
  if (mode_combo_ != nullptr) mode_combo_->SelectItem(mode);
  RefreshForMode(mode);
}

void CLightPage::RefreshForMode(int mode) {
  EditBank([&](kb::ProfileBank& bank) { ShowMode(bank, mode); });
}

void CLightPage::ShowMode(const kb::ProfileBank& bank, int mode) {
  if (mode < 0 || mode >= kb::kModeSlots) {
    ShowRows(mode, 0);
    return;
  }
  if (brightness_ != nullptr) brightness_->SetValue(bank.light_brightness[mode]);
  if (speed_ != nullptr) speed_->SetValue(bank.light_speed[mode]);
  if (palette_ != nullptr) palette_->SetSelectColor(kb::UnpackColor(bank.light_color[mode]));
  const int scheme = bank.light_color_mode[mode];
  for (int n = 0; n < kb::kColorSchemeCount; ++n)
    if (schemes_[n] != nullptr) schemes_[n]->Selected(n == scheme, false);
  ShowColor(bank.light_color[mode]);
  ShowRows(mode, scheme);
}

void CLightPage::ShowRows(int mode, int color_scheme) {
  const kb::LightRows rows = kb::RowsForLightMode(model_, mode, color_scheme);
  const auto show = [](DuiLib::CControlUI* row, bool visible) {
    if (row != nullptr) row->SetVisible(visible);
  };
  show(rows_.brightness, rows.brightness);
  show(rows_.speed, rows.speed);
  show(rows_.color_scheme, rows.color_scheme);
  show(rows_.color, rows.color);
  show(rows_.key_picture, rows.key_picture);
}

void CLightPage::ShowColor(std::int32_t color) {
  for (int c = 0; c < 3; ++c)
    if (channel_sliders_[c] != nullptr) channel_sliders_[c]->SetValue(Channel(color, 8 * c));
  ShowChannels(color);
}

void CLightPage::ShowChannels(std::int32_t color) {
  for (int c = 0; c < 3; ++c) {
    if (channel_labels_[c] == nullptr) continue;
    CDuiString text;
    text.Format(u"%d", Channel(color, 8 * c));
    channel_labels_[c]->SetText(text);
  }
  if (preview_ != nullptr) preview_->SetBkColor(kb::UnpackColor(color));
}

void CLightPage::PaintKey(int key, std::int32_t color) {
  if (key < 0 || key >= kb::kKeyCount || keys_[key] == nullptr) return;
  if (color == kUnlit) {
    ClearKey(key);
    return;
  }
  // Without the cap's pixels there is nothing to colour: the key keeps what it shows.
  if (!caps_[key] || caps_[key]->IsNull()) return;
  DuiLib::CBitmap lit = *caps_[key];
  Recolor(lit, color);
  const CDuiString name = PreviewImageName(key);
  DuiLib::CPaintManagerUI::RemoveImage(name);
  DuiLib::CPaintManagerUI::AddImage(name, lit, true);
  // Sharp on a screen of scale 2 as well: the cap's twin in the same colour.
  const CDuiString twin = DuiLib::CRenderEngine::TwinImageName(name);
  DuiLib::CPaintManagerUI::RemoveImage(twin);
  if (twin_caps_[key] && !twin_caps_[key]->IsNull()) {
    DuiLib::CBitmap lit_twin = *twin_caps_[key];
    Recolor(lit_twin, color);
    DuiLib::CPaintManagerUI::AddImage(twin, lit_twin, true);
  }
  CDuiString image;
  image.Format(u"file='%s' corner='4,4,4,4'", name.GetData());
  keys_[key]->SetBkImage(image);
  keys_[key]->Invalidate();
  const int luma =
      (299 * Channel(color, 0) + 587 * Channel(color, 8) + 114 * Channel(color, 16)) / 1000;
  keys_[key]->SetTextColor(luma > kLightColorLuma ? kDarkKeyText : kLightKeyText);
  NameKey(key, color);
}

void CLightPage::ClearKey(int key) {
  if (keys_[key] == nullptr) return;
  keys_[key]->SetBkImage(CDuiString());
  keys_[key]->SetTextColor(kLightKeyText);
  NameKey(key, kUnlit);
}

// A screen reader hears the key and its colour ("Esc, #FF8000"), or that it is not lit.
void CLightPage::NameKey(int key, std::int32_t color) {
  CDuiString name = FactoryName(model_, key);
  name += u", ";
  if (color == kUnlit) {
    name += LanguageText("light_key_off_text");
  } else {
    CDuiString hex;
    hex.Format(u"#%02X%02X%02X", Channel(color, 0), Channel(color, 8), Channel(color, 16));
    name += hex;
  }
  keys_[key]->SetAccessibleName(name);
}
