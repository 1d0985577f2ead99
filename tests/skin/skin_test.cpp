// SPDX-License-Identifier: GPL-3.0-or-later
// The skin files of the shell: the theme loads, the dialogs' layouts build without a problem,
// and every image they name exists under res/.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "ui/control.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/theme.h"

namespace kb::testing {
namespace {

const std::filesystem::path kRes = KB_SOURCE_RES_DIR;

const char* const kShellFiles[] = {
    "theme.xml",
    "msg.xml",
    "KB/KB_3/editconfigname.xml",
    "KB/KB_4/editconfigname.xml",
    "KB/KB_3/editmacroname.xml",
    "KB/KB_4/editmacroname.xml",
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DuiLib::CPaintManagerUI::SetResourcePath(DuiLib::CDuiString(kRes.string() + "/"));
  }
};

TEST_F(SkinTest, TheThemeLoadsWithItsFontsAndColours) {
  const kb::Status loaded = DuiLib::CResourceManager::GetInstance()->LoadTheme(u"theme.xml");
  ASSERT_TRUE(loaded.ok()) << loaded.reason();
  const DuiLib::CTheme& theme = DuiLib::CTheme::Global();
  EXPECT_EQ(theme.DefaultFontId(), u"default");
  for (const char16_t* font : {u"default", u"bold", u"title", u"small"})
    EXPECT_NE(theme.FindFont(font), nullptr) << DuiLib::CDuiString(font).ToUtf8();
  for (const char16_t* colour :
       {u"window", u"panel", u"text", u"text_dim", u"accent", u"border", u"field"}) {
    DuiLib::DWORD argb = 0;
    EXPECT_TRUE(theme.FindColor(colour, argb)) << DuiLib::CDuiString(colour).ToUtf8();
    EXPECT_EQ(argb >> 24, 0xFFu) << DuiLib::CDuiString(colour).ToUtf8() << " should be opaque";
  }
}

class LayoutTest : public SkinTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LayoutTest, BuildsWithoutAProblem) {
  ASSERT_TRUE(DuiLib::CResourceManager::GetInstance()->LoadTheme(u"theme.xml").ok());
  DuiLib::CPaintManagerUI manager;
  manager.Init(nullptr);
  DuiLib::CDialogBuilder builder;
  DuiLib::CControlUI* root = builder.Create(DuiLib::CDuiString(GetParam()), {}, nullptr, &manager);
  ASSERT_NE(root, nullptr) << builder.GetLastStatus().reason();
  EXPECT_TRUE(builder.GetLastStatus().ok()) << builder.GetLastStatus().reason();
  ASSERT_TRUE(manager.AttachDialog(root));
  EXPECT_GT(manager.GetInitSize().cx, 0);
  EXPECT_LE(manager.GetInitSize().cx, 800);
  EXPECT_LE(manager.GetInitSize().cy, 572);
}

INSTANTIATE_TEST_SUITE_P(Shell, LayoutTest,
                         ::testing::ValuesIn(kShellFiles + 1, std::end(kShellFiles)));

class ImageReferenceTest : public SkinTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ImageReferenceTest, EveryNamedImageExists) {
  const std::string text = Slurp(kRes / GetParam());
  ASSERT_FALSE(text.empty());
  const std::regex image(R"(skins/[A-Za-z0-9_./-]+\.png)");
  int count = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), image);
       it != std::sregex_iterator(); ++it) {
    ++count;
    EXPECT_TRUE(std::filesystem::is_regular_file(kRes / it->str()))
        << it->str() << " named in " << GetParam();
  }
  EXPECT_GT(count, 0);
}

INSTANTIATE_TEST_SUITE_P(Shell, ImageReferenceTest, ::testing::ValuesIn(kShellFiles));

TEST_F(SkinTest, TheTwinLayoutsOfOneKindAreAlike) {
  EXPECT_EQ(Slurp(kRes / "KB/KB_3/editconfigname.xml"), Slurp(kRes / "KB/KB_4/editconfigname.xml"));
  EXPECT_EQ(Slurp(kRes / "KB/KB_3/editmacroname.xml"), Slurp(kRes / "KB/KB_4/editmacroname.xml"));
}

}  // namespace
}  // namespace kb::testing
