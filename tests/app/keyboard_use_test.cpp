// SPDX-License-Identifier: GPL-3.0-or-later
// The main window used with the keyboard alone, against the virtual keyboard: Tab through the
// page tabs, the profile row and the keyboard picture (one stop), the arrow keys between keys by
// where they sit, Enter and Space on buttons, tabs, the combo and a key, the key menu and the
// profile menu worked with the arrows, a slider moved with the arrows, and the focus ring that
// shows where the keys go.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "keys/assignment_kind.h"
#include "lighting/light_rows.h"
#include "pages/keys/key_custom_page.h"
#include "pages/lighting/light_page.h"
#include "profile/profile_record.h"
#include "ui/button.h"
#include "ui/container.h"
#include "ui/render_engine.h"
#include "ui/slider.h"

namespace kb::test {
namespace {

constexpr int kCapsLock = 3;
constexpr DuiLib::DWORD kFocusRing = 0xFF52BBF0;  // the theme's "focus"

class KeyboardUseTest : public AppFixture {
 protected:
  DuiLib::CControlUI* Focus() { return pm().GetFocus(); }
  DuiLib::CDuiString FocusName() {
    return Focus() != nullptr ? Focus()->GetName() : DuiLib::CDuiString(u"<none>");
  }
  void Press(DuiLib::UINT vkey, DuiLib::WORD modifiers = 0) {
    ASSERT_TRUE(DuiLib::Testing::PressKey(pm(), vkey, modifiers));
    DuiLib::Testing::ProcessEvents();
  }
  // Presses Tab until the control has the focus; fails after a full round.
  void TabTo(const char16_t* name) {
    for (int i = 0; i < 40 && FocusName() != DuiLib::CDuiString(name); ++i) Press(DuiLib::VK_TAB);
    ASSERT_EQ(FocusName().ToUtf8(), DuiLib::CDuiString(name).ToUtf8());
  }
  bool InPicture(DuiLib::CControlUI* control) {
    return control != nullptr && control->GetName().Find(u"btn_kb_3_key_") == 0;
  }
  // The key the focus is on, by what a screen reader calls it ("Caps Lock").
  std::string FocusedKey() {
    if (!InPicture(Focus())) return "<not a key: " + FocusName().ToUtf8() + ">";
    const std::string name = Focus()->GetAccessibleName().ToUtf8();
    return name.substr(0, name.find(','));
  }
  // Arrows the focus through the picture, one key per step, checking each key reached.
  void Walk(const std::vector<std::pair<DuiLib::UINT, const char*>>& steps) {
    for (const auto& [vkey, key] : steps) {
      Press(vkey);
      ASSERT_EQ(FocusedKey(), key) << "after arrow " << vkey;
    }
  }
  // Whether the window shows the focus ring at the middle of its left side (the ring's rectangle:
  // the control's, or for a slider a circle around the thumb).
  bool RingOn(DuiLib::CControlUI* control) {
    const DuiLib::CBitmap shot = DuiLib::Testing::Render(pm());
    int radius = 0;
    const DuiLib::RECT rc = control->GetFocusRingRect(radius);
    const DuiLib::DWORD pixel = shot.GetPixel(rc.left + 1, (rc.top + rc.bottom) / 2);
    for (int shift = 0; shift < 24; shift += 8) {
      const int diff = static_cast<int>((pixel >> shift) & 0xFF) -
                       static_cast<int>((kFocusRing >> shift) & 0xFF);
      if (diff > 16 || diff < -16) return false;
    }
    return true;
  }
  // The menu item the arrows highlight, moved down onto `name`.
  void ArrowToMenuItem(const char16_t* name) {
    DuiLib::CMenuWnd* menu = DuiLib::CMenuWnd::GetTopMenuForTesting();
    ASSERT_NE(menu, nullptr);
    DuiLib::CMenuElementUI* item = menu->FindItem(name);
    ASSERT_NE(item, nullptr);
    for (int i = 0; i < 30 && !item->IsHot(); ++i)
      ASSERT_TRUE(DuiLib::Testing::PressKeyInPopup(DuiLib::VK_DOWN));
    ASSERT_TRUE(item->IsHot());
  }
  KeyEntry Key(int index) { return KeyAt(ActiveBank(*Data().Lock().current()), index); }
};

TEST_F(KeyboardUseTest, TabArrowsEnterAndSpaceReachAndUseTheMainControlsAndAKeysMenu) {
  Start();
  // A round of Tab: each control of the page once, the picture as one stop.
  std::vector<std::string> round;
  std::set<std::string> seen;
  int keys = 0;
  Press(DuiLib::VK_TAB);
  const DuiLib::CControlUI* first = Focus();
  ASSERT_NE(first, nullptr);
  do {
    round.push_back(FocusName().ToUtf8());
    EXPECT_TRUE(seen.insert(round.back()).second) << round.back() << " twice in a round";
    keys += InPicture(Focus()) ? 1 : 0;
    Press(DuiLib::VK_TAB);
  } while (Focus() != first && round.size() < 40);
  EXPECT_EQ(Focus(), first);
  EXPECT_EQ(keys, 1);
  for (const char* name :
       {"option_kb_3_custom", "option_kb_3_light", "option_kb_3_macro", "combo_kb_3_profile",
        "btn_kb_3_profile_dot", "btn_kb_3_reset", "btn_kb_3_apply", "option_kb_3"})
    EXPECT_TRUE(seen.count(name)) << name << " is not reached by Tab";
  // Shift+Tab goes back the same way.
  Press(DuiLib::VK_TAB, DuiLib::UIKEY_SHIFT);
  EXPECT_EQ(FocusName().ToUtf8(), round.back());

  // The focus ring shows once the keyboard is used, on the control that has the focus.
  TabTo(u"btn_kb_3_apply");
  EXPECT_TRUE(pm().IsFocusVisible());
  EXPECT_TRUE(RingOn(Find(u"btn_kb_3_apply")));
  EXPECT_FALSE(RingOn(Find(u"btn_kb_3_reset")));

  // Apply with Space, then with Enter: the second finds nothing changed.
  Press(DuiLib::VK_SPACE);
  Settle();
  EXPECT_FALSE(keyboard.TakeLog().empty());
  EXPECT_EQ(Find(u"label_kb_3_apply_status")->GetUserData(), u"apply_done_text");
  Press(DuiLib::VK_RETURN);
  Settle();
  EXPECT_EQ(keyboard.TakeLog().size(), 6u);

  // A second profile through the profile menu: Enter opens it, the arrows and Enter pick
  // "New", the name is typed and Enter confirms it.
  script.Then([](DuiLib::CWindowWnd& w) {
    DuiLib::CPaintManagerUI& dialog = *w.GetPaintManager();
    ASSERT_NE(dialog.GetFocus(), nullptr);
    ASSERT_EQ(dialog.GetFocus()->GetName(), u"edit_name");
    ASSERT_TRUE(DuiLib::Testing::TypeText(dialog.GetFocus(), u"Race"));
    ASSERT_TRUE(DuiLib::Testing::PressKey(dialog, DuiLib::VK_RETURN));
  });
  TabTo(u"btn_kb_3_profile_dot");
  Press(DuiLib::VK_RETURN);
  ArrowToMenuItem(u"kb_3_profile_add");
  ASSERT_TRUE(DuiLib::Testing::PressKeyInPopup(DuiLib::VK_RETURN));
  DuiLib::Testing::ProcessEvents();
  Settle();
  EXPECT_EQ(script.opened(), 1);
  ASSERT_EQ(Data().Lock().profiles().size(), 2u);
  EXPECT_EQ(FieldText(Data().Lock().current()->name), u"Race");
  ASSERT_EQ(Combo()->GetCurSel(), 1);

  // The combo: Space opens its list on the selected profile, Up and Enter pick the other one;
  // with the list closed, Down picks the next.
  TabTo(u"combo_kb_3_profile");
  EXPECT_TRUE(RingOn(Combo()));
  Press(DuiLib::VK_SPACE);
  ASSERT_TRUE(Combo()->IsDropped());
  ASSERT_TRUE(DuiLib::Testing::PressKeyInPopup(DuiLib::VK_UP));
  ASSERT_TRUE(DuiLib::Testing::PressKeyInPopup(DuiLib::VK_RETURN));
  DuiLib::Testing::ProcessEvents();
  Settle();
  EXPECT_FALSE(Combo()->IsDropped());
  EXPECT_EQ(Combo()->GetCurSel(), 0);
  EXPECT_NE(FieldText(Data().Lock().current()->name), u"Race");
  Press(DuiLib::VK_DOWN);
  Settle();
  EXPECT_EQ(Combo()->GetCurSel(), 1);
  EXPECT_EQ(FieldText(Data().Lock().current()->name), u"Race");

  // A page tab: Enter shows the lighting page; a slider there moves with the arrows.
  TabTo(u"option_kb_3_light");
  EXPECT_TRUE(RingOn(Find(u"option_kb_3_light")));
  Press(DuiLib::VK_RETURN);
  ASSERT_TRUE(Find(u"kb_3_light")->IsVisible());
  TabTo(u"slider_kb_3_light_brightness");
  auto* slider = dynamic_cast<DuiLib::CSliderUI*>(Focus());
  ASSERT_NE(slider, nullptr);
  EXPECT_TRUE(RingOn(slider));
  const int before = slider->GetValue();
  const int mode = ActiveBank(*Data().Lock().current()).light_mode;
  Press(before > slider->GetMinValue() ? DuiLib::VK_LEFT : DuiLib::VK_RIGHT);
  EXPECT_NE(slider->GetValue(), before);
  EXPECT_EQ(ActiveBank(*Data().Lock().current()).light_brightness[mode], slider->GetValue());
  // Space on the keys' tab brings the picture back.
  TabTo(u"option_kb_3_custom");
  Press(DuiLib::VK_SPACE);
  ASSERT_TRUE(Find(u"kb_3_custom")->IsVisible());

  // Into the picture: the arrows move by where the keys sit, whatever their numbers.
  for (int i = 0; i < 40 && !InPicture(Focus()); ++i) Press(DuiLib::VK_TAB);
  ASSERT_EQ(FocusedKey(), "Esc");
  EXPECT_TRUE(RingOn(Focus()));
  Walk({{DuiLib::VK_DOWN, "`"},
        {DuiLib::VK_DOWN, "Tab"},
        {DuiLib::VK_DOWN, "Caps Lock"},
        {DuiLib::VK_RIGHT, "A"},
        {DuiLib::VK_RIGHT, "S"},
        {DuiLib::VK_UP, "W"},
        {DuiLib::VK_LEFT, "Q"},
        {DuiLib::VK_LEFT, "Tab"},
        {DuiLib::VK_DOWN, "Caps Lock"},
        {DuiLib::VK_LEFT, "Caps Lock"}});  // nothing left of it: the focus stays
  // The panel that the pointer opens on a key follows the focus, and tells what the key does.
  EXPECT_TRUE(Find(u"ver_kb_3_function")->IsVisible());
  EXPECT_EQ(Find(u"label_kb_3_function")->GetShownText(), u"Caps Lock");
  // Tab leaves the picture (and the panel goes); Shift+Tab comes back to the key it left.
  Press(DuiLib::VK_TAB);
  EXPECT_FALSE(InPicture(Focus()));
  EXPECT_FALSE(Find(u"ver_kb_3_function")->IsVisible());
  Press(DuiLib::VK_TAB, DuiLib::UIKEY_SHIFT);
  ASSERT_EQ(FocusedKey(), "Caps Lock");

  // Enter opens the key's menu below it; the arrows and Space choose "Disable".
  auto& keys_page = *dynamic_cast<CKeyCustomPage*>(Find(u"kb_3_custom"));
  Press(DuiLib::VK_RETURN);
  ASSERT_NE(keys_page.key_menu(), nullptr);
  EXPECT_EQ(keys_page.selected_key(), kCapsLock);
  ArrowToMenuItem(u"kb_3_command_4");
  ASSERT_TRUE(DuiLib::Testing::PressKeyInPopup(DuiLib::VK_SPACE));
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(DuiLib::CWindowWnd::FromHandle(keys_page.key_menu()), nullptr);
  EXPECT_EQ(Key(kCapsLock).kind, KindByte(AssignmentKind::Disabled));
  // Space opens it too; Escape closes it without a change, and the focus stays on the key.
  ASSERT_EQ(FocusedKey(), "Caps Lock");
  Press(DuiLib::VK_SPACE);
  ASSERT_NE(keys_page.key_menu(), nullptr);
  ASSERT_TRUE(DuiLib::Testing::PressKeyInPopup(DuiLib::VK_ESCAPE));
  DuiLib::Testing::ProcessEvents();
  EXPECT_EQ(DuiLib::CWindowWnd::FromHandle(keys_page.key_menu()), nullptr);
  EXPECT_EQ(Key(kCapsLock).kind, KindByte(AssignmentKind::Disabled));
  EXPECT_EQ(FocusedKey(), "Caps Lock");

  // A mouse press hides the ring (here on a button that keeps the focus); the next key shows it
  // again.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_custom"));
  DuiLib::Testing::ProcessEvents();
  ASSERT_EQ(FocusName(), u"option_kb_3_custom");
  EXPECT_FALSE(pm().IsFocusVisible());
  EXPECT_FALSE(RingOn(Focus()));
  Press(DuiLib::VK_TAB);
  EXPECT_TRUE(RingOn(Focus()));
}

// The lighting page's picture in the per-key mode works the same way: one Tab stop, the arrows
// between keys, Space paints the focused key and paints it off again.
TEST_F(KeyboardUseTest, TheLightingPicturesKeysArePaintedFromTheKeyboard) {
  Start();
  TabTo(u"option_kb_3_light");
  Press(DuiLib::VK_SPACE);
  auto& light = *dynamic_cast<CLightPage*>(Find(u"kb_3_light"));
  ASSERT_TRUE(light.mode_combo()->SelectItem(kCustomColorsMode, true));
  DuiLib::Testing::ProcessEvents();
  auto in_picture = [&] {
    return Focus() != nullptr && Focus()->GetName().Find(u"btn_kb_3_custom_") == 0;
  };
  for (int i = 0; i < 40 && !in_picture(); ++i) Press(DuiLib::VK_TAB);
  ASSERT_TRUE(in_picture());
  EXPECT_EQ(FocusName(), u"btn_kb_3_custom_0");  // Esc, the first key
  EXPECT_TRUE(RingOn(Focus()));
  Press(DuiLib::VK_DOWN);
  Press(DuiLib::VK_RIGHT);
  int key = -1;
  for (int k = 0; k < kLayoutKeys; ++k)
    if (light.KeyButton(k) == Focus()) key = k;
  ASSERT_GE(key, 0);
  EXPECT_EQ(key, 7);  // "`" and then "1"
  const auto color = [&] { return Data().Lock().current()->banks[0].custom_colors[0][key]; };
  ASSERT_EQ(color(), 0);
  Press(DuiLib::VK_SPACE);
  EXPECT_NE(color(), 0);
  Press(DuiLib::VK_RETURN);
  EXPECT_EQ(color(), 0);
  // One stop: a Tab leaves the picture.
  Press(DuiLib::VK_TAB);
  EXPECT_FALSE(in_picture());
}

}  // namespace
}  // namespace kb::test
