// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/keys/key_custom_page.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/hover_panel.h"
#include "keys/key_caption.h"
#include "keys/key_picture.h"
#include "pages/common/key_cap_label.h"
#include "pages/common/key_plate.h"
#include "pages/keys/key_capture_dialogs.h"
#include "pages/keys/macro_picker.h"
#include "profile/profile_record.h"
#include "ui/dialog_builder.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/window.h"

using DuiLib::CDuiString;
using DuiLib::LanguageText;

namespace {

// What position `index` does from the factory, by its key's name ("Caps Lock").
CDuiString FactoryName(const kb::ModelInfo& model, bool fn, int index) {
  const kb::KeyLayout& layout = kb::LayoutOf(model.model);
  const kb::KeyCode code =
      fn ? layout.default_fn_key_codes.at(index) : layout.default_key_codes.at(index);
  const kb::KeyCaption caption = kb::KeyCaptionOf(kb::KindByte(kb::AssignmentKind::Default), code);
  return caption.text_key.empty() ? CDuiString() : LanguageText(caption.text_key);
}

}  // namespace

CKeyCustomPage::CKeyCustomPage(const kb::ModelInfo& model)
    : CModelPage(model, "Custom", "page_kb_custom.xml") {}

CDuiString CKeyCustomPage::Name(const char* kind, int number) const {
  return CDuiString("btn_" + std::string(model_.id) + kind + std::to_string(number));
}

void CKeyCustomPage::DoInit() {
  if (!BuildLayout()) return;
  DuiLib::CPaintManagerUI& pm = *GetManager();
  for (int k = 0; k < kb::kLayoutKeys; ++k)
    keys_[k] = dynamic_cast<DuiLib::CButtonUI*>(pm.FindControl(Name("_key_", k)));
  for (int j = 0; j < kb::kLayoutFnSlots; ++j)
    fn_keys_[j] = dynamic_cast<DuiLib::CButtonUI*>(pm.FindControl(Name("_fn_key_", j)));
  const std::string id(model_.id);
  plate_ = pm.FindControl(CDuiString("ver_" + id + "_keyboard"));
  function_panel_ =
      dynamic_cast<DuiLib::CContainerUI*>(pm.FindControl(CDuiString("ver_" + id + "_function")));
  function_label_ =
      dynamic_cast<DuiLib::CLabelUI*>(pm.FindControl(CDuiString("label_" + id + "_function")));
  PlaceKeys();
}

// Keys and slots sit where the picture puts them, centred on the plate; the rest are hidden.
void CKeyCustomPage::PlaceKeys() {
  const kb::KeyPicture& picture = kb::KeyPictureOf(model_.model);
  const kb::KeyPlate plate(picture, plate_ != nullptr ? plate_->GetFixedWidth() : 0);
  for (int k = 0; k < kb::kLayoutKeys; ++k) plate.Place(keys_[k], picture.keys[k]);
  for (int j = 0; j < kb::kLayoutFnSlots; ++j) plate.Place(fn_keys_[j], picture.fn_slots[j]);
}

void CKeyCustomPage::Notify(DuiLib::TNotifyUI& msg) {
  if (!IsVisible() || data_ == nullptr || msg.pSender == nullptr) return;
  const bool click = msg.sType == DuiLib::DUI_MSGTYPE_CLICK;
  // The keyboard's user reads a key as the pointer's does: the panel follows the focus.
  const bool enter =
      msg.sType == DuiLib::DUI_MSGTYPE_MOUSEENTER || msg.sType == DuiLib::DUI_MSGTYPE_SETFOCUS;
  const bool leave =
      msg.sType == DuiLib::DUI_MSGTYPE_MOUSELEAVE || msg.sType == DuiLib::DUI_MSGTYPE_KILLFOCUS;
  if (!click && !enter && !leave) return;
  for (int fn = 0; fn < 2; ++fn) {
    const int count = fn ? kb::kLayoutFnSlots : kb::kLayoutKeys;
    for (int i = 0; i < count; ++i) {
      DuiLib::CButtonUI* button = fn ? fn_keys_[i] : keys_[i];
      if (button == nullptr || msg.pSender != button) continue;
      if (click) {
        selected_key_ = fn ? -1 : i;
        selected_fn_slot_ = fn ? i : -1;
        OpenMenuBelow(button, "keymenu.xml", wiring_.owner, &menu_);
      } else if (enter) {
        kb::KeyEntry entry{};
        {
          auto edit = data_->Lock();
          if (edit.current() == nullptr) return;
          const kb::ProfileBank& bank = kb::ActiveBank(*edit.current());
          entry = fn ? kb::FnKeyAt(bank, i) : kb::KeyAt(bank, i);
        }
        DescribeAssignment(entry);
        ShowPanel(button);
      } else if (function_panel_ != nullptr) {
        function_panel_->SetVisible(false);
      }
      return;
    }
  }
}

