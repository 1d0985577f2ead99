#include "keys/gui/key_custom_page.h"

#include <algorithm>
#include <optional>
#include <string>

#include "common/utf16_text.h"
#include "keys/key_caption.h"
#include "keys/key_picture.h"
#include "profile/profile_record.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

using DuiLib::CDuiString;

namespace {

constexpr int kPixelsPerQuarter = 8;   // a standard key is 32 px wide
constexpr int kPixelsPerQuarterY = 9;  // and a little taller, as a key cap looks from above
// Captions longer than this take the smaller key font: on a one-unit cap from four letters on
// ("Home", "Down"), on wider caps up to two units from six.
constexpr int kLongCaptionOneUnit = 3;
constexpr int kLongCaption = 5;
constexpr int kKeyGap = 2;       // px between neighbouring caps
constexpr int kPlateInset = 14;  // px of plate around the keys

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
  const int longest = width < 5 * kPixelsPerQuarter       ? kLongCaptionOneUnit
                      : width < 2 * kPixelsPerQuarter * 4 ? kLongCaption
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
  const int plate_width = plate_ != nullptr ? plate_->GetFixedWidth() : 0;
  const int left = std::max(kPlateInset, (plate_width - picture.width * kPixelsPerQuarter) / 2);
  const auto place = [&](DuiLib::CButtonUI* button, const std::optional<kb::KeyRect>& rect) {
    if (button == nullptr) return;
    button->SetVisible(rect.has_value());
    if (!rect) return;
    const int x = left + rect->x * kPixelsPerQuarter;
    const int y = kPlateInset + rect->y * kPixelsPerQuarterY;
    CDuiString pos;
    pos.Format(u"%d,%d,%d,%d", x, y, x + rect->width * kPixelsPerQuarter - kKeyGap,
               y + rect->height * kPixelsPerQuarterY - kKeyGap);
    button->SetFloat(true);
    button->SetAttribute(u"pos", pos);
  };
  for (int k = 0; k < kb::kLayoutKeys; ++k) place(keys_[k], picture.keys[k]);
  for (int j = 0; j < kb::kLayoutFnSlots; ++j) place(fn_keys_[j], picture.fn_slots[j]);
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
