// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/login_autostart.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "common/test_folders.h"

namespace kb {
namespace {

class LoginAutostart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    setenv("XDG_CONFIG_HOME", (folder_.path() / "config").c_str(), 1);
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
  testing::TempFolder folder_{"autostart"};
};

TEST_F(LoginAutostart, TheEntryIsTheSettingAndValidates) {
  const std::filesystem::path entry = folder_.path() / "config/autostart/kbconfig.desktop";
  EXPECT_EQ(AutostartEntryPath(), entry);
  EXPECT_FALSE(StartsAtLogin());
  ASSERT_TRUE(SetStartsAtLogin(true, "/opt/my tools/kbconfig").ok());
  EXPECT_TRUE(StartsAtLogin());
  std::ifstream in(entry);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Exec=\"/opt/my tools/kbconfig\" --login\n"), std::string::npos)
      << text.str();
  if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
    EXPECT_EQ(std::system(("desktop-file-validate '" + entry.string() + "'").c_str()), 0);
  }
  ASSERT_TRUE(SetStartsAtLogin(false, "").ok());
  EXPECT_FALSE(StartsAtLogin());
  EXPECT_TRUE(SetStartsAtLogin(false, "").ok()) << "removing what is gone is no error";
}

// A path with what the format treats specially: '%' starts a field code, a backslash is
// unescaped twice (once as a string, once inside the quotes).
TEST_F(LoginAutostart, ThePathReadsBackAsItIs) {
  ASSERT_TRUE(SetStartsAtLogin(true, "/opt/100%done/a\\b \"c\"/kbconfig").ok());
  std::ifstream in(AutostartEntryPath());
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Exec=\"/opt/100%%done/a\\\\\\\\b \\\\\"c\\\\\"/kbconfig\" --login\n"),
            std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("TryExec=/opt/100%done/a\\\\b \"c\"/kbconfig\n"), std::string::npos)
      << text.str();
}

TEST_F(LoginAutostart, WithoutXdgConfigHomeTheHomeFolderServes) {
  unsetenv("XDG_CONFIG_HOME");
  const char* home = getenv("HOME");
  if (home == nullptr || *home != '/') GTEST_SKIP() << "no HOME";
  EXPECT_EQ(AutostartEntryPath(),
            std::filesystem::path(home) / ".config/autostart/kbconfig.desktop");
  setenv("XDG_CONFIG_HOME", "relative/path", 1);
  EXPECT_EQ(AutostartEntryPath(),
            std::filesystem::path(home) / ".config/autostart/kbconfig.desktop");
}

}  // namespace
}  // namespace kb
