// SPDX-License-Identifier: GPL-3.0-or-later
#include "names/name_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/utf16_text.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kb {
namespace {

using Names = std::vector<std::u16string_view>;

ProfileList Profiles(const Names& names) {
  ProfileList list;
  for (std::u16string_view name : names) NewDefaultProfile(name, Model::KB_3, list);
  return list;
}

MacroList Macros(const Names& names) {
  MacroList list;
  for (std::u16string_view name : names) {
    auto macro = std::make_unique<MacroRecord>();
    std::memset(macro.get(), 0, sizeof(MacroRecord));
    StoreFieldText(macro->name, name);
    list.push_back(std::move(macro));
  }
  return list;
}

TEST(NameExistsTest, EmptyListHasNoNames) {
  EXPECT_FALSE(NameExists(u"Game", ProfileList{}));
  EXPECT_FALSE(NameExists(u"", ProfileList{}));
  EXPECT_FALSE(NameExists(u"Game", MacroList{}));
}

struct ExistsCase {
  std::u16string_view stored;
  std::u16string_view asked;
  bool exists;
};

class NameExistsCaseTest : public ::testing::TestWithParam<ExistsCase> {};

TEST_P(NameExistsCaseTest, IgnoresCase) {
  EXPECT_EQ(NameExists(GetParam().asked, Profiles({u"other", GetParam().stored})),
            GetParam().exists);
  EXPECT_EQ(NameExists(GetParam().asked, Macros({GetParam().stored, u"other"})), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameExistsCaseTest,
    ::testing::Values(ExistsCase{u"Game", u"Game", true}, ExistsCase{u"game", u"Game", true},
                      ExistsCase{u"GAME", u"gAmE", true}, ExistsCase{u"Game", u"Game ", false},
                      ExistsCase{u"Game", u"Gam", false}, ExistsCase{u"Game_1", u"game_1", true},
                      ExistsCase{u"\u00C4rger", u"\u00E4rger", true},  // Ärger / ärger
                      ExistsCase{u"\u00C4RGER", u"\u00E4rger", true},
                      ExistsCase{u"\u00C4rger", u"Arger", false},
                      ExistsCase{u"\u03A3\u03BF\u03C6\u03B9\u03B1",
                                 u"\u03C3\u03BF\u03C6\u03B9\u03B1", true},             // Σοφια
                      ExistsCase{u"\u041C\u0438\u0440", u"\u043C\u0418\u0420", true},  // Мир / мИР
                      ExistsCase{u"\u0141\u00F3d\u017A", u"\u0142\u00D3D\u0179",
                                 true},  // Łódź / łÓDŹ
                      ExistsCase{u"", u"", true}));

TEST(NameExistsTest, UnterminatedStoredNameIsComparedWithinItsField) {
  ProfileList list = Profiles({u"x"});
  for (char16_t& unit : list[0]->name) unit = u'q';
  EXPECT_TRUE(NameExists(std::u16string(50, u'Q'), list));
  EXPECT_FALSE(NameExists(std::u16string(49, u'Q'), list));
}

struct UniqueCase {
  Names taken;
  std::u16string_view asked;
  std::u16string_view expected;
};

class MakeUniqueNameTest : public ::testing::TestWithParam<UniqueCase> {};

TEST_P(MakeUniqueNameTest, FirstFreeSuffix) {
  EXPECT_EQ(MakeUniqueName(GetParam().asked, Profiles(GetParam().taken)), GetParam().expected);
  EXPECT_EQ(MakeUniqueName(GetParam().asked, Macros(GetParam().taken)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeUniqueNameTest,
    ::testing::Values(UniqueCase{{}, u"Game", u"Game"}, UniqueCase{{u"Other"}, u"Game", u"Game"},
                      UniqueCase{{u"game"}, u"Game", u"Game_1"},
                      UniqueCase{{u"game", u"Game_1"}, u"Game", u"Game_2"},
                      UniqueCase{{u"Game", u"Game_2"}, u"Game", u"Game_1"},
                      UniqueCase{{u"Game", u"GAME_1", u"game_2"}, u"Game", u"Game_3"},
                      UniqueCase{{u"Game_1"}, u"Game_1", u"Game_1_1"},
                      UniqueCase{{u"\u00E4rger"}, u"\u00C4rger", u"\u00C4rger_1"},
                      UniqueCase{
                          {u"\u00E4rger", u"\u00C4RGER_1"}, u"\u00C4rger", u"\u00C4rger_2"}));

TEST(MakeUniqueNameTest2, NeverBuildsOnThePreviousAttempt) {
  ProfileList list = Profiles({u"Game", u"Game_1"});
  const std::u16string name = MakeUniqueName(u"Game", list);
  EXPECT_EQ(name, u"Game_2");
  EXPECT_EQ(name.find(u"_1_"), std::u16string::npos);
}

TEST(MakeUniqueNameTest2, CountsPastNine) {
  ProfileList list = Profiles({u"G"});
  for (int n = 1; n <= 10; ++n)
    NewDefaultProfile(u"G_" + FromUtf8(std::to_string(n)), Model::KB_3, list);
  EXPECT_EQ(MakeUniqueName(u"G", list), u"G_11");
}

TEST(MakeUniqueNameTest2, FreeNameLongerThanTheFieldIsShortened) {
  EXPECT_EQ(MakeUniqueName(std::u16string(60, u'a'), ProfileList{}), std::u16string(49, u'a'));
}

TEST(MakeUniqueNameTest2, SuffixOnAFullLengthNameShortensTheBase) {
  const std::u16string full(49, u'a');
  ProfileList list = Profiles({full});
  const std::u16string first = MakeUniqueName(full, list);
  EXPECT_EQ(first, std::u16string(47, u'a') + u"_1");
  NewDefaultProfile(first, Model::KB_3, list);
  for (int n = 2; n <= 9; ++n)
    NewDefaultProfile(std::u16string(47, u'a') + u"_" + FromUtf8(std::to_string(n)), Model::KB_3,
                      list);
  const std::u16string tenth = MakeUniqueName(full, list);
  EXPECT_EQ(tenth, std::u16string(46, u'a') + u"_10");
  EXPECT_LE(tenth.size(), 49u);
}

TEST(MakeUniqueNameTest2, ResultFitsTheFieldAndIsFree) {
  ProfileList list;
  const std::u16string base(55, u'b');
  for (int i = 0; i < 12; ++i) {
    const std::u16string name = MakeUniqueName(base, list);
    ASSERT_LE(name.size(), static_cast<std::size_t>(kMaxNameLength));
    ASSERT_FALSE(NameExists(name, list));
    NewDefaultProfile(name, Model::KB_3, list);
    ASSERT_EQ(FieldText(list.back()->name), name);  // stored whole, nothing cut
  }
}

TEST(MakeUniqueNameTest2, SurrogatePairBeforeTheSuffixIsNotSplit) {
  std::u16string name(46, u'c');
  name += u"\U0001F600";  // units 46, 47
  name += u'd';           // unit 48: 49 units in all
  ProfileList list = Profiles({name});
  const std::u16string unique = MakeUniqueName(name, list);
  // "_1" leaves 47 units for the base; the pair at 46..47 would be cut in half, so it goes.
  EXPECT_EQ(unique, std::u16string(46, u'c') + u"_1");
}

}  // namespace
}  // namespace kb
