// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/no_keyboard_page.h"

#include "ui/control.h"
#include "ui/resource_manager.h"

namespace kb::app {
namespace {

using DuiLib::CDuiString;

// `text` shown as it is (not looked up again at paint).
void SetShown(DuiLib::CControlUI* control, const CDuiString& text) {
  if (control == nullptr) return;
  control->SetResourceText(false);
  control->SetText(text);
}

// The skin's text for `key` with "{node}" and "{rule}" filled in.
CDuiString Words(const char16_t* key, const std::string& node, const std::string& rule) {
  CDuiString text = DuiLib::CResourceManager::GetInstance()->GetText(key);
  text.Replace(u"{node}", std::u16string_view(CDuiString(node)));
  text.Replace(u"{rule}", std::u16string_view(CDuiString(rule)));
  return text;
}

// Back to the skin's own words, looked up at paint as the layout names them.
void SetKey(DuiLib::CControlUI* control, const char16_t* key) {
  if (control == nullptr) return;
  control->SetResourceText(true);
  control->SetText(key);
}

}  // namespace

void ShowNoKeyboardReason(DuiLib::CPaintManagerUI& pm, const DeviceAccess& access,
                          const UdevRuleFix& fix) {
  DuiLib::CControlUI* title = pm.FindControl(u"label_no_keyboard");
  DuiLib::CControlUI* hint = pm.FindControl(u"text_no_keyboard_hint");
  DuiLib::CControlUI* rule = pm.FindControl(u"label_no_keyboard_rule");
  if (access.state == DeviceAccess::State::NotPermitted) {
    SetShown(title, Words(u"no_keyboard_denied_title_text", "", ""));
    SetShown(hint, Words(fix.installed_rule.empty() ? u"no_keyboard_denied_hint_text"
                                                    : u"no_keyboard_denied_installed_hint_text",
                         access.node, fix.installed_rule.string()));
    SetShown(rule, CDuiString(fix.command));
    return;
  }
  SetKey(title, u"no_keyboard_title_text");
  SetKey(hint, u"no_keyboard_hint_text");
  SetKey(rule, u"no_keyboard_rule_text");
}

}  // namespace kb::app
