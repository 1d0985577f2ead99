// SPDX-License-Identifier: GPL-3.0-or-later
// The application links of a model: the rules that keep one profile per application and follow
// deleted profiles, and the file as it survives a save, a damaged copy and hostile content.

#include "profile/app_links.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/test_folders.h"

namespace kb {
namespace {

TEST(AppLinksTest, OneProfilePerApplicationFollowingDeletedProfiles) {
  AppLinks links;
  EXPECT_FALSE(links.automatic());
  EXPECT_EQ(links.default_profile(), 0u);
  ASSERT_TRUE(links.Link(2, "steam_app_570").ok());
  EXPECT_TRUE(links.automatic()) << "the first link turns switching on";
  links.set_automatic(false);
  ASSERT_TRUE(links.Link(1, "org.kde.krita").ok());
  ASSERT_TRUE(links.Link(3, "firefox").ok());
  ASSERT_TRUE(links.Link(1, "steam_app_570").ok());  // moved, not doubled
  EXPECT_EQ(links.AppsOf(1), (std::vector<std::string>{"steam_app_570", "org.kde.krita"}));
  EXPECT_EQ(links.ProfileFor("steam_app_570"), 1u);
  EXPECT_FALSE(links.ProfileFor("Firefox")) << "names are compared exactly";
  links.set_default_profile(3);

  links.ProfileDeleted(1);
  EXPECT_EQ(links.links(), (std::vector<AppLink>{{2, "firefox"}}));
  EXPECT_EQ(links.default_profile(), 2u);
  links.ProfileDeleted(2);
  EXPECT_TRUE(links.links().empty());
  EXPECT_FALSE(links.default_marked()) << "the default's deletion leaves the first as default";
  EXPECT_FALSE(links.Unlink(0, "firefox"));

  for (const std::string_view bad : {std::string_view(""), std::string_view("a\tb"),
                                     std::string_view("a\nb"), std::string_view("\xff\xfe")})
    EXPECT_FALSE(links.Link(0, bad).ok()) << bad;
  EXPECT_FALSE(links.Link(0, std::string(kMaxAppNameBytes + 1, 'a')).ok());
  for (std::size_t i = 0; i < kMaxAppLinks; ++i)
    ASSERT_TRUE(links.Link(0, "app" + std::to_string(i)).ok());
  EXPECT_FALSE(links.Link(0, "one too many").ok());
}

TEST(AppLinksTest, TheFileReadsBackAndRefusesWhatItCannotKeep) {
  AppLinks links;
  ASSERT_TRUE(links.Link(4, "Blender Foundation \xe2\x80\x94 blender").ok());
  ASSERT_TRUE(links.Link(0, "firefox").ok());
  links.set_automatic(false);
  links.set_default_profile(4);
  const std::string text = FormatAppLinks(links);
  EXPECT_EQ(text,
            "kbconfig-app-links\t1\nautomatic\t0\ndefault\t4\n"
            "link\t4\tBlender Foundation \xe2\x80\x94 blender\nlink\t0\tfirefox\n");
  const Result<AppLinks> back = ParseAppLinks(text);
  ASSERT_TRUE(back) << back.reason();
  EXPECT_EQ(*back, links);

  for (const std::string_view bad : {
           "",                                                 // empty
           "kbconfig-app-links\t2\n",                          // a later version
           "kbconfig-app-links\t1\nautomatic\t1",              // cut short
           "kbconfig-app-links\t1\ncolour\tred\n",             // unknown
           "kbconfig-app-links\t1\nlink\t-1\tx\n",             // no place
           "kbconfig-app-links\t1\nlink\t1\tx\nlink\t2\tx\n",  // twice
           "kbconfig-app-links\t1\nlink\t1\t\n",               // no name
           "kbconfig-app-links\t1\nautomatic\t2\n",            // no switch
       })
    EXPECT_FALSE(ParseAppLinks(bad)) << bad;
}

TEST(AppLinksTest, ADamagedFileIsKeptAsideBeforeTheNextSave) {
  const testing::TempFolder folder("app_links");
  ASSERT_TRUE(folder.ok());
  const std::filesystem::path path = AppLinksPathOf(folder.path() / "data.pros");
  EXPECT_EQ(path.filename(), "apps.links");

  AppLinksLoad missing = LoadAppLinks(path);
  EXPECT_FALSE(missing.existed);
  EXPECT_TRUE(missing.problem.ok());

  std::ofstream(path) << "kbconfig-app-links\t1\nlink\t0\tfirefox\ngarbage\n";
  AppLinksLoad damaged = LoadAppLinks(path);
  EXPECT_TRUE(damaged.existed);
  EXPECT_FALSE(damaged.problem.ok());
  EXPECT_TRUE(damaged.links.links().empty());
  ASSERT_TRUE(damaged.links.Link(1, "steam").ok());
  std::filesystem::path kept;
  ASSERT_TRUE(SaveAppLinks(path, damaged.links, damaged, &kept).ok());
  ASSERT_FALSE(kept.empty());
  std::ifstream old(kept);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}),
            "kbconfig-app-links\t1\nlink\t0\tfirefox\ngarbage\n");
  const AppLinksLoad again = LoadAppLinks(path);
  EXPECT_TRUE(again.problem.ok()) << again.problem.reason();
  EXPECT_EQ(again.links.ProfileFor("steam"), 1u);

  // A FIFO or a huge file in its place is refused, not waited on or read whole.
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(LoadAppLinks(path).problem.ok());
  std::filesystem::remove(path);
  std::ofstream(path).seekp((2 << 20) - 1) << 'x';
  EXPECT_FALSE(LoadAppLinks(path).problem.ok());
}

}  // namespace
}  // namespace kb