// Above the key by the skin's rule, inside the page, never over the key itself.
void CKeyCustomPage::ShowPanel(DuiLib::CControlUI* button) {
  if (function_panel_ == nullptr || function_panel_->GetParent() == nullptr) return;
  const DuiLib::RECT key = button->GetPos();
  const DuiLib::RECT area = function_panel_->GetParent()->GetPos();
  const kb::PanelRect rect = kb::HoverPanelRect({key.left, key.top, key.right, key.bottom},
                                                {area.left, area.top, area.right, area.bottom});
  // A floating control is placed relative to its container.
  CDuiString pos;
  pos.Format(u"%d,%d,%d,%d", rect.left - area.left, rect.top - area.top, rect.right - area.left,
             rect.bottom - area.top);
  function_panel_->SetAttribute(u"pos", pos);
  function_panel_->SetVisible(true);
}

void CKeyCustomPage::DescribeAssignment(const kb::KeyEntry& entry) {
  if (function_label_ == nullptr) return;
  const kb::KeyCode code = kb::ReadKeyCode(entry.code);
  kb::KeyCaption caption = kb::KeyCaptionOf(entry.kind, code);
  // A key handed to an Fn slot does what the slot's own key does from the factory.
  if (caption.text_key.empty() && code != kb::kNoFunction &&
      kb::TypeOf(code) == kb::KeyCodeType::FnSlot && kb::LowByteOf(code) < kb::kLayoutFnSlots)
    caption = kb::KeyCaptionOf(
        entry.kind, kb::LayoutOf(model_.model).default_fn_key_codes.at(kb::LowByteOf(code)));
  if (caption.form == kb::CaptionForm::Text) {
    function_label_->SetResourceText(true);
    function_label_->SetText(CDuiString(std::string(caption.text_key)));
    return;
  }
  function_label_->SetResourceText(false);
  if (caption.form == kb::CaptionForm::Macro) {
    CDuiString text = LanguageText("set_macro_text");
    text += u"-";
    text += CDuiString(kb::FieldText(entry.macro_name));
    function_label_->SetText(text);
  } else {
    function_label_->SetText(kb::CapCaptionOf(entry).Whole());
  }
}

void CKeyCustomPage::RefreshKeyHighlights() {
  if (data_ == nullptr) return;
  auto edit = data_->Lock();
  const kb::ProfileRecord* profile = edit.current();
  if (profile == nullptr) return;
  const kb::ProfileBank& bank = kb::ActiveBank(*profile);
  for (int k = 0; k < kb::kLayoutKeys; ++k) ShowKey(false, k, kb::KeyAt(bank, k));
  for (int j = 0; j < kb::kLayoutFnSlots; ++j) ShowKey(true, j, kb::FnKeyAt(bank, j));
}

void CKeyCustomPage::ShowKey(bool fn, int index, const kb::KeyEntry& entry) {
  DuiLib::CButtonUI* button = fn ? fn_keys_[index] : keys_[index];
  if (button == nullptr) return;
  const kb::KeyCode code = kb::ReadKeyCode(entry.code);
  const kb::KeyHighlight highlight = fn ? kb::FnSlotHighlightOf(model_.model, index, code)
                                        : kb::KeyHighlightOf(model_.model, index, code);
  // The cap shows what fits it; the accessible name and the hover panel say it whole.
  const CDuiString caption = kb::CapCaptionOf(entry).Whole();
  kb::ShowCapLabel(*button, entry);
  button->SetBkImage(CDuiString(std::string(kb::HighlightImage(highlight))));
  // A screen reader says the key, then what it does when that is not what it did
  // ("Left Ctrl, changed: Ctrl+A", "Caps Lock, disabled").
  const CDuiString own = FactoryName(model_, fn, index);
  CDuiString name = own.IsEmpty() ? caption : own;
  if (entry.kind == kb::KindByte(kb::AssignmentKind::Disabled)) {
    name += u", ";
    name += LanguageText("key_disabled_text");
  } else if (highlight != kb::KeyHighlight::None || caption != own) {
    name += u", ";
    name += LanguageText("key_changed_prefix_text");
    name += u": ";
    name += caption;
  }
  button->SetAccessibleName(name);
  button->SetAccessibleDescription(
      highlight == kb::KeyHighlight::None ? CDuiString() : LanguageText("key_changed_text"));
}

