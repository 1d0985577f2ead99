// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_tabs.h"

#include <string>

using DuiLib::CDuiString;

namespace {

// True when the first n characters agree, n the shorter length (case-sensitive).
bool PrefixMatches(const CDuiString& name, const std::string& prefix) {
  const std::u16string_view text = name;
  const std::size_t n = std::min(text.size(), prefix.size());
  for (std::size_t i = 0; i < n; ++i)
    if (text[i] != static_cast<char16_t>(prefix[i])) return false;
  return true;
}

}  // namespace

CKB::CKB() {
  AddHandler(DuiLib::DUI_MSGTYPE_SELECTCHANGED, u"",
             [this](DuiLib::TNotifyUI& msg) { OnSelectChanged(msg); });
}

void CKB::Init(DuiLib::CPaintManagerUI* pm) {
  pm_ = pm;
  tabs_ = dynamic_cast<DuiLib::CTabLayoutUI*>(pm->FindControl(u"tab_device_kb"));
  row_ = pm->FindControl(u"hor_device_kb");
  for (const kb::ModelInfo* info : kb::kModels) {
    const int m = static_cast<int>(info->model);
    const std::string id(info->id);
    options_[m] = dynamic_cast<DuiLib::COptionUI*>(pm->FindControl(CDuiString("option_" + id)));
    pages_[m] = dynamic_cast<CDevicePage*>(pm->FindControl(CDuiString(id)));
  }
}

void CKB::OnSelectChanged(DuiLib::TNotifyUI& msg) {
  if (tabs_ == nullptr) return;
  for (const kb::ModelInfo* info : kb::kModels)
    if (msg.pSender != nullptr && msg.pSender == options_[static_cast<int>(info->model)])
      tabs_->SelectItem(info->device_tab);
}

CDevicePage* CKB::linked_page() const {
  for (const kb::ModelInfo* info : kb::kModels)
    if (info->has_device_link) return pages_[static_cast<int>(info->model)];
  return nullptr;
}

void CKB::OnMenuCommand(const CDuiString& name) {
  for (const kb::ModelInfo* info : kb::kModels) {
    const int m = static_cast<int>(info->model);
    if (pages_[m] != nullptr && PrefixMatches(name, std::string(info->id) + "_")) {
      pages_[m]->OnMenuCommand(name);
      return;
    }
  }
}
