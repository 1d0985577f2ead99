#include "common/app_directory.h"

#include <gtest/gtest.h>
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

}  // namespace
}  // namespace kb
