// SPDX-License-Identifier: GPL-3.0-or-later
// Opens one of the shell's dialogs without a modal loop so that scripts/render_dialogs.sh can
// photograph it. Not a test: it runs until it is killed. Once the window is up it prints
// "geometry WxH+X+Y" (its rectangle on the screen, in Qt's logical pixels) and a newline on
// standard output, so that the script needs no window title to find it.
//
//   shell_dialog_preview <res folder> msg|confirm|notprofile|full|exported|imported|imported_many|
//                        configname|macroname|savefile|<layout>.xml|<name>_menu.xml
//
// savefile runs the save dialog of the file commands (modal, the desktop's or Qt's own) and
// prints no geometry: the script photographs the screen.

#include <cstdio>
#include <memory>
#include <string>

#include "common/utf16_text.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"
#include "shell/msg_wnd.h"
#include "shell/name_dialog.h"
#include "ui/file_dialog.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace {

// Any layout file, shown as a plain window: the theme gallery.
class LayoutWindow : public DuiLib::WindowImplBase {
 public:
  explicit LayoutWindow(DuiLib::CDuiString file) : file_(std::move(file)) {}

 protected:
  DuiLib::CDuiString GetWindowClassName() const override { return u"LayoutPreview"; }
  DuiLib::CDuiString GetSkinFile() override { return file_; }

 private:
  DuiLib::CDuiString file_;
};

void Open(DuiLib::WindowImplBase& window, const char16_t* text) {
  window.Create(nullptr, text, DuiLib::WS_POPUP | DuiLib::WS_VISIBLE, DuiLib::WS_EX_TOOLWINDOW,
                DuiLib::RECT{0, 0, 800, 800});
  window.CenterWindow();
  window.ShowWindow(true);
}

