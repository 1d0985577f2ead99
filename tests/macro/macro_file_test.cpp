// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_file.h"

#include <gtest/gtest.h>

#include "macro/test_files.h"
#include "names/name_rules.h"

namespace kb {
namespace {

using testing::FileBytes;
using testing::ImageOf;
using testing::MakeMacro;
using testing::TempDir;
using testing::WriteBytes;

constexpr std::size_t kRecord = 36108;
constexpr std::size_t kNameBytes = 100;
constexpr std::size_t kActionCountOffset = 104;

void PutInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> AfterName(const std::vector<std::uint8_t>& image) {
  return {image.begin() + kNameBytes, image.end()};
}

TEST(MacroFile, ExportWritesExactlyTheRecord) {
  TempDir dir;
  auto macro = MakeMacro(u"Burst", 40, 3);
  ASSERT_TRUE(ExportMacroFile(dir / "Burst.mco", *macro).ok());
  const auto bytes = FileBytes(dir / "Burst.mco");
  EXPECT_EQ(bytes.size(), kRecord);
  EXPECT_EQ(bytes, ImageOf(*macro));
}

TEST(MacroFile, ExportReplacesAnExistingFile) {
  TempDir dir;
  WriteBytes(dir / "Burst.mco", std::vector<std::uint8_t>(50000, 0xEE));
  auto macro = MakeMacro(u"Burst");
  ASSERT_TRUE(ExportMacroFile(dir / "Burst.mco", *macro).ok());
  EXPECT_EQ(FileBytes(dir / "Burst.mco"), ImageOf(*macro));
}

TEST(MacroFile, ExportIntoAMissingPlaceFails) {
  TempDir dir;
  WriteBytes(dir / "plain", {0});
  EXPECT_FALSE(ExportMacroFile(dir / "plain" / "Burst.mco", *MakeMacro(u"Burst")).ok());
}

TEST(MacroFile, ReimportGivesTheSameRecordButForTheName) {
  TempDir dir;
  auto macro = MakeMacro(u"Other", 120, 9);
  ASSERT_TRUE(ExportMacroFile(dir / "A.mco", *macro).ok());
  MacroList list;
  MacroImport import = ImportMacroFile(dir / "A.mco", list);
  ASSERT_EQ(import.outcome, MacroImportOutcome::Imported);
  EXPECT_EQ(import.index, 0u);
  EXPECT_EQ(import.name, u"A");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(NameOf(*list[0]), u"A");
  EXPECT_EQ(AfterName(ImageOf(*list[0])), AfterName(ImageOf(*macro)));
  EXPECT_FALSE(import.repair.clamped_action_count);
  EXPECT_FALSE(import.repair.terminated_name);
}

TEST(MacroFile, TakenNamesGetTheFirstFreeNumberOfTheBaseName) {
  TempDir dir;
  ASSERT_TRUE(ExportMacroFile(dir / "Burst.mco", *MakeMacro(u"x")).ok());
  MacroList list;
  list.push_back(MakeMacro(u"burst"));

  MacroImport first = ImportMacroFile(dir / "Burst.mco", list);
  ASSERT_EQ(first.outcome, MacroImportOutcome::Imported);
  EXPECT_EQ(first.name, u"Burst_1");
  EXPECT_EQ(first.index, 1u);
  MacroImport second = ImportMacroFile(dir / "Burst.mco", list);
  ASSERT_EQ(second.outcome, MacroImportOutcome::Imported);
  EXPECT_EQ(second.name, u"Burst_2");
  EXPECT_EQ(second.index, 2u);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(NameOf(*list[1]), u"Burst_1");
  EXPECT_EQ(NameOf(*list[2]), u"Burst_2");
}

struct BaseNameCase {
  const char* file;
  std::u16string name;
};

class MacroFileBaseName : public ::testing::TestWithParam<BaseNameCase> {};

TEST_P(MacroFileBaseName, NamesTheMacro) {
  TempDir dir;
  const BaseNameCase& c = GetParam();
  ASSERT_TRUE(ExportMacroFile(dir / c.file, *MakeMacro(u"inside")).ok());
  MacroList list;
  MacroImport import = ImportMacroFile(dir / c.file, list);
  ASSERT_EQ(import.outcome, MacroImportOutcome::Imported);
  EXPECT_EQ(import.name, c.name);
  EXPECT_EQ(NameOf(*list[0]), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MacroFileBaseName,
    ::testing::Values(BaseNameCase{"Burst.mco", u"Burst"}, BaseNameCase{"Burst.MCO", u"Burst"},
                      BaseNameCase{"two.dots.mco", u"two.dots"},
                      BaseNameCase{"no_extension", u"no_extension"},
                      BaseNameCase{"Straße.mco", u"Straße"}, BaseNameCase{".mco", u".mco"},
                      BaseNameCase{"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz0123.mco",
                                   u"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvw"}));

TEST(MacroFile, LongTakenNameKeepsItsNumberWithin49Units) {
  TempDir dir;
  const std::string base(60, 'q');
  ASSERT_TRUE(ExportMacroFile(dir / (base + ".mco"), *MakeMacro(u"x")).ok());
  MacroList list;
  list.push_back(MakeMacro(std::u16string(49, u'q')));
  MacroImport import = ImportMacroFile(dir / (base + ".mco"), list);
  ASSERT_EQ(import.outcome, MacroImportOutcome::Imported);
  EXPECT_EQ(import.name, std::u16string(47, u'q') + u"_1");
  EXPECT_EQ(list[1]->name[49], u'\0');
}

TEST(MacroFile, MissingFileIsUnreadable) {
  TempDir dir;
  MacroList list;
  MacroImport import = ImportMacroFile(dir / "none.mco", list);
  EXPECT_EQ(import.outcome, MacroImportOutcome::Unreadable);
  EXPECT_FALSE(import.reason.empty());
  EXPECT_TRUE(list.empty());
}

// A longer file holds the record first; what follows it is not read (other programs append
// their own data there).
class MacroFileLonger : public ::testing::TestWithParam<std::size_t> {};

TEST_P(MacroFileLonger, ImportsItsFirstRecord) {
  TempDir dir;
  auto macro = MakeMacro(u"Other", 120, 9);
  auto image = ImageOf(*macro);
  image.resize(GetParam(), 0xA5);
  WriteBytes(dir / "Long.mco", image);
  MacroList list;
  MacroImport import = ImportMacroFile(dir / "Long.mco", list);
  ASSERT_EQ(import.outcome, MacroImportOutcome::Imported) << import.reason;
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(NameOf(*list[0]), u"Long");
  EXPECT_EQ(AfterName(ImageOf(*list[0])), AfterName(ImageOf(*macro)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, MacroFileLonger,
                         ::testing::Values(kRecord + 1, 2 * kRecord, std::size_t{8} << 20));

class MacroFileWrongSize : public ::testing::TestWithParam<std::size_t> {};

TEST_P(MacroFileWrongSize, IsRefusedAndAddsNothing) {
  TempDir dir;
  auto image = ImageOf(*MakeMacro(u"Burst"));
  image.resize(GetParam(), 0);
  WriteBytes(dir / "Burst.mco", image);
  MacroList list;
  list.push_back(MakeMacro(u"kept"));
  MacroImport import = ImportMacroFile(dir / "Burst.mco", list);
  EXPECT_EQ(import.outcome, MacroImportOutcome::WrongSize);
  EXPECT_NE(import.reason.find(std::to_string(GetParam()) + " bytes"), std::string::npos)
      << import.reason;
  EXPECT_NE(import.reason.find("36108"), std::string::npos) << import.reason;
  ASSERT_EQ(list.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MacroFileWrongSize, ::testing::Values(0, 1, 100, kRecord - 1));

TEST(MacroFile, OutOfRangeCountIsClampedOnImport) {
  TempDir dir;
  auto image = ImageOf(*MakeMacro(u"x"));
  PutInt32(image, kActionCountOffset, 5000);
  WriteBytes(dir / "Big.mco", image);
  MacroList list;
  MacroImport import = ImportMacroFile(dir / "Big.mco", list);
  ASSERT_EQ(import.outcome, MacroImportOutcome::Imported);
  EXPECT_TRUE(import.repair.clamped_action_count);
  EXPECT_EQ(list[0]->action_count, 3000);
}

TEST(MacroFile, UnterminatedNameInTheFileIsReplaced) {
  TempDir dir;
  auto macro = MakeMacro(u"");
  for (char16_t& unit : macro->name) unit = u'z';
  WriteBytes(dir / "Named.mco", ImageOf(*macro));
  MacroList list;
  MacroImport import = ImportMacroFile(dir / "Named.mco", list);
  ASSERT_EQ(import.outcome, MacroImportOutcome::Imported);
  EXPECT_TRUE(import.repair.terminated_name);
  EXPECT_EQ(NameOf(*list[0]), u"Named");
  EXPECT_EQ(list[0]->name[kNameUnits - 1], u'\0');
}

}  // namespace
}  // namespace kb
