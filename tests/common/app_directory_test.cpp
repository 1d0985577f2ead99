// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/app_directory.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "common/test_folders.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(AppDirectoryTest, ExecutableDirectoryIsTheTestBinarysFolderWithASlash) {
  const fs::path dir = ExecutableDirectory();
  const std::string text = dir.string();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '/');
  EXPECT_TRUE(fs::exists(dir / "app_directory_test"));
}

TEST(AppDirectoryTest, WritableApplicationDirectoryKeepsItsData) {
  testing::TempFolder app("app_dir");
  ASSERT_TRUE(app.ok());
  const AppPaths paths = ResolveAppPaths(app.path() / "");
  EXPECT_EQ(paths.app_dir, app.path() / "");
  EXPECT_EQ(paths.data_root, app.path() / "");
  EXPECT_EQ(paths.Data("Data/kb/kb_3/data.pros"), app.path() / "Data/kb/kb_3/data.pros");
  EXPECT_EQ(paths.Resource("text.xml"), app.path() / "res" / "text.xml");
}

TEST(AppDirectoryTest, ReadOnlyApplicationDirectoryMovesDataToTheUsersDataFolder) {
  testing::TempFolder app("app_dir");
  testing::TempFolder home("home");
  ASSERT_TRUE(app.ok() && home.ok());
  const fs::path xdg = home.path() / "xdg";
  ScopedEnv xdg_env("XDG_DATA_HOME", xdg.c_str());
  testing::UnwritableFolder unwritable(app.path());
  ASSERT_TRUE(unwritable.active()) << "cannot make a folder unwritable: run as an ordinary user";
  const AppPaths paths = ResolveAppPaths(app.path() / "");
  EXPECT_EQ(paths.app_dir, app.path() / "");  // the skin and libraries stay where they are
  EXPECT_EQ(paths.data_root, xdg / "kbconfig" / "");
}

TEST(AppDirectoryTest, RelativeXdgDataHomeFallsBackToHome) {
  testing::TempFolder app("app_dir");
  testing::TempFolder home("home");
  ASSERT_TRUE(app.ok() && home.ok());
  ScopedEnv xdg_env("XDG_DATA_HOME", "relative/share");
  ScopedEnv home_env("HOME", home.path().c_str());
  testing::UnwritableFolder unwritable(app.path());
  ASSERT_TRUE(unwritable.active()) << "cannot make a folder unwritable: run as an ordinary user";
  const AppPaths paths = ResolveAppPaths(app.path() / "");
  EXPECT_EQ(paths.data_root, home.path() / ".local" / "share" / "kbconfig" / "");
}

TEST(AppDirectoryTest, WritableDataFolderInAReadOnlyDirectoryStays) {
  testing::TempFolder app("app_dir");
  ASSERT_TRUE(app.ok());
  fs::create_directories(app.path() / "Data");
  testing::UnwritableFolder unwritable(app.path());
  ASSERT_TRUE(unwritable.active()) << "cannot make a folder unwritable: run as an ordinary user";
  const AppPaths paths = ResolveAppPaths(app.path() / "");
  EXPECT_EQ(paths.data_root, app.path() / "");
}

// An installed tree as a package lays it out: PREFIX/lib/kbconfig/ and PREFIX/share/kbconfig/res/.
class InstalledTree {
 public:
  InstalledTree() : prefix_("prefix") {
    if (!prefix_.ok()) return;
    fs::create_directories(prefix_.path() / "lib/kbconfig");
    fs::create_directories(prefix_.path() / "share/kbconfig/res");
  }
  bool ok() const { return prefix_.ok(); }
  fs::path prefix() const { return prefix_.path(); }
  fs::path app_dir() const { return prefix_.path() / "lib/kbconfig" / ""; }

 private:
  testing::TempFolder prefix_;
};

TEST(AppDirectoryTest, InstalledLayoutKeepsTheDataInTheUsersFolderEvenWhereItCouldWrite) {
  InstalledTree tree;
  testing::TempFolder home("home");
  ASSERT_TRUE(tree.ok() && home.ok());
  ScopedEnv xdg_env("XDG_DATA_HOME", (home.path() / "xdg").c_str());
  ASSERT_EQ(::access(tree.app_dir().c_str(), W_OK), 0);  // as for root in /usr/lib/kbconfig

  const AppPaths paths = ResolveAppPaths(tree.app_dir());
  EXPECT_EQ(paths.layout, AppLayout::kInstalled);
  EXPECT_EQ(paths.app_dir, tree.app_dir());
  EXPECT_EQ(paths.data_root, home.path() / "xdg" / "kbconfig" / "");
  EXPECT_EQ(paths.SkinDirectory(), tree.prefix() / "share/kbconfig/res" / "");
  EXPECT_EQ(paths.Resource("text.xml"), tree.prefix() / "share/kbconfig/res/text.xml");
  EXPECT_EQ(InstalledUdevRule(paths), tree.prefix() / "lib/udev/rules.d/70-kbconfig.rules");
}

TEST(AppDirectoryTest, AFolderWithItsOwnSkinIsPortableWhereverItLies) {
  InstalledTree tree;
  ASSERT_TRUE(tree.ok());
  fs::create_directories(tree.app_dir() / "res");
  const AppPaths paths = ResolveAppPaths(tree.app_dir());
  EXPECT_EQ(paths.layout, AppLayout::kPortable);
  EXPECT_EQ(paths.data_root, tree.app_dir());
  EXPECT_EQ(paths.SkinDirectory(), tree.app_dir() / "res" / "");
  EXPECT_TRUE(InstalledUdevRule(paths).empty());
}

TEST(AppDirectoryTest, WithoutXdgDataHomeOrHomeTheAccountsHomeIsTaken) {
  ScopedEnv xdg_env("XDG_DATA_HOME", nullptr);
  ScopedEnv home_env("HOME", nullptr);
  const passwd* account = ::getpwuid(::geteuid());
  if (!account || !account->pw_dir || *account->pw_dir != '/')
    GTEST_SKIP() << "this user has no account entry with a home folder";
  EXPECT_EQ(UserDataRoot(), fs::path(account->pw_dir) / ".local/share/kbconfig" / "");
}

TEST(AppDirectoryTest, RootNeverTakesAnotherUsersDataFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can be handed another user's folder";
  const passwd* account = ::getpwuid(0);
  ASSERT_TRUE(account && account->pw_dir);
  testing::TempFolder home("home");
  ASSERT_TRUE(home.ok());
  // What `sudo -E` hands over: the caller's XDG_DATA_HOME, in the caller's home.
  const fs::path share = home.path() / ".local/share";
  fs::create_directories(share);
  auto give_to = [&](uid_t user) {
    for (const fs::path& p : {home.path(), home.path() / ".local", share})
      ASSERT_EQ(::chown(p.c_str(), user, user), 0) << p;
  };
  give_to(65534);
  ScopedEnv xdg_env("XDG_DATA_HOME", share.c_str());
  ScopedEnv home_env("HOME", home.path().c_str());
  EXPECT_EQ(UserDataRoot(), fs::path(account->pw_dir) / ".local/share/kbconfig" / "");

  // Root's own folder named by the same variable is taken.
  give_to(0);
  EXPECT_EQ(UserDataRoot(), share / "kbconfig" / "");
}

}  // namespace
}  // namespace kb
