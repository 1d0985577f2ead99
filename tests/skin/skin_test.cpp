// SPDX-License-Identifier: GPL-3.0-or-later
// The skin files of the shell: the theme loads, the dialogs' layouts build without a problem,
// and every image they name exists under res/.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

// Every image name "skins/<path characters>.png" in `text`, as a layout's attribute values hold
// them. A plain scan: <regex> trips a false -Wmaybe-uninitialized inside std::function in GCC 12
// at -O1 with the sanitizers, and warnings are errors.
std::vector<std::string> ImageNames(const std::string& text) {
  constexpr std::string_view kPrefix = "skins/";
  constexpr std::string_view kSuffix = ".png";
  constexpr std::string_view kPathCharacters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_./-";
  std::vector<std::string> names;
  std::size_t at = text.find(kPrefix);
  while (at != std::string::npos) {
    const std::size_t end = text.find_first_not_of(kPathCharacters, at + kPrefix.size());
    const std::string run = text.substr(at, end == std::string::npos ? end : end - at);
    const std::size_t suffix = run.rfind(kSuffix);
    if (suffix != std::string::npos && suffix > kPrefix.size()) {
      names.push_back(run.substr(0, suffix + kSuffix.size()));
      at += names.back().size();
    } else {
      at += kPrefix.size();
    }
    at = text.find(kPrefix, at);
  }
  return names;
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
  const std::vector<std::string> names = ImageNames(text);
  for (const std::string& name : names)
    EXPECT_TRUE(std::filesystem::is_regular_file(kRes / name))
        << name << " named in " << GetParam();
  EXPECT_FALSE(names.empty());
}

INSTANTIATE_TEST_SUITE_P(Shell, ImageReferenceTest, ::testing::ValuesIn(kShellFiles));

TEST_F(SkinTest, TheTwinLayoutsOfOneKindAreAlike) {
  EXPECT_EQ(Slurp(kRes / "KB/KB_3/editconfigname.xml"), Slurp(kRes / "KB/KB_4/editconfigname.xml"));
  EXPECT_EQ(Slurp(kRes / "KB/KB_3/editmacroname.xml"), Slurp(kRes / "KB/KB_4/editmacroname.xml"));
}

}  // namespace
}  // namespace kb::testing
