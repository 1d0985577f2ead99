// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/macro/macro_page.h"

#include <memory>
#include <string>

#include "common/utf16_text.h"
#include "device/macro_memory.h"
#include "keys/key_names.h"
#include "macro/macro_store.h"
#include "profile/macro_bindings.h"
#include "profile/profile_record.h"
#include "shell/msg_wnd.h"
#include "shell/name_dialog.h"
#include "ui/dialog_builder.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/window.h"
#include "ui/window_input_tap.h"

using DuiLib::CDuiString;
using DuiLib::LanguageText;

namespace {

constexpr int kMacroRowHeight = 21;
constexpr int kActionRowHeight = 23;
constexpr DuiLib::DWORD kMemoryColor = 0xFF9AA2B1;    // the theme's dim text
constexpr DuiLib::DWORD kOverflowColor = 0xFFF0A530;  // its warning colour

CDuiString Number(int value) {
  CDuiString text;
  text.Format(u"%d", value);
  return text;
}

CDuiString ImageOf(const kb::ModelInfo& model, const char* file, const char* dest) {
  std::string image("res='skins/kb/");
  image.append(model.id).append("/").append(file).append("' dest='").append(dest).append("'");
  return CDuiString(image);
}

bool IsMouseButton(int code) {
  return code >= kb::kFirstMouseButtonCode && code <= kb::kLastMouseButtonCode;
}

}  // namespace

CMacroPage::CMacroPage(const kb::ModelInfo& model)
    : CModelPage(model, "Macro", "page_kb_macro.xml") {}

void CMacroPage::Build() {
  if (!BuildLayout()) return;
  // Made once: a recording rebuilds up to 3000 rows after every event.
  images_ = {ImageOf(model_, "keyboard_key_action.png", "5,2,35,20"),
             ImageOf(model_, "mouse.png", "5,0,26,21"), ImageOf(model_, "move.png", "5,0,26,21"),
             ImageOf(model_, "macro_key_down.png", "5,2,21,20")};
  list_ = dynamic_cast<DuiLib::CListUI*>(FindNamed("list", "macro"));
  actions_ = dynamic_cast<DuiLib::CListUI*>(FindNamed("list", "macro_action"));
  menu_button_ = FindNamed("btn", "menu_macro");
  add_ = FindNamed("btn", "add_macro");
  delete_ = FindNamed("btn", "delete_macro");
  record_ = dynamic_cast<DuiLib::CCheckBoxUI*>(FindNamed("btn", "record"));
  default_delay_ = FindNamed("edit", "default_delay");
  loop_time_ = FindNamed("edit", "loop_time");
  key_row_ = FindNamed("hor", "macro_key");
  key_field_ = FindNamed("edit", "macro_action");
  mouse_combo_ = dynamic_cast<DuiLib::CComboUI*>(FindNamed("combo", "macro_mouse_action"));
  move_row_ = FindNamed("hor", "macro_mouse_move");
  move_x_ = FindNamed("edit", "macro_action_x");
  move_y_ = FindNamed("edit", "macro_action_y");
  delay_row_ = FindNamed("hor", "macro_delay");
  delay_ = FindNamed("edit", "macro_delay");
  insert_x_ = FindNamed("edit", "insert_x");
  insert_y_ = FindNamed("edit", "insert_y");
  memory_ = FindNamed("label", "macro_memory");
  left_out_ = FindNamed("label", "macro_left_out");
  for (int i = 0; i < 3; ++i)
    delay_options_[i] = FindNamed("option", "macro_delay_" + std::to_string(i + 1));
  const char* const commands[5] = {"macro_move_up", "macro_move_down", "macro_action_delete",
                                   "macro_clear_all", "insert_move"};
  for (int i = 0; i < 5; ++i) commands_[i] = FindNamed("btn", commands[i]);
  ShowAction(-1);
  FillMacroList();
}

void CMacroPage::FillMacroList() {
  if (list_ == nullptr || data_ == nullptr) return;
  if (recorder_.recording()) StopRecording();
  list_->RemoveAll();
  {
    auto edit = data_->Lock();
    for (const auto& macro : edit.macros()) {
      auto* row = new DuiLib::CListLabelElementUI;
      row->SetText(CDuiString(kb::FieldText(macro->name)));
      row->SetFixedHeight(kMacroRowHeight);
      list_->Add(row);
    }
  }
  SelectMacro(-1);
  ShowMacroMemory();
}