void PrintGeometry(const DuiLib::RECT& r) {
  std::printf("geometry %dx%d+%d+%d\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: %s <res folder> "
                 "msg|confirm|notprofile|full|exported|imported|imported_many|configname|macroname|"
                 "savefile|<layout>.xml|<name>_menu.xml\n",
                 argv[0]);
    return 2;
  }
  const std::string res = std::string(argv[1]) + "/";
  const std::string which = argv[2];
  DuiLib::CPaintManagerUI::SetResourcePath(DuiLib::CDuiString(res));
  for (const auto& [what, status] :
       {std::pair{"text.xml", DuiLib::CResourceManager::GetInstance()->LoadLanguage(u"text.xml")},
        std::pair{"theme.xml", DuiLib::CResourceManager::GetInstance()->LoadTheme(u"theme.xml")}}) {
    if (!status.ok()) {
      std::fprintf(stderr, "%s: %s\n", what, status.reason().c_str());
      return 1;
    }
  }

  kb::ProfileList profiles;
  profiles.push_back(std::make_unique<kb::ProfileRecord>());
  kb::StoreFieldText(profiles.back()->name, u"Game");
  kb::MacroList macros;

  if (which.ends_with("_menu.xml")) {
    // The menu owns itself and stays open until it loses a click.
    DuiLib::CMenuWnd* menu =
        DuiLib::CMenuWnd::CreateMenu(DuiLib::CDuiString(which), DuiLib::POINT{200, 150}, nullptr);
    if (menu == nullptr) {
      std::fprintf(stderr, "menu %s cannot be built\n", which.c_str());
      return 1;
    }
    PrintGeometry(menu->GetWindowRect());
    return DuiLib::CPaintManagerUI::MessageLoop();
  }

  if (which == "savefile") {
    DuiLib::FileDialogRequest request;
    request.filter_label = u"Keyboard Profile File";
    request.filter_pattern = u"*.kpo;*.KPO";
    request.default_extension = u"kpo";
    request.suggested_name = DuiLib::FileNameFor(u"Game", u"kpo");
    const auto chosen = DuiLib::GetSaveFileName(request);
    std::printf("chosen %s\n", chosen ? chosen->ToUtf8().c_str() : "(cancelled)");
    return 0;
  }

  std::unique_ptr<DuiLib::WindowImplBase> window;
  const char16_t* text = u"MsgWnd";
  if (which == "msg" || which == "confirm" || which == "notprofile") {
    auto box = std::make_unique<CMsgWnd>();
    box->SetTitleKey(u"warning_1_text");
    box->SetTextKey(which == "msg"       ? u"warning_9_text"
                    : which == "confirm" ? u"warning_5_text"
                                         : u"warning_not_profile_text");
    window = std::move(box);
  } else if (which == "full") {
    // The longest warning that names the stores' limits.
    auto box = std::make_unique<CMsgWnd>();
    box->SetTitleKey(u"warning_1_text");
    box->SetTextKey(u"warning_import_full_text");
    box->SetShownText(CMsgWnd::Compose(u"warning_import_full_text", {u"1000", u"1000"}));
    box->SetReport(true);
    window = std::move(box);
  } else if (which == "exported" || which == "imported" || which == "imported_many") {
    // The reports of the file commands, with a long folder and a few macros.
    auto box = std::make_unique<CMsgWnd>();
    box->SetTitleKey(u"report_title_text");
    box->SetReport(true);
    if (which == "exported") {
      box->SetTextKey(u"report_profile_exported_text");
      box->SetShownText(
          CMsgWnd::Compose(u"report_profile_exported_text",
                           {u"Game",
                            u"/\u200Bhome/\u200Balexandra/\u200BDocuments/\u200Bkeyboard "
                            u"profiles/\u200Bshared with friends/\u200BGame.kpo"}));
    } else if (which == "imported_many") {
      // The longest a report gets: a long profile name and as many macro names as it lists.
      box->SetTextKey(u"report_profile_imported_text");
      box->SetShownText(
          CMsgWnd::Compose(u"report_profile_imported_text",
                           {u"Tournament settings for the spring league finals"}) +
          u" " +
          CMsgWnd::Compose(u"report_macros_imported_text",
                           {u"\u201CBurst fire with recoil control\u201D, \u201CCombo 3 of the "
                            u"long set\u201D, \u201CBuild and run the project\u201D, "
                            u"\u201CGreeting\u201D and 7 more"}) +
          u" " + CMsgWnd::Compose(u"report_keys_released_text", {u"3"}));
    } else {
      box->SetTextKey(u"report_profile_imported_text");
      box->SetShownText(
          CMsgWnd::Compose(u"report_profile_imported_text", {u"Tournament"}) + u" " +
          CMsgWnd::Compose(u"report_macros_imported_text",
                           {u"\u201CBurst\u201D, \u201CCombo 3\u201D, \u201CBuild and "
                            u"run\u201D"}) +
          u" " + CMsgWnd::Compose(u"report_keys_released_text", {u"1"}));
    }
    window = std::move(box);
  } else if (which == "configname") {
    auto dialog = std::make_unique<CKB_3_EditConfigName>(profiles);
    dialog->SetMode(CNameDialog::kModeRename);
    dialog->SetName(u"Game");
    text = u"KB_3_EditConfigName";
    window = std::move(dialog);
  } else if (which == "macroname") {
    window = std::make_unique<CKB_3_EditMacroName>(macros);
    text = u"KB_3_EditMacroName";
  } else if (which.size() > 4 && which.ends_with(".xml")) {
    window = std::make_unique<LayoutWindow>(DuiLib::CDuiString(which));
    text = u"LayoutPreview";
  } else {
    std::fprintf(stderr, "unknown dialog %s\n", which.c_str());
    return 2;
  }
  Open(*window, text);
  if (!window->IsLayoutBuilt()) {
    std::fprintf(stderr, "layout: %s\n", window->LayoutStatus().reason().c_str());
    return 1;
  }
  PrintGeometry(window->GetWindowRect());
  return DuiLib::CPaintManagerUI::MessageLoop();
}
