#include "keys/gui/model_page.h"

#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"

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