void CMacroPage::AppendMacroItem(std::u16string_view name) {
  if (list_ == nullptr) return;
  auto* row = new DuiLib::CListLabelElementUI;
  row->SetText(CDuiString(name));
  row->SetFixedHeight(kMacroRowHeight);
  list_->Add(row);
  list_->SelectItem(list_->GetCount() - 1, true);
  list_->EndDown();
}

void CMacroPage::AppendMacroRows(const std::vector<std::u16string>& names) {
  if (list_ == nullptr) return;
  for (const std::u16string& name : names) {
    auto* row = new DuiLib::CListLabelElementUI;
    row->SetText(CDuiString(name));
    row->SetFixedHeight(kMacroRowHeight);
    list_->Add(row);
  }
  ShowMacroMemory();
}

int CMacroPage::SelectedMacro() const { return list_ != nullptr ? list_->GetCurSel() : -1; }

void CMacroPage::Notify(DuiLib::TNotifyUI& msg) {
  if (!IsVisible() || data_ == nullptr || msg.pSender == nullptr) return;
  if (data_->Lock().current() == nullptr) return;
  DuiLib::CControlUI* sender = msg.pSender;
  const CDuiString& type = msg.sType;
  if (type == DuiLib::DUI_MSGTYPE_CLICK) {
    if (sender == add_) AddMacro();
    if (sender == delete_) DeleteMacro();
    if (sender == menu_button_) OpenMenuBelow(menu_button_, "macromenu.xml", wiring_.owner, &menu_);
    // The action commands work during a recording too; an insertion keeps its place.
    const int selected = working_.selected();
    if (sender == commands_[0] || sender == commands_[1]) {
      const bool up = sender == commands_[0];
      if (up ? working_.MoveUp(selected) : working_.MoveDown(selected)) ShowSwap(selected);
      return;
    }
    if (sender == commands_[2]) {
      if (working_.Delete(selected)) {
        // The list selects the row that took its place (or the new last one) and says so.
        actions_->RemoveAt(selected);
        if (working_.count() == 0) ShowAction(-1);
        Commit();
      }
      return;
    }
    if (sender == commands_[3] && current_ >= 0) {
      working_.ClearAll();
      Commit();
      RebuildActionList(-1);
      return;
    }
    if (sender == commands_[4] && current_ >= 0) {
      const int x = kb::ClampMoveDistance(kb::ReadLeadingInteger(insert_x_->GetText().ToUtf8()));
      const int y = kb::ClampMoveDistance(kb::ReadLeadingInteger(insert_y_->GetText().ToUtf8()));
      if (working_.InsertMouseMove(x, y)) {
        // The list shows the new move selected.
        Commit();
        RebuildActionList(working_.selected());
      }
      return;
    }
  } else if (type == DuiLib::DUI_MSGTYPE_ITEMSELECT) {
    if (sender == list_) SelectMacro(static_cast<int>(msg.wParam));
    if (sender == actions_) {
      working_.Select(static_cast<int>(msg.wParam));
      ShowAction(working_.selected());
    }
    if (sender == mouse_combo_ && working_.selected() >= 0 &&
        IsMouseButton(working_.action(working_.selected()).action_code) &&
        working_.SetMouseButton(static_cast<int>(msg.wParam))) {
      FillRow(actions_->GetItemAt(working_.selected()), working_.action(working_.selected()));
      Commit();
    }
  } else if (type == DuiLib::DUI_MSGTYPE_SELECTCHANGED) {
    for (int i = 0; i < 3; ++i)
      if (sender == delay_options_[i]) recorder_.set_delay_mode(static_cast<kb::DelayMode>(i));
  } else if (type == DuiLib::DUI_MSGTYPE_CHECKCLICK && sender == record_) {
    ToggleRecording();
  } else if (type == DuiLib::DUI_MSGTYPE_MOUSEENTER && sender == record_) {
    // Clicks on the record box itself are not part of the macro.
    if (recorder_.recording() && wiring_.hooks != nullptr && wiring_.hooks->bound())
      wiring_.hooks->enablemousehook(0);
  } else if (type == DuiLib::DUI_MSGTYPE_MOUSELEAVE && sender == record_) {
    if (recorder_.recording() && wiring_.hooks != nullptr && wiring_.hooks->bound())
      wiring_.hooks->enablemousehook(1);
  } else if (type == DuiLib::DUI_MSGTYPE_SETFOCUS && sender == key_field_) {
    StartKeyCapture();
  } else if (type == DuiLib::DUI_MSGTYPE_KILLFOCUS) {
    if (sender == key_field_) StopKeyCapture();
    CommitField(sender);
  } else if (type == DuiLib::DUI_MSGTYPE_TEXTCHANGED &&
             (sender == move_x_ || sender == move_y_ || sender == insert_x_ ||
              sender == insert_y_)) {
    const std::u16string kept = kb::FilterNumberText(sender->GetText().view());
    if (kept != sender->GetText().view()) {
      sender->SetText(CDuiString(kept));
      if (auto* edit = dynamic_cast<DuiLib::CEditUI*>(sender))
        edit->SetSel(static_cast<int>(kept.size()), static_cast<int>(kept.size()));
    }
  }
}

