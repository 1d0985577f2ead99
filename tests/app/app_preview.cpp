// SPDX-License-Identifier: GPL-3.0-or-later
// Not a test: shows the main window on one sub-page for scripts/render_app.sh, which
// photographs it under Xvfb. Once it is up it prints "geometry WxH+X+Y" (the main window's
// rectangle in Qt's logical pixels) and a newline on standard output. app_preview <application
// directory> <custom|light|light18|macro|unplugged|keymenu|keymenu_media|hover|hover_macro|
// pending|singlekey|shortcut|picker|applinks|applinks_unavailable|applinks_combo|profilemenu|focus_button|focus_combo|focus_tab|focus_slider|focus_key>
// The data folder is the application directory's own. The focus_ pages reach their control with Tab
// (and the arrows in the picture), as a user does, so that the focus ring shows.

#include <dlfcn.h>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/app_directory.h"
#include "common/utf16_text.h"
#include "pages/device/app_links_dialog.h"
#include "pages/device/device_page.h"
#include "pages/keys/key_capture_dialogs.h"
#include "pages/keys/macro_picker.h"
#include "pages/macro/macro_page.h"
#include "profile/app_links.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/slider.h"
#include "ui/ui_test_driver.h"
#include "virtual_keyboard.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(
        stderr,
        "usage: app_preview APP_DIR "
        "custom|light|light18|macro|unplugged|keymenu|keymenu_media|hover|hover_macro|pending|"
        "singlekey|"
        "shortcut|picker|applinks|applinks_unavailable|applinks_combo|profilemenu|focus_button|"
        "focus_combo|"
        "focus_tab|focus_slider|focus_key\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const std::string page = argv[2];
  kb::app::SetUpSkin(DuiLib::CDuiString(dir + "res/"));
  kb::app::RegisterPageClasses();
  CMainWnd wnd(kb::ResolveAppPaths(dir));
  wnd.Create(nullptr, u"", DuiLib::UI_WNDSTYLE_FRAME, 0, 0, 0, 800, 572);
  wnd.CenterWindow();
  DuiLib::Testing::ProcessEvents();
  DuiLib::CPaintManagerUI& pm = *wnd.GetPaintManager();
  if (page == "light" || page == "light18" || page == "focus_slider")
    DuiLib::Testing::Click(pm, u"option_kb_3_light");
  auto* modes = dynamic_cast<DuiLib::CComboUI*>(pm.FindControl(u"combo_kb_3_light_mode"));
  if (page == "light" && modes != nullptr) {
    // An effect with the user's own colour: the scheme row and the colour row.
    DuiLib::Testing::SelectComboItem(modes, 2);
    DuiLib::Testing::Click(pm, u"btn_kb_3_color_mode_10");
    DuiLib::Testing::DragSlider(
        dynamic_cast<DuiLib::CSliderUI*>(pm.FindControl(u"slider_kb_3_color_g")), 140);
  }
  if (page == "light18" && modes != nullptr) {
    // Per-key colours: a dozen keys in colours picked on the palette.
    modes->SelectItem(18, true);
    auto* palette =
        dynamic_cast<DuiLib::CColorPaletteUI*>(pm.FindControl(u"colorpalette_kb_3_light"));
    const int keys[] = {0, 1, 2, 3, 4, 5, 7, 8, 14, 20, 26, 81};
    int n = 0;
    for (int key : keys) {
      if (palette != nullptr)
        DuiLib::Testing::ClickPalette(palette, {6 + (n * 13) % 140, 10 + (n * 7) % 60});
      DuiLib::Testing::Click(pm, DuiLib::CDuiString("btn_kb_3_custom_" + std::to_string(key)));
      ++n;
    }
  }
  if (page.rfind("macro", 0) == 0) {
    // A recorded word, a click and a move; one action of each kind selected in turn.
    DuiLib::Testing::Click(pm, u"option_kb_3_macro");
    CDevicePage* device = wnd.device_tabs().page(0);
    if (device != nullptr && device->data() != nullptr && device->macro_page() != nullptr) {
      {
        auto edit = device->data()->Lock();
        auto macro = std::make_unique<kb::MacroRecord>();
        kb::StoreFieldText(macro->name, u"Greeting");
        macro->loop_time = 1;
        const kb::MacroAction actions[] = {
            {0x0B, 1, 84, 0, 0},   {0x0B, 2, 61, 0, 0},  {0x0C, 1, 97, 0, 0},
            {0x0C, 2, 120, 0, 0},  {0xF0, 1, 143, 0, 0}, {0xF0, 2, 88, 0, 0},
            {0xF6, 0, 1, 40, -12}, {0x28, 1, 10, 0, 0},  {0x28, 2, 1, 0, 0}};
        for (const kb::MacroAction& a : actions) macro->actions[macro->action_count++] = a;
        edit.macros().push_back(std::move(macro));
      }
      device->macro_page()->FillMacroList();
      device->macro_page()->macro_list()->SelectItem(0, true);
      auto* rows = dynamic_cast<DuiLib::CListUI*>(pm.FindControl(u"list_kb_3_macro_action"));
      const int row = page == "macro_mouse" ? 4 : page == "macro_move" ? 6 : 2;
      if (rows != nullptr) rows->SelectItem(row, true);
    }
  }
  if (page.rfind("focus_", 0) == 0) {
    const char16_t* target = page == "focus_button"   ? u"btn_kb_3_apply"
                             : page == "focus_combo"  ? u"combo_kb_3_profile"
                             : page == "focus_tab"    ? u"option_kb_3_light"
                             : page == "focus_slider" ? u"slider_kb_3_light_brightness"
                                                      : u"btn_kb_3_key_";
    auto reached = [&] {
      DuiLib::CControlUI* focus = pm.GetFocus();
      return focus != nullptr && focus->GetName().Find(target) == 0;
    };
    for (int i = 0; i < 60 && !reached(); ++i) DuiLib::Testing::PressKey(pm, DuiLib::VK_TAB);
    // From Esc down to Caps Lock and on to A.
    if (page == "focus_key")
      for (DuiLib::UINT arrow :
           {DuiLib::VK_DOWN, DuiLib::VK_DOWN, DuiLib::VK_DOWN, DuiLib::VK_RIGHT})
        DuiLib::Testing::PressKey(pm, arrow);
  }
  // The key page's popups: its menu, its hover panel and its dialogs, shown without their
  // modal loops so that the window stays up to be photographed.
  if (page.rfind("keymenu", 0) == 0) DuiLib::Testing::Click(pm, u"btn_kb_3_key_14");
  if (page == "keymenu_media")
    if (auto* menu = DuiLib::CMenuWnd::GetTopMenuForTesting())
      DuiLib::Testing::Click(menu->FindItem(u"keymenu_media"));
  if (page == "profilemenu") DuiLib::Testing::Click(pm, u"btn_kb_3_profile_dot");
  if (page == "hover") DuiLib::Testing::Hover(pm.FindControl(u"btn_kb_3_key_14"));
  // An edit the keyboard has not been sent: the dot beside Apply.
  if (page == "pending") {
    DuiLib::Testing::Click(pm, u"btn_kb_3_key_22");
    DuiLib::Testing::ClickMenuItem(u"kb_3_command_4");
  }
  // The key render_app.sh binds to the longest macro name.
  if (page == "hover_macro") DuiLib::Testing::Hover(pm.FindControl(u"btn_kb_3_key_21"));
  static kb::MacroList macros;
  static std::unique_ptr<DuiLib::WindowImplBase> dialog;
  if (page == "singlekey") dialog = std::make_unique<CSingleKeyWnd>(nullptr, 0x29);
  if (page == "shortcut")
    dialog = std::make_unique<CShortcutWnd>(nullptr, 0x06, std::array<std::uint8_t, 4>{1, 0, 1, 0});
  if (page == "picker") {
    for (const char* name : {"Build and run", "Greeting", "Combo 3"}) {
      macros.push_back(std::make_unique<kb::MacroRecord>());
      kb::StoreFieldText(macros.back()->name, kb::FromUtf8(name));
    }
    dialog = std::make_unique<CKB_3_SelectMacro>(macros, 1, 0, 5);
  }
  if (page.rfind("applinks", 0) == 0) {
    // Two applications linked to the one profile, one of them in front: the combo's note.
    CDevicePage* device = wnd.device_tabs().page(0);
    if (device != nullptr && device->data() != nullptr) {
      const auto file = kb::AppLinksPathOf(device->data()->paths().profile_store);
      kb::AppLinks links;
      for (const char* app : {"steam_app_570", "org.kde.krita"}) (void)links.Link(0, app);
      (void)kb::SaveAppLinks(file, links, kb::AppLinksLoad{});
      device->OnApplicationInFront("steam_app_570");
      CAppLinksDialog::Setup setup;
      setup.file = file;
      setup.profile_names.emplace_back(kb::FieldText(device->data()->Lock().profiles()[0]->name));
      if (page == "applinks")
        setup.open_applications = {"firefox", "org.kde.krita", "steam_app_570"};
      else
        setup.unavailable =
            "GNOME on Wayland gives no program the window in front (sway, i3 and KDE Plasma do; "
            "on X11 every desktop does)";
      if (page != "applinks_combo") dialog = std::make_unique<CAppLinksDialog>(std::move(setup));
    }
  }
  if (dialog) {
    dialog->Create(wnd.GetHWND(), u"dialog", DuiLib::WS_POPUP | DuiLib::WS_VISIBLE,
                   DuiLib::WS_EX_TOOLWINDOW, DuiLib::RECT{0, 0, 800, 800});
    dialog->CenterWindow();
    dialog->ShowWindow(true);
  }
  if (page == "unplugged") {
    // The virtual keyboard's cable, pulled.
    void* vkb = dlopen((dir + "KB/Torvane_3.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (vkb != nullptr)
      if (auto unplug = reinterpret_cast<vkb_void_fn>(dlsym(vkb, "vkb_unplug"))) unplug();
  }
  DuiLib::Testing::ProcessEvents();
  const DuiLib::RECT r = wnd.GetWindowRect();
  std::printf("geometry %dx%d+%d+%d\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
  std::fflush(stdout);
  return DuiLib::CPaintManagerUI::MessageLoop();
}
