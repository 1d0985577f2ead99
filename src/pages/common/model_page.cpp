// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/common/model_page.h"

#include "ui/dialog_builder.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

using DuiLib::CDuiString;

CModelPage::CModelPage(const kb::ModelInfo& model, std::string_view kind, std::string_view layout)
    : model_(model), kind_(kind), layout_(layout) {}

CModelPage::~CModelPage() {
  if (GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

CDuiString CModelPage::GetClass() const {
  std::string name(model_.name);
  name.append("_").append(kind_).append("UI");
  return CDuiString(name);
}

void* CModelPage::GetInterface(const CDuiString& name) {
  std::string own(model_.name);
  if (!kind_.empty()) own.append("_").append(kind_);
  if (name == CDuiString(own)) return this;
  return CContainerUI::GetInterface(name);
}

void CModelPage::SetVisible(bool visible) {
  if (visible && GetManager() != nullptr) BuildOnce();
  CContainerUI::SetVisible(visible);
}

void CModelPage::BuildOnce() {
  if (built_) return;
  built_ = true;
  Build();
}

bool CModelPage::BuildLayout() {
  std::string path("KB/");
  path.append(model_.name).append("/").append(layout_);
  DuiLib::CDialogBuilder builder;
  DuiLib::CControlUI* root = builder.Create(CDuiString(path), {}, nullptr, GetManager());
  if (root == nullptr) {
    RemoveAll();
    return false;
  }
  Add(root);
  GetManager()->AddNotifier(this);
  return true;
}

DuiLib::CControlUI* CModelPage::FindNamed(std::string_view kind, std::string_view what) const {
  std::string name(kind);
  name.append("_").append(model_.id).append("_").append(what);
  return GetManager()->FindControl(CDuiString(name));
}

void CModelPage::OpenMenuBelow(DuiLib::CControlUI* anchor, std::string_view file,
                               DuiLib::HWND owner, DuiLib::HWND* open) {
  // One menu at a time.
  if (auto* previous = DuiLib::CWindowWnd::FromHandle(*open)) previous->Close();
  *open = nullptr;
  DuiLib::CWindowWnd* window = DuiLib::CWindowWnd::FromHandle(owner);
  const DuiLib::RECT frame = window != nullptr ? window->GetWindowRect() : DuiLib::RECT{};
  const DuiLib::RECT at = anchor->GetPos();
  std::string path("KB/");
  path.append(model_.name).append("/").append(file);
  DuiLib::CMenuWnd* menu = DuiLib::CMenuWnd::CreateMenu(
      CDuiString(path), DuiLib::POINT{frame.left + at.left, frame.top + at.bottom}, GetManager(),
      DuiLib::eMenuAlignment_Left | DuiLib::eMenuAlignment_Top);
  *open = menu != nullptr ? menu->GetHWND() : nullptr;
}