// Every field is corrected in place as it loses the focus; the action fields commit at once.
void CMacroPage::CommitField(DuiLib::CControlUI* field) {
  if (field == nullptr) return;
  const int typed = kb::ReadLeadingInteger(field->GetText().ToUtf8());
  const bool distance =
      field == move_x_ || field == move_y_ || field == insert_x_ || field == insert_y_;
  const bool counted = field == delay_ || field == loop_time_ || field == default_delay_;
  if (!distance && !counted) return;
  const int value = distance ? kb::ClampMoveDistance(typed) : kb::ClampDelayOrLoops(typed);
  if (value != typed) field->SetText(Number(value));
  const int selected = working_.selected();
  if (field == delay_ && selected >= 0) {
    working_.action(selected).delay = static_cast<std::uint16_t>(value);
    FillRow(actions_->GetItemAt(selected), working_.action(selected));
    Commit();
  } else if ((field == move_x_ || field == move_y_) && selected >= 0) {
    (field == move_x_ ? working_.action(selected).x : working_.action(selected).y) = value;
    FillRow(actions_->GetItemAt(selected), working_.action(selected));
    Commit();
  } else if (field == loop_time_) {
    working_.set_loop_time(value);
    Commit();
  }
}

void CMacroPage::SelectMacro(int index) {
  // A recording belongs to the macro it started in.
  if (recorder_.recording()) StopRecording();
  const kb::MacroRecord* macro = nullptr;
  {
    auto edit = data_->Lock();
    if (index >= 0 && index < static_cast<int>(edit.macros().size()))
      macro = edit.macros()[index].get();
  }
  current_ = macro != nullptr ? index : -1;
  working_.Load(macro);
  if (loop_time_ != nullptr) loop_time_->SetText(Number(working_.loop_time()));
  RebuildActionList();
  if (working_.count() == 0) ShowAction(-1);
}

void CMacroPage::FillRow(DuiLib::CControlUI* row, const kb::MacroAction& action) {
  auto* container = dynamic_cast<DuiLib::CContainerUI*>(row);
  if (container == nullptr) return;
  DuiLib::CControlUI* key = container->FindSubControl(u"key");
  DuiLib::CControlUI* what = container->FindSubControl(u"action");
  DuiLib::CControlUI* delay = container->FindSubControl(u"delay");
  if (key == nullptr || what == nullptr || delay == nullptr) return;
  if (action.action_kind == kb::kPressKind || action.action_kind == kb::kReleaseKind) {
    key->SetResourceText(true);
    key->SetText(CDuiString(std::string(kb::KeyNameFromUsage(action.action_code))));
    key->SetBkImage(IsMouseButton(action.action_code) ? images_.mouse : images_.key);
    what->SetResourceText(true);
    what->SetText(action.action_kind == kb::kPressKind ? u"key_down_action" : u"key_up_action");
    what->SetBkImage(images_.press);
  } else if (action.action_kind == kb::kMouseMoveKind) {
    key->SetResourceText(true);
    key->SetText(u"macro_9_text");
    key->SetBkImage(images_.move);
    what->SetResourceText(false);
    CDuiString moved;
    moved.Format(u"X: %d Y: %d", action.x, action.y);
    what->SetText(moved);
    what->SetBkImage(CDuiString());
  } else {
    return;
  }
  delay->SetText(Number(action.delay));
}

