// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The key customisation page of one model: the keyboard picture, one button per key position
// and per Fn slot, each placed where the key sits on the model's keyboard (keys/key_picture.h),
// labelled with what it is assigned and marked when that differs from the factory assignment.
// One implementation; CKB_3_CustomUI and CKB_4_CustomUI only choose the model. UI thread only.
//
// A click opens the key menu below the key; the menu's command changes the key in the current
// profile's active bank, through a capture dialog or the macro picker where it needs one (what a
// command writes is the model's rule, profile/key_commands.h). Resting the pointer on a key shows
// what it does in a panel above it, and so does the keyboard focus on a key. Nothing is saved or
// sent here: the controller applies.

#include <array>
#include <functional>

#include "keys/key_layout.h"
#include "keys/keyboard_model.h"
#include "pages/common/model_page.h"
#include "pages/common/page_wiring.h"
#include "profile/key_commands.h"
#include "profile/profile_record.h"
#include "ui/button.h"
#include "ui/container.h"
#include "ui/label.h"
#include "ui/notify.h"

class CKeyCustomPage : public CModelPage {
 public:
  explicit CKeyCustomPage(const kb::ModelInfo& model);

  void DoInit() override;
  void Notify(DuiLib::TNotifyUI& msg) override;

  void SetWiring(const kb::PageWiring& wiring) { wiring_ = wiring; }
  // The data whose current profile the page shows; null shows no assignments.
  void SetModelData(kb::ModelData* data) { data_ = data; }

  // Labels and marks every key and Fn slot from the current profile's active bank.
  void RefreshKeyHighlights();
  // A key-menu command for the selected key (the controller routes every menu item that is not
  // its own here). Dialogs run modally inside it.
  void ApplyKeyCommand(const DuiLib::CDuiString& item_name);
  // The hover panel's text for `entry`.
  void DescribeAssignment(const kb::KeyEntry& entry);
  // The open key menu, or null.
  DuiLib::HWND key_menu() const { return menu_; }

  int selected_key() const { return selected_key_; }
  int selected_fn_slot() const { return selected_fn_slot_; }
  DuiLib::CButtonUI* KeyButton(int index) const { return keys_.at(index); }
  DuiLib::CButtonUI* FnButton(int slot) const { return fn_keys_.at(slot); }

 private:
  void PlaceKeys();
  DuiLib::CDuiString Name(const char* kind, int number) const;
  void ShowPanel(DuiLib::CControlUI* button);
  // Shows one button's entry: caption, highlight and the name a screen reader says.
  void ShowKey(bool fn, int index, const kb::KeyEntry& entry);
  // Runs the dialog a command needs, starting from `entry`, and gives back what writes the
  // result into the stored entry; empty when it was cancelled. Only the fields the command
  // names are written, so what changed in the entry while the dialog ran (an apply places
  // macros) stays.
  using EntryWriter = std::function<bool(kb::KeyEntry&)>;
  EntryWriter RunCommandDialog(const kb::ParsedKeyCommand& command, const kb::KeyEntry& entry);

  kb::PageWiring wiring_;
  kb::ModelData* data_ = nullptr;
  std::array<DuiLib::CButtonUI*, kb::kLayoutKeys> keys_{};
  std::array<DuiLib::CButtonUI*, kb::kLayoutFnSlots> fn_keys_{};
  DuiLib::CControlUI* plate_ = nullptr;
  DuiLib::CContainerUI* function_panel_ = nullptr;
  DuiLib::CLabelUI* function_label_ = nullptr;
  DuiLib::HWND menu_ = nullptr;
  int selected_key_ = -1;
  int selected_fn_slot_ = -1;
};

class CKB_3_CustomUI : public CKeyCustomPage {
 public:
  CKB_3_CustomUI() : CKeyCustomPage(kb::kKb3Info) {}
};

class CKB_4_CustomUI : public CKeyCustomPage {
 public:
  CKB_4_CustomUI() : CKeyCustomPage(kb::kKb4Info) {}
};
