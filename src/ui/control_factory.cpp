// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/button.h"
#include "ui/container.h"
#include "ui/dialog_builder.h"
#include "ui/edit.h"
#include "ui/internal/builtin_controls.h"
#include "ui/label.h"

namespace DuiLib {

CControlFactory* CControlFactory::GetInstance() {
  static CControlFactory* factory = new CControlFactory;
  return factory;
}

CControlFactory::CControlFactory() {
  builtin_[u"Control"] = [] { return new CControlUI; };
  builtin_[u"Container"] = [] { return new CContainerUI; };
  builtin_[u"VerticalLayout"] = [] { return new CVerticalLayoutUI; };
  builtin_[u"HorizontalLayout"] = [] { return new CHorizontalLayoutUI; };
  builtin_[u"TabLayout"] = [] { return new CTabLayoutUI; };
  builtin_[u"Label"] = [] { return new CLabelUI; };
  builtin_[u"Text"] = [] { return new CTextUI; };
  builtin_[u"Button"] = [] { return new CButtonUI; };
  builtin_[u"Option"] = [] { return new COptionUI; };
  builtin_[u"CheckBox"] = [] { return new CCheckBoxUI; };
  builtin_[u"Edit"] = [] { return new CEditUI; };
  internal::RegisterMoreBuiltins(builtin_);
}

void CControlFactory::RegistControl(const CDuiString& element_class, Creator creator) {
  registered_[element_class] = std::move(creator);
}

CControlUI* CControlFactory::CreateControl(const CDuiString& element_class) const {
  if (auto it = registered_.find(element_class); it != registered_.end()) return it->second();
  if (auto it = builtin_.find(element_class); it != builtin_.end()) return it->second();
  return nullptr;
}

bool CControlFactory::IsKnown(const CDuiString& element_class) const {
  return registered_.count(element_class) || builtin_.count(element_class);
}

}  // namespace DuiLib
