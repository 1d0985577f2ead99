// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_startup.h"

#include "pages/keys/key_custom_page.h"
#include "pages/lighting/light_page.h"
#include "pages/macro/macro_page.h"
#include "profile/store_paths.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace kb::app {

void SetUpSkin(const DuiLib::CDuiString& res_dir) {
  DuiLib::CPaintManagerUI::SetResourcePath(res_dir);
  (void)DuiLib::CResourceManager::GetInstance()->LoadTheme(u"theme.xml");
  (void)DuiLib::CResourceManager::GetInstance()->LoadLanguage(u"text.xml");
}

void RegisterPageClasses() {
  auto* factory = DuiLib::CControlFactory::GetInstance();
  factory->RegistControl(u"CKB_3_CustomUI", [] { return new CKB_3_CustomUI; });
  factory->RegistControl(u"CKB_3_LightUI", [] { return new CKB_3_LightUI; });
  factory->RegistControl(u"CKB_3_MacroUI", [] { return new CKB_3_MacroUI; });
  factory->RegistControl(u"CKB_4_CustomUI", [] { return new CKB_4_CustomUI; });
  factory->RegistControl(u"CKB_4_LightUI", [] { return new CKB_4_LightUI; });
  factory->RegistControl(u"CKB_4_MacroUI", [] { return new CKB_4_MacroUI; });
  // The keys of the keyboard pictures: buttons with a look of their own in the theme.
  factory->RegistControl(u"KeyCap", [] { return new DuiLib::CButtonUI; });
  factory->RegistControl(u"LightKeyCap", [] { return new DuiLib::CButtonUI; });
}

Status HoldStores(const AppPaths& paths, std::vector<StoreLock>* locks) {
  for (const ModelInfo* info : kModels) {
    if (!info->has_device_link) continue;  // only started models
    StoreLock lock;
    const Status held = StoreLock::HoldForProgram(StorePathsOf(info->model, paths), &lock);
    if (!held.ok()) return held;
    locks->push_back(std::move(lock));
  }
  return Status::Ok();
}

}  // namespace kb::app
