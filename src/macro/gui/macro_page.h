#pragma once
// The macro page of one model, as far as the profile and file commands need it: the list of the
// model's macros (one row per macro, in list order, none selected at start) and the button that
// opens the macro menu (import, export). The editor of a macro's actions and the recording are
// not part of this page yet. One implementation; CKB_3_MacroUI and CKB_4_MacroUI only choose the
// model. UI thread only.

#include <string_view>

#include "keys/gui/model_page.h"
#include "keys/gui/page_wiring.h"
#include "keys/keyboard_model.h"
#include "macro/gui/macro_recording_handler.h"
#include "ui/container.h"
#include "ui/list.h"
#include "ui/notify.h"

class CMacroPage : public CModelPage, public IMacroRecordingHandler {
 public:
  explicit CMacroPage(const kb::ModelInfo& model);

  void DoInit() override;
  void Notify(DuiLib::TNotifyUI& msg) override;

  void SetWiring(const kb::PageWiring& wiring) { wiring_ = wiring; }
  void SetModelData(kb::ModelData* data) { data_ = data; }

  // One row per macro of the list, nothing selected.
  void FillMacroList();
  // A row for a macro appended to the list; selects it (with its notification) and scrolls to it.
  void AppendMacroItem(std::u16string_view name);
  // The selected row, or -1.
  int SelectedMacro() const;
  DuiLib::CListUI* macro_list() const { return list_; }

  // Recording is not built yet: the events arrive here and are not used.
  void OnHookEvent(DuiLib::UINT message, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;

 private:
  kb::PageWiring wiring_;
  kb::ModelData* data_ = nullptr;
  DuiLib::CListUI* list_ = nullptr;
  DuiLib::CControlUI* menu_button_ = nullptr;
  DuiLib::HWND menu_ = nullptr;
};

class CKB_3_MacroUI : public CMacroPage {
 public:
  CKB_3_MacroUI() : CMacroPage(kb::kKb3Info) {}
};

class CKB_4_MacroUI : public CMacroPage {
 public:
  CKB_4_MacroUI() : CMacroPage(kb::kKb4Info) {}
};
