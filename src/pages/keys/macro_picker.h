// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The macro picker behind the key menu's macro command: the model's macros by name, one of five
// repeat options and, for the first two, a loop count. It returns the three values; the key
// page binds the key. One implementation; the KB_4 twin warns when OK is pressed with macros
// listed and none chosen (ModelInfo::picker_warns_without_choice). UI thread only.

#include "keys/keyboard_model.h"
#include "macro/macro_record.h"
#include "ui/window_impl_base.h"

class CSelectMacroWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr int kMinLoops = 1;
  static constexpr int kMaxLoops = 65535;

  // The dialog only reads `macros`, and only while it runs.
  CSelectMacroWnd(const kb::ModelInfo& model, const kb::MacroList& macros, int selected,
                  int repeat_mode, int loops);

  // Owned by `owner`, centred over it, run modally: 1 for OK, 0 otherwise.
  DuiLib::UINT Run(DuiLib::HWND owner);
  int selected() const { return selected_; }
  int repeat_mode() const { return repeat_mode_; }
  int loops() const { return loops_; }

 protected:
  DuiLib::CDuiString GetWindowClassName() const override;
  DuiLib::CDuiString GetSkinFile() override;
  void InitWindow() override;
  void Notify(DuiLib::TNotifyUI& msg) override;
  void OnClick(DuiLib::TNotifyUI& msg) override;

 private:
  void ShowLoopRow();
  void CommitLoops();

  const kb::ModelInfo& model_;
  const kb::MacroList& macros_;
  int selected_;
  int repeat_mode_;
  int loops_;
};

class CKB_3_SelectMacro : public CSelectMacroWnd {
 public:
  CKB_3_SelectMacro(const kb::MacroList& macros, int selected, int repeat_mode, int loops)
      : CSelectMacroWnd(kb::kKb3Info, macros, selected, repeat_mode, loops) {}
};

class CKB_4_SelectMacro : public CSelectMacroWnd {
 public:
  CKB_4_SelectMacro(const kb::MacroList& macros, int selected, int repeat_mode, int loops)
      : CSelectMacroWnd(kb::kKb4Info, macros, selected, repeat_mode, loops) {}
};