// Only the two rows change; the moved action stays selected for the next click.
void CMacroPage::ShowSwap(int from) {
  const int to = working_.selected();
  FillRow(actions_->GetItemAt(from), working_.action(from));
  FillRow(actions_->GetItemAt(to), working_.action(to));
  actions_->SelectItem(to, true);
  actions_->EnsureVisible(to);
  Commit();
}

void CMacroPage::RebuildActionList() { RebuildActionList(working_.RowToSelectAfterRebuild()); }

void CMacroPage::RebuildActionList(int row) {
  if (actions_ == nullptr) return;
  actions_->RemoveAll();
  std::string layout("KB/");
  layout.append(model_.name).append("/macrolistitem.xml");
  for (int i = 0; i < working_.count(); ++i) {
    DuiLib::CDialogBuilder builder;
    DuiLib::CControlUI* item = builder.Create(CDuiString(layout), {}, nullptr, GetManager());
    if (item == nullptr) break;
    item->SetFixedHeight(kActionRowHeight);
    actions_->Add(item);
    FillRow(item, working_.action(i));
  }
  if (row >= 0 && row < working_.count()) {
    actions_->SelectItem(row, true);
    actions_->EnsureVisible(row);
  } else {
    working_.Select(-1);
    ShowAction(-1);
  }
}

void CMacroPage::ShowAction(int index) {
  const auto show = [](DuiLib::CControlUI* c, bool visible) {
    if (c != nullptr) c->SetVisible(visible);
  };
  if (index < 0 || index >= working_.count()) {
    if (key_field_ != nullptr) key_field_->SetText(CDuiString());
    if (delay_ != nullptr) delay_->SetText(CDuiString());
    show(key_row_, false);
    show(delay_row_, false);
    show(move_row_, false);
    if (mouse_combo_ != nullptr) mouse_combo_->SelectItem(0);
    return;
  }
  const kb::MacroAction& action = working_.action(index);
  show(delay_row_, true);
  if (IsMouseButton(action.action_code)) {
    show(key_row_, true);
    show(move_row_, false);
    show(key_field_, false);
    show(mouse_combo_, true);
    if (mouse_combo_ != nullptr)
      mouse_combo_->SelectItem(action.action_code - kb::kFirstMouseButtonCode);
  } else if (action.action_code == kb::kMouseMoveCode) {
    show(key_row_, false);
    show(move_row_, true);
    if (move_x_ != nullptr) move_x_->SetText(Number(action.x));
    if (move_y_ != nullptr) move_y_->SetText(Number(action.y));
  } else {
    show(key_row_, true);
    show(move_row_, false);
    show(key_field_, true);
    show(mouse_combo_, false);
    if (key_field_ != nullptr)
      key_field_->SetText(LanguageText(kb::KeyNameFromUsage(action.action_code)));
  }
  if (delay_ != nullptr) delay_->SetText(Number(action.delay));
}

void CMacroPage::Commit() {
  if (current_ < 0) return;
  {
    auto edit = data_->Lock();
    if (current_ >= static_cast<int>(edit.macros().size())) return;
    working_.CommitTo(*edit.macros()[current_]);
  }
  SaveStores(false);
  ShowMacroMemory();
}

void CMacroPage::AddMacro() {
  kb::MacroList* macros = nullptr;
  bool fits = false;
  {
    auto edit = data_->Lock();
    macros = &edit.macros();
    fits = kb::MacrosFit(macros->size(), 1);
  }
  if (!fits) {
    // A store past the limit is one no reader accepts: the next start would lose every macro.
    CMsgWnd::Warn(wiring_.owner, u"warning_macros_full_text",
                  CMsgWnd::Compose(u"warning_macros_full_text",
                                   {CDuiString(std::to_string(kb::kMaxStoredMacros))}));
    return;
  }
  CNameDialog dialog(model_, *macros);
  dialog.SetMode(CNameDialog::kModeNew);
  std::string text(model_.name);
  text.append("_EditMacroName");
  if (dialog.Run(wiring_.owner, CDuiString(text)) != 1) return;
  if (recorder_.recording()) StopRecording();
  {
    auto edit = data_->Lock();
    auto record = std::make_unique<kb::MacroRecord>();
    record->loop_time = 1;
    kb::StoreFieldText(record->name, dialog.GetName().view());
    edit.macros().push_back(std::move(record));
  }
  SaveStores(false);
  AppendMacroItem(dialog.GetName().view());
}

