// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name dialogs: ask for a profile or macro name, refuse an empty or already used one, and
// hand the accepted name back. One implementation; the four named twins below only choose the
// model and the list. UI thread only.

#include "keys/keyboard_model.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"
#include "ui/window_impl_base.h"

#include <functional>
#include <string_view>

class CNameDialog : public DuiLib::WindowImplBase {
 public:
  enum class Kind { kConfig, kMacro };
  static constexpr int kModeNew = 0;
  static constexpr int kModeRename = 1;

  // The dialog only reads the list, and only while it runs.
  CNameDialog(const kb::ModelInfo& model, const kb::ProfileList& profiles);
  CNameDialog(const kb::ModelInfo& model, const kb::MacroList& macros);

  void SetMode(int mode) { mode_ = mode; }
  int GetMode() const { return mode_; }
  Kind GetKind() const { return kind_; }
  // On entry the current name (empty for a new one); after a result of 1 the accepted name.
  void SetName(std::u16string_view name) { name_ = DuiLib::CDuiString(name); }
  const DuiLib::CDuiString& GetName() const { return name_; }

  // Language keys of the title and of the label above the field, by kind and mode.
  DuiLib::CDuiString GetTitleKey() const;
  DuiLib::CDuiString GetLabelKey() const;

  // The window class and the layout file, which tell the twins apart.
  DuiLib::CDuiString ClassName() const { return GetWindowClassName(); }
  DuiLib::CDuiString LayoutFile() { return GetSkinFile(); }

  // Creates the dialog owned by `owner` with the caller's window text, centred over it, and
  // runs it modally: 1 when a new name was accepted, 0 otherwise.
  DuiLib::UINT Run(DuiLib::HWND owner, const DuiLib::CDuiString& window_text);

 protected:
  DuiLib::CDuiString GetWindowClassName() const override;
  DuiLib::CDuiString GetSkinFile() override;
  void InitWindow() override;
  void OnClick(DuiLib::TNotifyUI& msg) override;
  // Enter confirms as OK does, unless a button has the focus (it presses that button).
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM wParam) override;

 private:
  void Accept();

  const kb::ModelInfo& model_;
  const Kind kind_;
  const std::function<bool(std::u16string_view)> name_taken_;
  int mode_ = kModeNew;
  DuiLib::CDuiString name_;
};

class CKB_3_EditConfigName : public CNameDialog {
 public:
  explicit CKB_3_EditConfigName(const kb::ProfileList& profiles)
      : CNameDialog(kb::kKb3Info, profiles) {}
};

class CKB_4_EditConfigName : public CNameDialog {
 public:
  explicit CKB_4_EditConfigName(const kb::ProfileList& profiles)
      : CNameDialog(kb::kKb4Info, profiles) {}
};

class CKB_3_EditMacroName : public CNameDialog {
 public:
  explicit CKB_3_EditMacroName(const kb::MacroList& macros) : CNameDialog(kb::kKb3Info, macros) {}
};

class CKB_4_EditMacroName : public CNameDialog {
 public:
  explicit CKB_4_EditMacroName(const kb::MacroList& macros) : CNameDialog(kb::kKb4Info, macros) {}
};
