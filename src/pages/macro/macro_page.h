// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The macro page of one model: the model's macros (add, delete, rename, import and export
// through the menu) and the editor of the current macro's actions, with recording from the live
// keyboard and mouse through the input-hook library. The working copy and its rules are the
// model's (macro/macro_working_state.h, macro/macro_recorder.h); the page binds them to controls
// and commits every change to the macro store at once. It also shows how much of the keyboard's
// macro memory the current profile's macros take, measured as the apply encodes them. One
// implementation; CKB_3_MacroUI and CKB_4_MacroUI only choose the model. UI thread only.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/keyboard_model.h"
#include "macro/macro_recorder.h"
#include "macro/macro_working_state.h"
#include "pages/common/model_page.h"
#include "pages/common/page_wiring.h"
#include "pages/macro/macro_recording_handler.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/list.h"
#include "ui/notify.h"

class CMacroPage : public CModelPage, public IMacroRecordingHandler {
 public:
  using Clock = kb::MacroRecorder::Clock;
  // What the page asks of its controller when a macro change touched keys of the current
  // profile: `keys` entries were reset or renamed; refresh the key page and apply that often.
  using KeysChanged = std::function<void(int keys)>;

  explicit CMacroPage(const kb::ModelInfo& model);

  // The page is built when it is first shown (Build), with the model's macros as they are then:
  // the window starts on the key page.
  void Notify(DuiLib::TNotifyUI& msg) override;

  void SetWiring(const kb::PageWiring& wiring) { wiring_ = wiring; }
  void SetModelData(kb::ModelData* data) { data_ = data; }
  void SetKeysChanged(KeysChanged keys_changed) { keys_changed_ = std::move(keys_changed); }
  void SetClockForTesting(std::function<Clock::time_point()> now) { now_ = std::move(now); }

  // One row per macro of the list, nothing selected, no current macro (nothing before the page
  // is built).
  void FillMacroList();
  // A row for a macro appended to the list; selects it (with its notification) and scrolls to it.
  void AppendMacroItem(std::u16string_view name);
  // Rows for macros appended to the list by someone else (a profile import): the selection,
  // the macro being edited and its selected action stay as they are.
  void AppendMacroRows(const std::vector<std::u16string>& names);
  // The selected row, or -1.
  int SelectedMacro() const;
  DuiLib::CListUI* macro_list() const { return list_; }
  // The menu's rename command for the selected macro.
  void RenameMacro();
  // The profile changed or an apply ended: the memory the current profile's macros take, and
  // the macros the last apply had to leave out (`left_out`: their names, empty for none).
  void ShowMacroMemory();
  void ShowLeftOut(const std::u16string& left_out);

  // A hook event routed by the main window: a recorded action or a captured key.
  void OnHookEvent(DuiLib::UINT message, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;

  const kb::MacroWorkingState& working() const { return working_; }
  bool recording() const { return recorder_.recording(); }

 private:
  void Build() override;
  // Writes the macro store (and the profile store, whose keys name macros by place), and tells
  // the user when either could not be written: the change stays in the window until a later save.
  void SaveStores(bool profiles_too);
  void SelectMacro(int index);
  // Every row anew, then row `row` selected with its notification (-1: none).
  void RebuildActionList();
  void RebuildActionList(int row);
  // After a move of the action at `from` to the working state's selection.
  void ShowSwap(int from);
  void FillRow(DuiLib::CControlUI* row, const kb::MacroAction& action);
  void ShowAction(int index);
  void Commit();
  void CommitField(DuiLib::CControlUI* field);
  void AddMacro();
  void DeleteMacro();
  void ToggleRecording();
  void StartRecording();
  void StopRecording();
  void StartKeyCapture();
  void StopKeyCapture();
  void SetCapture(int byte, bool on);
  Clock::time_point Now() const { return now_ ? now_() : Clock::now(); }

  kb::PageWiring wiring_;
  kb::ModelData* data_ = nullptr;
  KeysChanged keys_changed_;
  std::function<Clock::time_point()> now_;
  kb::MacroWorkingState working_;
  kb::MacroRecorder recorder_;
  int current_ = -1;  // the current macro's position in the list, -1 for none
  bool capturing_key_ = false;
  kb_message_target target_{};

  DuiLib::CListUI* list_ = nullptr;
  DuiLib::CListUI* actions_ = nullptr;
  DuiLib::CControlUI* menu_button_ = nullptr;
  DuiLib::CControlUI* add_ = nullptr;
  DuiLib::CControlUI* delete_ = nullptr;
  DuiLib::CCheckBoxUI* record_ = nullptr;
  DuiLib::CControlUI* default_delay_ = nullptr;
  DuiLib::CControlUI* loop_time_ = nullptr;
  DuiLib::CControlUI* key_row_ = nullptr;
  DuiLib::CControlUI* key_field_ = nullptr;
  DuiLib::CComboUI* mouse_combo_ = nullptr;
  DuiLib::CControlUI* move_row_ = nullptr;
  DuiLib::CControlUI* move_x_ = nullptr;
  DuiLib::CControlUI* move_y_ = nullptr;
  DuiLib::CControlUI* delay_row_ = nullptr;
  DuiLib::CControlUI* delay_ = nullptr;
  DuiLib::CControlUI* insert_x_ = nullptr;
  DuiLib::CControlUI* insert_y_ = nullptr;
  DuiLib::CControlUI* memory_ = nullptr;
  DuiLib::CControlUI* left_out_ = nullptr;
  DuiLib::CControlUI* delay_options_[3] = {};
  DuiLib::CControlUI* commands_[5] = {};  // move up, move down, delete, clear all, insert move
  DuiLib::HWND menu_ = nullptr;
  // The rows' images: a key, a mouse button, a move, a press or release.
  struct RowImages {
    DuiLib::CDuiString key, mouse, move, press;
  } images_;
};

class CKB_3_MacroUI : public CMacroPage {
 public:
  CKB_3_MacroUI() : CMacroPage(kb::kKb3Info) {}
};

class CKB_4_MacroUI : public CMacroPage {
 public:
  CKB_4_MacroUI() : CMacroPage(kb::kKb4Info) {}
};
