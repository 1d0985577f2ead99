#include "keys/gui/key_custom_page.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/utf16_text.h"
#include "keys/gui/key_plate.h"
#include "keys/key_caption.h"
#include "keys/key_picture.h"
#include "profile/profile_record.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

using DuiLib::CDuiString;

namespace {

// Captions longer than this take the smaller key font: on a one-unit cap from four letters on
// ("Home", "Down"), on wider caps up to two units from six.
constexpr int kLongCaptionOneUnit = 3;
constexpr int kLongCaption = 5;

CDuiString Text(std::string_view key) {
  return DuiLib::CResourceManager::GetInstance()->GetText(CDuiString(std::string(key)));
}

// The shown label of an assignment, resolved to text.
CDuiString CaptionText(const kb::KeyEntry& entry) {
  const kb::KeyCode code = kb::ReadKeyCode(entry.code);
  const kb::KeyCaption caption = kb::KeyCaptionOf(entry.kind, code);
  switch (caption.form) {
    case kb::CaptionForm::Text:
      return Text(caption.text_key);
    case kb::CaptionForm::Macro:
      return CDuiString(kb::FieldText(entry.macro_name));
    case kb::CaptionForm::Shortcut: {
      CDuiString text;
      for (int bit = 0; bit < 4; ++bit)
        if (entry.kind_param & (1u << bit)) text += Text(kb::kShortcutModifierKeys[bit]) + u"+";
      return text + Text(caption.text_key);
    }
  }
  return {};
}

void ShowEntry(DuiLib::CButtonUI* button, const kb::KeyEntry& entry, kb::KeyHighlight highlight) {
  if (button == nullptr) return;
  const CDuiString caption = CaptionText(entry);
  button->SetText(caption);
  // A long name fits its cap in the smaller font (a wide key has room for the normal one).
  const int width = button->GetFixedWidth();
  const int longest = width < 5 * kb::kPixelsPerQuarter       ? kLongCaptionOneUnit
                      : width < 2 * kb::kPixelsPerQuarter * 4 ? kLongCaption
                                                              : 1 << 20;
  button->SetFont(caption.GetLength() > longest ? u"keycap_small" : u"small");
  button->SetBkImage(CDuiString(std::string(kb::HighlightImage(highlight))));
  button->SetAccessibleName(caption);
  button->SetAccessibleDescription(highlight == kb::KeyHighlight::None ? CDuiString()
                                                                       : Text("key_changed_text"));
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
  if (!IsVisible() || data_ == nullptr || msg.sType != DuiLib::DUI_MSGTYPE_CLICK) return;
  for (int k = 0; k < kb::kLayoutKeys; ++k)
    if (msg.pSender != nullptr && msg.pSender == keys_[k]) {
      selected_key_ = k;
      selected_fn_slot_ = -1;
      return;
    }
  for (int j = 0; j < kb::kLayoutFnSlots; ++j)
    if (msg.pSender != nullptr && msg.pSender == fn_keys_[j]) {
      selected_fn_slot_ = j;
      selected_key_ = -1;
      return;
    }
}

void CKeyCustomPage::RefreshKeyHighlights() {
  if (data_ == nullptr) return;
  auto edit = data_->Lock();
  const kb::ProfileRecord* profile = edit.current();
  if (profile == nullptr) return;
  const kb::ProfileBank& bank = kb::ActiveBank(*profile);
  for (int k = 0; k < kb::kLayoutKeys; ++k) {
    const kb::KeyEntry& entry = kb::KeyAt(bank, k);
    ShowEntry(keys_[k], entry, kb::KeyHighlightOf(model_.model, k, kb::ReadKeyCode(entry.code)));
  }
  for (int j = 0; j < kb::kLayoutFnSlots; ++j) {
    const kb::KeyEntry& entry = kb::FnKeyAt(bank, j);
    ShowEntry(fn_keys_[j], entry,
              kb::FnSlotHighlightOf(model_.model, j, kb::ReadKeyCode(entry.code)));
  }
}

void CKeyCustomPage::ApplyKeyCommand(const CDuiString& /*item_name*/) {}
