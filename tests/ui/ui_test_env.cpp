// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui_test_env.h"

#include <gtest/gtest.h>

#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace kbtest {

void UseTestSkin() {
  DuiLib::CPaintManagerUI::SetResourcePath(KB_UI_TEST_DATA);
  auto st = DuiLib::CResourceManager::GetInstance()->LoadLanguage(u"text.xml");
  ASSERT_TRUE(st.ok()) << st.reason();
}

}  // namespace kbtest