void CMacroPage::DeleteMacro() {
  const int d = SelectedMacro();
  if (d < 0) return;
  if (CMsgWnd::Show(wiring_.owner, u"warning_1_text", u"warning_3_text") != 1) return;
  if (recorder_.recording()) StopRecording();
  int touched = 0;
  {
    auto edit = data_->Lock();
    if (d >= static_cast<int>(edit.macros().size())) return;
    edit.macros().erase(edit.macros().begin() + d);
    touched = static_cast<int>(
        kb::ReleaseBindingsOfDeletedMacro(edit.profiles(), d, model_.model, edit.current()).size());
  }
  current_ = -1;
  // The list selects the macro now at d (or the new last one), which becomes current.
  list_->RemoveAt(d);
  SaveStores(true);
  if (list_->GetCount() == 0) SelectMacro(-1);
  if (touched > 0 && keys_changed_) keys_changed_(touched);
  ShowMacroMemory();
}

void CMacroPage::RenameMacro() {
  const int index = SelectedMacro();
  if (index < 0 || data_ == nullptr) return;
  kb::MacroList* macros = nullptr;
  std::u16string old_name;
  {
    auto edit = data_->Lock();
    if (index >= static_cast<int>(edit.macros().size())) return;
    macros = &edit.macros();
    old_name = std::u16string(kb::FieldText(edit.macros()[index]->name));
  }
  CNameDialog dialog(model_, *macros);
  dialog.SetMode(CNameDialog::kModeRename);
  dialog.SetName(old_name);
  std::string text(model_.name);
  text.append("_EditMacroName");
  if (dialog.Run(wiring_.owner, CDuiString(text)) != 1) return;
  int touched = 0;
  {
    auto edit = data_->Lock();
    kb::StoreFieldText(edit.macros()[index]->name, dialog.GetName().view());
    touched = static_cast<int>(
        kb::RenameBoundMacro(edit.profiles(), index, dialog.GetName().view(), edit.current())
            .size());
  }
  if (DuiLib::CControlUI* row = list_->GetItemAt(index)) row->SetText(dialog.GetName());
  SaveStores(true);
  if (touched > 0 && keys_changed_) keys_changed_(touched);
}

void CMacroPage::SaveStores(bool profiles_too) {
  bool saved = data_->SaveMacroStore().ok();
  if (profiles_too) saved = data_->SaveProfileStore().ok() && saved;
  if (!saved) CMsgWnd::Show(wiring_.owner, u"warning_1_text", u"warning_store_save_text");
}

void CMacroPage::ShowMacroMemory() {
  if (memory_ == nullptr || data_ == nullptr) return;
  auto edit = data_->Lock();
  const kb::ProfileRecord* profile = edit.current();
  if (profile == nullptr) {
    memory_->SetText(CDuiString());
    return;
  }
  const kb::MacroMemoryUse use = kb::MeasureMacroMemory(*profile, edit.macros());
  // "Keyboard memory:" over "6120 of 10000 bytes" (one line would not fit the column), and
  // what would not fit by name.
  CDuiString text;
  text.Format(u"%s\n%d %s %d %s", LanguageText("macro_memory_text").GetData(),
              static_cast<int>(use.wanted), LanguageText("macro_memory_of_text").GetData(),
              static_cast<int>(use.capacity), LanguageText("macro_memory_bytes_text").GetData());
  memory_->SetText(text);
  if (auto* label = dynamic_cast<DuiLib::CLabelUI*>(memory_))
    label->SetTextColor(use.wanted > use.capacity ? kOverflowColor : kMemoryColor);
  const std::u16string names = kb::LeftOutNames(use, edit.macros());
  edit.Release();
  ShowLeftOut(names);
}

void CMacroPage::ShowLeftOut(const std::u16string& left_out) {
  if (left_out_ == nullptr) return;
  left_out_->SetVisible(!left_out.empty());
  CDuiString text = LanguageText("macro_left_out_text");
  text += u" ";
  text += CDuiString(left_out);
  left_out_->SetText(text);
}