CKeyCustomPage::EntryWriter CKeyCustomPage::RunCommandDialog(const kb::ParsedKeyCommand& command,
                                                             const kb::KeyEntry& entry) {
  const kb::HookFunctionTable* hooks = wiring_.hooks;
  switch (command.command) {
    case kb::KeyCommand::SingleKey: {
      CSingleKeyWnd dialog(hooks, kb::InitialUsageOf(entry));
      if (dialog.Run(wiring_.owner) != 1) return {};
      return [usage = dialog.usage()](kb::KeyEntry& stored) {
        kb::WriteSingleKey(stored, usage);
        return true;
      };
    }
    case kb::KeyCommand::Shortcut: {
      std::array<std::uint8_t, 4> flags{};
      for (int i = 0; i < 4; ++i) flags[i] = (entry.kind_param >> i) & 1;
      CShortcutWnd dialog(hooks, kb::InitialUsageOf(entry), flags);
      if (dialog.Run(wiring_.owner) != 1) return {};
      std::uint8_t mask = 0;
      for (int i = 0; i < 4; ++i)
        if (dialog.flags()[i] == 1) mask |= static_cast<std::uint8_t>(1u << i);
      return [mask, usage = dialog.usage()](kb::KeyEntry& stored) {
        kb::WriteShortcut(stored, mask, usage);
        return true;
      };
    }
    case kb::KeyCommand::Macro: {
      const bool bound = entry.kind == kb::KindByte(kb::AssignmentKind::MacroBinding);
      // The picker reads the list while it runs; the list is only changed on this thread.
      const kb::MacroList* macros = nullptr;
      {
        auto edit = data_->Lock();
        macros = &edit.macros();
      }
      CSelectMacroWnd picker(model_, *macros, bound ? entry.macro_index : -1,
                             bound ? entry.macro_repeat_mode : 0, bound ? entry.macro_loops : 1);
      if (picker.Run(wiring_.owner) != 1) return {};
      return [macros, index = picker.selected(), mode = picker.repeat_mode(),
              loops = picker.loops()](kb::KeyEntry& stored) {
        return kb::WriteMacroBinding(stored, *macros, index, mode, loops);
      };
    }
    default:
      return {};
  }
}

void CKeyCustomPage::ApplyKeyCommand(const CDuiString& item_name) {
  if (data_ == nullptr || (selected_key_ < 0 && selected_fn_slot_ < 0)) return;
  const bool fn = selected_fn_slot_ >= 0;
  const int index = fn ? selected_fn_slot_ : selected_key_;
  const kb::ParsedKeyCommand command = kb::ParseKeyCommand(model_, item_name.ToUtf8());
  // The entry is edited as a copy while a dialog runs, so that no lock is held over a modal
  // loop; the bank it belongs to is the one active when the command began.
  int bank_index = 0;
  bool direct = false;
  kb::KeyEntry entry{};
  {
    auto edit = data_->Lock();
    kb::ProfileRecord* profile = edit.current();
    if (profile == nullptr) return;
    bank_index = kb::ActiveBankIndex(*profile);
    kb::ProfileBank& bank = profile->banks[bank_index];
    kb::KeyEntry& stored = fn ? kb::FnKeyAt(bank, index) : kb::KeyAt(bank, index);
    direct = kb::ApplyDirectKeyCommand(stored, command, model_, fn, index);
    // Cleared at once: a cancelled shortcut dialog keeps a key without modifiers.
    if (command.command == kb::KeyCommand::Shortcut) kb::PrepareShortcut(stored);
    entry = stored;
  }
  if (!direct) {
    const EntryWriter write = RunCommandDialog(command, entry);
    if (!write) {
      RefreshKeyHighlights();
      return;
    }
    auto edit = data_->Lock();
    kb::ProfileRecord* profile = edit.current();
    if (profile == nullptr) return;
    kb::ProfileBank& bank = profile->banks[bank_index];
    kb::KeyEntry& stored = fn ? kb::FnKeyAt(bank, index) : kb::KeyAt(bank, index);
    (void)write(stored);
    entry = stored;
  }
  if (kb::ActiveBankIndex(*data_->Lock().current()) == bank_index) ShowKey(fn, index, entry);
}
