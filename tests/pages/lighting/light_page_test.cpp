// SPDX-License-Identifier: GPL-3.0-or-later
// The lighting page driven by control name in the main window, against the virtual keyboard:
// what each control writes into the active bank, which rows each mode shows, the per-key
// picture and its recoloured images, and what an apply then sends.

#include <gtest/gtest.h>

#include <cstring>

#include "app/app_fixture.h"
#include "lighting/light_rows.h"
#include "pages/lighting/light_page.h"
#include "profile/profile_record.h"
#include "profile/store_paths.h"
#include "session/model_data.h"
#include "ui/button.h"
#include "ui/color_palette.h"
#include "ui/render_engine.h"
#include "ui/slider.h"

namespace kb::test {
namespace {

class LightPageTest : public AppFixture {
 protected:
  void StartOnLightPage() {
    Start();
    ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_light"));
    DuiLib::Testing::ProcessEvents();
  }
  CLightPage& Light(int model = 0) {
    auto* page = dynamic_cast<CLightPage*>(Find(model == 0 ? u"kb_3_light" : u"kb_4_light"));
    if (page == nullptr) throw std::runtime_error("no lighting page");
    return *page;
  }
  // Sets a slider as a user does: a drag, then the arrow keys for the last steps.
  void SetSlider(const char16_t* name, int value) {
    DuiLib::CSliderUI* slider = Slider(name);
    ASSERT_NE(slider, nullptr);
    ASSERT_TRUE(DuiLib::Testing::DragSlider(slider, value));
    for (int i = 0; i < 8 && slider->GetValue() != value; ++i)
      DuiLib::Testing::PressKey(pm(),
                                slider->GetValue() < value ? DuiLib::VK_RIGHT : DuiLib::VK_LEFT);
    ASSERT_EQ(slider->GetValue(), value);
  }
  void SelectMode(int mode) {
    ASSERT_TRUE(Light().mode_combo()->SelectItem(mode, true));
    DuiLib::Testing::ProcessEvents();
  }
  DuiLib::CSliderUI* Slider(const char16_t* name) {
    return dynamic_cast<DuiLib::CSliderUI*>(Find(name));
  }
  ProfileBank Bank(int index) { return Data().Lock().current()->banks[index]; }
  bool Shown(const char16_t* row) { return Find(row) != nullptr && Find(row)->IsVisible(); }
};

TEST_F(LightPageTest, SlidersPaletteAndSchemesEditTheModeOfTheActiveBank) {
  StartOnLightPage();
  Data().Lock().current()->active_bank = 1;
  const ProfileBank first = Bank(0);
  SelectMode(4);
  EXPECT_EQ(Bank(1).light_mode, 4);

  SetSlider(u"slider_kb_3_light_brightness", 1);
  SetSlider(u"slider_kb_3_light_breathspeed", 4);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_color_mode_10"));
  EXPECT_EQ(Bank(1).light_color_mode[4], 9);
  ASSERT_TRUE(Shown(u"ver_kb_3_color"));  // scheme 10 is the user's own colour
  SetSlider(u"slider_kb_3_color_r", 200);
  SetSlider(u"slider_kb_3_color_g", 10);
  SetSlider(u"slider_kb_3_color_b", 20);
  EXPECT_EQ(Bank(1).light_color[4], (20 << 16) | (10 << 8) | 200);
  EXPECT_EQ(Label(u"label_kb_3_color_r"), u"200");
  EXPECT_EQ(Label(u"label_kb_3_color_b"), u"20");
  EXPECT_EQ(Find(u"control_kb_3_preview")->GetBkColor(), 0xFFC80A14u);  // opaque 200/10/20
  auto* palette = dynamic_cast<DuiLib::CColorPaletteUI*>(Find(u"colorpalette_kb_3_light"));
  EXPECT_EQ(palette->GetSelectColor(), 0xFFC80A14u);

  // Brightness and speed belong to the mode: mode 3 keeps its own.
  EXPECT_EQ(Bank(1).light_brightness[4], 1);
  EXPECT_EQ(Bank(1).light_speed[4], 4);
  EXPECT_EQ(Bank(1).light_brightness[3], first.light_brightness[3]);
  SelectMode(3);
  EXPECT_EQ(Slider(u"slider_kb_3_light_brightness")->GetValue(), Bank(1).light_brightness[3]);
  SelectMode(4);
  EXPECT_EQ(Slider(u"slider_kb_3_light_brightness")->GetValue(), 1);
  EXPECT_EQ(Slider(u"slider_kb_3_color_r")->GetValue(), 200);

  // Another scheme hides the colour row again; a palette pick moves the sliders.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_color_mode_2"));
  EXPECT_EQ(Bank(1).light_color_mode[4], 1);
  EXPECT_FALSE(Shown(u"ver_kb_3_color"));
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_color_mode_10"));
  ASSERT_TRUE(DuiLib::Testing::ClickPalette(palette, {30, 20}));
  const std::uint32_t picked = palette->GetSelectColor();
  EXPECT_EQ(Bank(1).light_color[4], PackColor(picked));
  EXPECT_EQ(Slider(u"slider_kb_3_color_g")->GetValue(), static_cast<int>((picked >> 8) & 0xFF));

  // The first bank is as it was.
  const ProfileBank after = Bank(0);
  EXPECT_EQ(std::memcmp(&after, &first, sizeof first), 0);
}

TEST_F(LightPageTest, EveryModeShowsItsRowsOnBothModels) {
  StartOnLightPage();
  for (const ModelInfo* info : kModels) {
    SCOPED_TRACE(info->name);
    // Pages are built when first shown: the KB_4 page, hidden without its keyboard, is shown
    // for the check, and its lighting page too.
    wnd->device_tabs().tabs()->SelectItem(info->device_tab);
    ASSERT_TRUE(DuiLib::Testing::Click(
        pm(), DuiLib::CDuiString("option_" + std::string(info->id) + "_light")));
    CLightPage& page = Light(static_cast<int>(info->model));
    // Without its keyboard a KB_4 page has no data; it gets a profile of its own here.
    CDevicePage* device = wnd->device_tabs().page(static_cast<int>(info->model));
    std::optional<ModelData> own;
    ModelData* data = device != nullptr ? device->data() : nullptr;
    if (data == nullptr) {
      own.emplace(info->model, StorePathsOf(info->model, Paths()));
      data = &*own;
      page.SetModelData(data);
    }
    // A KB_4 has no store of its own until one is made.
    {
      auto edit = data->Lock();
      if (edit.current() == nullptr) {
        NewDefaultProfile(u"P", info->model, edit.profiles());
        edit.SelectProfile(0);
      }
    }
    const std::string id(info->id);
    const auto shown = [&](const std::string& row) {
      DuiLib::CControlUI* c = page.GetManager()->FindControl(DuiLib::CDuiString(row));
      return c != nullptr && c->IsOwnVisible();
    };
    for (int scheme : {0, kSingleColorScheme}) {
      for (int mode = 0; mode < kLightModeCount; ++mode) {
        SCOPED_TRACE(::testing::Message()
                     << info->name << " mode " << mode << " scheme " << scheme);
        {
          auto edit = data->Lock();
          ActiveBank(*edit.current()).light_color_mode[mode] = scheme;
        }
        page.RefreshForMode(mode);
        const LightRows rows = RowsForLightMode(*info, mode, scheme);
        EXPECT_EQ(shown("ver_" + id + "_light_brightness"), rows.brightness);
        EXPECT_EQ(shown("ver_" + id + "_light_breathspeed"), rows.speed);
        EXPECT_EQ(shown("ver_" + id + "_color_mode"), rows.color_scheme);
        EXPECT_EQ(shown("ver_" + id + "_color"), rows.color);
        EXPECT_EQ(shown("ver_" + id + "_custom_key"), rows.key_picture);
      }
    }
    if (own) page.SetModelData(nullptr);
  }
  wnd->device_tabs().tabs()->SelectItem(kKb3Info.device_tab);
  // The per-key mode shows the colour and the picture whatever the scheme, never speed or schemes.
  SelectMode(kCustomColorsMode);
  EXPECT_TRUE(Shown(u"ver_kb_3_color"));
  EXPECT_TRUE(Shown(u"ver_kb_3_custom_key"));
  EXPECT_FALSE(Shown(u"ver_kb_3_light_breathspeed"));
  EXPECT_FALSE(Shown(u"ver_kb_3_color_mode"));
}

TEST_F(LightPageTest, AKeyTakesThePaletteColourAsARecolouredCapAndGivesItBack) {
  StartOnLightPage();
  SelectMode(kCustomColorsMode);
  auto* palette = dynamic_cast<DuiLib::CColorPaletteUI*>(Find(u"colorpalette_kb_3_light"));
  SetSlider(u"slider_kb_3_color_r", 30);
  SetSlider(u"slider_kb_3_color_g", 200);
  SetSlider(u"slider_kb_3_color_b", 90);
  const std::int32_t color = PackColor(palette->GetSelectColor());
  ASSERT_EQ(color, (90 << 16) | (200 << 8) | 30);

  DuiLib::CButtonUI* key = Light().KeyButton(7);
  const auto cap = DuiLib::CRenderEngine::GdiplusLoadBitmap(u"skins/KB/light_key.png");
  ASSERT_TRUE(cap.has_value());
  ASSERT_TRUE(DuiLib::Testing::Click(key));
  EXPECT_EQ(Bank(0).custom_colors[0][7], color);
  EXPECT_EQ(key->GetBkImage(), u"file='kb_3_preview_8' corner='4,4,4,4'");
  const auto lit = DuiLib::CRenderEngine::GdiplusLoadBitmap(u"kb_3_preview_8");
  ASSERT_TRUE(lit.has_value());
  ASSERT_EQ(lit->GetWidth(), cap->GetWidth());
  ASSERT_EQ(lit->GetHeight(), cap->GetHeight());
  int opaque = 0;
  for (int y = 0; y < cap->GetHeight(); ++y)
    for (int x = 0; x < cap->GetWidth(); ++x) {
      const std::uint32_t was = cap->GetPixel(x, y), now = lit->GetPixel(x, y);
      ASSERT_EQ(now >> 24, was >> 24) << x << "," << y;  // the shape stays
      if ((was >> 24) != 0xFF) continue;
      ++opaque;
      ASSERT_EQ(now & 0xFFFFFF, 0x1EC85Au) << x << "," << y;  // R 30, G 200, B 90
    }
  EXPECT_GT(opaque, 100);
  EXPECT_NE(key->GetAccessibleName().Find(u"#1EC85A"), -1);
  // Its twice-size twin, for screens of scale 2, in the same colour.
  const auto twin = DuiLib::CRenderEngine::GdiplusLoadBitmap(u"kb_3_preview_8@2x");
  ASSERT_TRUE(twin.has_value());
  EXPECT_EQ(twin->GetWidth(), 2 * cap->GetWidth());
  EXPECT_EQ(twin->GetPixel(twin->GetWidth() / 2, twin->GetHeight() / 2) & 0xFFFFFF, 0x1EC85Au);

  // The same colour again turns the key off; the page after a profile change shows the set.
  ASSERT_TRUE(DuiLib::Testing::Click(key));
  EXPECT_EQ(Bank(0).custom_colors[0][7], 0);
  EXPECT_EQ(key->GetBkImage(), u"");
  Data().Lock().current()->banks[0].custom_colors[0][9] = 0x0000FF;
  Light().RefreshPage();
  EXPECT_EQ(Light().KeyButton(9)->GetBkImage(), u"file='kb_3_preview_10' corner='4,4,4,4'");
}

TEST_F(LightPageTest, WhatThePageEditedIsWhatTheKeyboardGetsOnApply) {
  StartOnLightPage();
  SelectMode(5);
  SetSlider(u"slider_kb_3_light_brightness", 2);
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_color_mode_10"));
  SetSlider(u"slider_kb_3_color_r", 90);
  SetSlider(u"slider_kb_3_color_b", 60);
  SelectMode(kCustomColorsMode);
  for (int key : {0, 14, 81}) ASSERT_TRUE(DuiLib::Testing::Click(Light().KeyButton(key)));
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"btn_kb_3_apply"));
  Settle();