void CMacroPage::SetCapture(int byte, bool on) {
  if (wiring_.capture != nullptr) (*wiring_.capture)[byte] = on ? 1 : 0;
}

void CMacroPage::ToggleRecording() {
  if (recorder_.recording()) {
    StopRecording();
    return;
  }
  if (!kb::MacroRecorder::CanStart(current_ >= 0, working_)) {
    if (record_ != nullptr) record_->SetCheck(false);
    return;
  }
  StartRecording();
}

void CMacroPage::StartRecording() {
  // Said once per run, before the hook listens, so that the box's own OK is not recorded.
  static bool wayland_note_shown = false;
  if (DuiLib::CWindowInputTap::WindowsOnWayland() && !wayland_note_shown) {
    wayland_note_shown = true;
    CMsgWnd::Warn(wiring_.owner, u"macro_wayland_note_text",
                  CMsgWnd::Compose(u"macro_wayland_note_text"));
  }
  recorder_.Start(working_, default_delay_ != nullptr ? default_delay_->GetText().ToUtf8() : "",
                  Now());
  if (record_ != nullptr) {
    record_->SetText(u"macro_11_text");
    record_->SetCheck(true);
  }
  SetCapture(model_.recording_capture_byte, true);
  if (wiring_.hooks != nullptr && wiring_.hooks->bound()) {
    DuiLib::CWindowWnd* owner = DuiLib::CWindowWnd::FromHandle(wiring_.owner);
    if (owner != nullptr) target_ = owner->GetMessageTarget();
    wiring_.hooks->installhook(&target_);
    wiring_.hooks->installmousehook(&target_);
    wiring_.hooks->enablehook(1);
  }
}

void CMacroPage::StopRecording() {
  recorder_.Stop();
  if (record_ != nullptr) {
    record_->SetText(u"macro_10_text");
    record_->SetCheck(false);
  }
  if (wiring_.hooks != nullptr && wiring_.hooks->bound()) {
    wiring_.hooks->removehook();
    wiring_.hooks->removemousehook();
    wiring_.hooks->enablemousehook(0);
    wiring_.hooks->enablehook(0);
  }
  SetCapture(model_.recording_capture_byte, false);
  working_.EndInsert();
  Commit();
}

void CMacroPage::StartKeyCapture() {
  if (recorder_.recording() || capturing_key_) return;
  capturing_key_ = true;
  SetCapture(model_.key_capture_byte, true);
  if (wiring_.hooks != nullptr && wiring_.hooks->bound()) {
    DuiLib::CWindowWnd* owner = DuiLib::CWindowWnd::FromHandle(wiring_.owner);
    if (owner != nullptr) target_ = owner->GetMessageTarget();
    wiring_.hooks->installhook(&target_);
    wiring_.hooks->enablehook(1);
  }
}

void CMacroPage::StopKeyCapture() {
  if (!capturing_key_) return;
  capturing_key_ = false;
  if (wiring_.hooks != nullptr && wiring_.hooks->bound() && !recorder_.recording()) {
    wiring_.hooks->removehook();
    wiring_.hooks->enablehook(0);
  }
  SetCapture(model_.key_capture_byte, false);
}

void CMacroPage::OnHookEvent(DuiLib::UINT /*message*/, DuiLib::WPARAM wParam,
                             DuiLib::LPARAM lParam) {
  if (!recorder_.recording() && !capturing_key_) return;
  std::uint8_t captured = 0;
  const auto outcome = recorder_.OnHookEvent(working_, static_cast<std::uint32_t>(wParam),
                                             static_cast<std::intptr_t>(lParam), Now(), &captured);
  using Outcome = kb::MacroRecorder::Outcome;
  if (outcome == Outcome::Recorded || outcome == Outcome::Full) {
    // The last recorded action, also when the recording went into the middle and just ended.
    const int row = working_.RowToSelectAfterRebuild();
    if (outcome == Outcome::Full) StopRecording();
    RebuildActionList(row);
  } else if (outcome == Outcome::Captured && working_.selected() >= 0) {
    const int selected = working_.selected();
    working_.action(selected).action_code = captured;
    if (key_field_ != nullptr) key_field_->SetText(LanguageText(kb::KeyNameFromUsage(captured)));
    FillRow(actions_->GetItemAt(selected), working_.action(selected));
    Commit();
  }
}
