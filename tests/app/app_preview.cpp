// Not a test: shows the main window on one sub-page for scripts/render_app.sh, which
// photographs it under Xvfb. app_preview <application directory> <custom|light|macro|unplugged>
// The data folder is the application directory's own.

#include <dlfcn.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_startup.h"
#include "app/main_wnd.h"
#include "common/app_directory.h"
#include "ui/paint_manager.h"
#include "ui/ui_test_driver.h"
#include "virtual_keyboard.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: app_preview APP_DIR custom|light|macro|unplugged\n");
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
  if (page == "light") DuiLib::Testing::Click(pm, u"option_kb_3_light");
  if (page == "macro") DuiLib::Testing::Click(pm, u"option_kb_3_macro");
  if (page == "unplugged") {
    // The virtual keyboard's cable, pulled.
    void* vkb = dlopen((dir + "KB/Torvane_3.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (vkb != nullptr)
      if (auto unplug = reinterpret_cast<vkb_void_fn>(dlsym(vkb, "vkb_unplug"))) unplug();
  }
  return DuiLib::CPaintManagerUI::MessageLoop();
}
