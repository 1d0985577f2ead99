#include "app/no_keyboard_page.h"

#include "common/udev_rule_location.h"
#include "ui/control.h"
#include "ui/resource_manager.h"

namespace kb::app {
namespace {

using DuiLib::CDuiString;

// The skin's text for `key`, shown as it is (not looked up again at paint).
void SetWords(DuiLib::CControlUI* control, const char16_t* key, std::u16string_view placeholder,
              const std::string& value) {
  if (control == nullptr) return;
  CDuiString text = DuiLib::CResourceManager::GetInstance()->GetText(key);
  if (!placeholder.empty()) text.Replace(placeholder, std::u16string_view(CDuiString(value)));
  control->SetResourceText(false);
  control->SetText(text);
}

// Back to the skin's own words, looked up at paint as the layout names them.
void SetKey(DuiLib::CControlUI* control, const char16_t* key) {
  if (control == nullptr) return;
  control->SetResourceText(true);
  control->SetText(key);
}

}  // namespace

void ShowNoKeyboardReason(DuiLib::CPaintManagerUI& pm, const DeviceAccess& access) {
  DuiLib::CControlUI* title = pm.FindControl(u"label_no_keyboard");
  DuiLib::CControlUI* hint = pm.FindControl(u"text_no_keyboard_hint");
  DuiLib::CControlUI* rule = pm.FindControl(u"label_no_keyboard_rule");
  if (access.state == DeviceAccess::State::NotPermitted) {
    SetWords(title, u"no_keyboard_denied_title_text", u"", "");
    SetWords(hint, u"no_keyboard_denied_hint_text", u"{node}", access.node);
    SetWords(rule, u"no_keyboard_denied_rule_text", u"{rule}", UdevRuleLocation());
    return;
  }
  SetKey(title, u"no_keyboard_title_text");
  SetKey(hint, u"no_keyboard_hint_text");
  SetKey(rule, u"no_keyboard_rule_text");
}

}  // namespace kb::app