  const ProfileBank bank = Bank(0);
  const auto state = keyboard.State();
  const vkb_bank_lighting& sent = state->banks[0].lighting;
  EXPECT_EQ(sent.light_mode, kCustomColorsMode);
  for (int mode = 0; mode < 18; ++mode) {
    SCOPED_TRACE(mode);
    const vkb_mode_slot& slot = sent.slots[mode];
    EXPECT_EQ(slot.brightness, bank.light_brightness[mode] + 1);
    EXPECT_EQ(slot.speed, bank.light_speed[mode]);
    EXPECT_EQ(slot.color_mode, bank.light_color_mode[mode]);
    EXPECT_EQ(slot.red, bank.light_color[mode] & 0xFF);
    EXPECT_EQ(slot.green, (bank.light_color[mode] >> 8) & 0xFF);
  }
  EXPECT_EQ(sent.slots[5].color_mode, kSingleColorScheme);
  EXPECT_EQ(sent.slots[5].brightness, 3);
  EXPECT_EQ(sent.custom_brightness, bank.light_brightness[kCustomColorsMode] + 1);
  for (int set = 0; set < kCustomColorSets; ++set)
    for (int key = 0; key < kKeyCount; ++key) {
      const std::int32_t c = bank.custom_colors[set][key];
      const vkb_color_set& got = state->banks[0].colors[set];
      ASSERT_EQ(got.red[key], c & 0xFF) << set << "/" << key;
      ASSERT_EQ(got.green[key], (c >> 8) & 0xFF) << set << "/" << key;
      ASSERT_EQ(got.blue[key], (c >> 16) & 0xFF) << set << "/" << key;
    }
  EXPECT_NE(bank.custom_colors[0][81], 0);
  EXPECT_TRUE(keyboard.TakeViolations().empty());
}

}  // namespace
}  // namespace kb::test
