// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_exchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"
#include "macro/test_files.h"
#include "names/name_rules.h"

namespace kb {
namespace {

using testing::FileBytes;
using testing::ImageOf;
using testing::MakeMacro;
using testing::TempDir;
using testing::WriteBytes;

constexpr std::size_t kTagBytes = 200;
constexpr std::size_t kRecordBytes = 48584;
constexpr std::size_t kMacroBytes = 36108;
constexpr std::size_t kWithoutMacros = 48784;
constexpr std::size_t kBank0 = 144;
constexpr std::size_t kBank1 = 24364;
constexpr std::size_t kKeysInBank = 4668;
constexpr std::size_t kFnKeysInBank = 18396;
constexpr std::size_t kEntryBytes = 104;
constexpr std::size_t kKindInEntry = 1;
constexpr std::size_t kCodeInEntry = 4;
constexpr std::size_t kMacroIndexInEntry = 72;
constexpr std::size_t kActionCountInMacro = 104;

constexpr std::uint8_t kBound = KindByte(AssignmentKind::MacroBinding);
constexpr std::uint8_t kDefault = KindByte(AssignmentKind::Default);

const ModelTag kKb3Tag = MakeModelTag(u"KB_3");
const ModelTag kKb4Tag = MakeModelTag(u"KB_4");

std::int32_t Int32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  std::int32_t value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

void PutInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void Bind(KeyEntry& entry, int macro_index, std::u16string_view name) {
  entry.kind = kBound;
  WriteKeyCode(entry.code, kMacroCode);
  entry.macro_index = macro_index;
  entry.macro_loops = 3;
  entry.macro_repeat_mode = 2;
  StoreFieldText(entry.macro_name, name);
}

struct Fixture {
  ProfileList profiles;
  MacroList macros;
  ProfileRecord& profile;
  Fixture() : profile(NewDefaultProfile(u"Mine", Model::KB_3, profiles)) {}
};

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                                std::size_t size) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
          bytes.begin() + static_cast<std::ptrdiff_t>(offset + size)};
}

TEST(ModelTagTest, IsTheTextZeroFilled) {
  const auto bytes = ImageOf(MakeModelTag(u"KB_3"));
  ASSERT_EQ(bytes.size(), kTagBytes);
  const std::vector<std::uint8_t> head = {'K', 0, 'B', 0, '_', 0, '3', 0};
  EXPECT_EQ(Slice(bytes, 0, 8), head);
  EXPECT_EQ(Slice(bytes, 8, kTagBytes - 8), std::vector<std::uint8_t>(kTagBytes - 8, 0));
}

TEST(ModelTagTest, LongTextKeepsItsTerminator) {
  const ModelTag tag = MakeModelTag(std::u16string(150, u'm'));
  EXPECT_EQ(FieldText(tag), std::u16string(99, u'm'));
  EXPECT_EQ(tag[99], u'\0');
}

TEST(ProfileExport, WithoutMacroKeysIsTagAndRecord) {
  TempDir dir;
  Fixture f;
  f.macros.push_back(MakeMacro(u"Unused"));
  f.profile.active_bank = 1;
  ASSERT_TRUE(ExportProfileFile(dir / "p.kpo", kKb3Tag, f.profile, f.macros, Model::KB_3).ok());
  const auto bytes = FileBytes(dir / "p.kpo");
  ASSERT_EQ(bytes.size(), kWithoutMacros);
  EXPECT_EQ(Slice(bytes, 0, kTagBytes), ImageOf(kKb3Tag));
  EXPECT_EQ(Slice(bytes, kTagBytes, kRecordBytes), ImageOf(f.profile));
}

TEST(ProfileExport, CarriesOneMacroPerBoundKeyInBankAndKeyOrder) {
  TempDir dir;
  Fixture f;
  f.macros.push_back(MakeMacro(u"Burst", 4));
  f.macros.push_back(MakeMacro(u"Combo", 9));
  // Bank 1 key 5 comes after both bank 0 keys, whatever their numbers.
  Bind(f.profile.banks[1].keys[5], 0, u"Burst");
  Bind(f.profile.banks[0].keys[40], 0, u"Burst");
  Bind(f.profile.banks[0].keys[12], 1, u"Combo");
  ASSERT_TRUE(ExportProfileFile(dir / "p.kpo", kKb3Tag, f.profile, f.macros, Model::KB_3).ok());

  const auto bytes = FileBytes(dir / "p.kpo");
  ASSERT_EQ(bytes.size(), kWithoutMacros + 3 * kMacroBytes);
  EXPECT_EQ(Slice(bytes, kTagBytes, kRecordBytes), ImageOf(f.profile));
  EXPECT_EQ(Slice(bytes, kWithoutMacros, kMacroBytes), ImageOf(*f.macros[1]));
  EXPECT_EQ(Slice(bytes, kWithoutMacros + kMacroBytes, kMacroBytes), ImageOf(*f.macros[0]));
  EXPECT_EQ(Slice(bytes, kWithoutMacros + 2 * kMacroBytes, kMacroBytes), ImageOf(*f.macros[0]));
}

TEST(ProfileExport, KeyBoundToNoMacroIsWrittenAtItsDefault) {
  TempDir dir;
  Fixture f;
  f.macros.push_back(MakeMacro(u"Burst"));
  Bind(f.profile.banks[0].keys[7], 0, u"Burst");
  Bind(f.profile.banks[0].keys[8], 5, u"Gone");
  Bind(f.profile.banks[1].keys[9], -1, u"None");
  const auto before = ImageOf(f.profile);
  ASSERT_TRUE(ExportProfileFile(dir / "p.kpo", kKb3Tag, f.profile, f.macros, Model::KB_3).ok());
  EXPECT_EQ(ImageOf(f.profile), before) << "the profile in memory is not changed";

  const auto bytes = FileBytes(dir / "p.kpo");
  ASSERT_EQ(bytes.size(), kWithoutMacros + kMacroBytes);
  const KeyLayout& layout = LayoutOf(Model::KB_3);
  for (auto [bank, key] : {std::pair{kBank0, 8}, std::pair{kBank1, 9}}) {
    const std::size_t entry = kTagBytes + bank + kKeysInBank + key * kEntryBytes;
    EXPECT_EQ(bytes[entry + kKindInEntry], kDefault) << key;
    KeyCode code = static_cast<KeyCode>(bytes[entry + kCodeInEntry]) << 24 |
                   static_cast<KeyCode>(bytes[entry + kCodeInEntry + 1]) << 16 |
                   static_cast<KeyCode>(bytes[entry + kCodeInEntry + 2]) << 8 |
                   bytes[entry + kCodeInEntry + 3];
    EXPECT_EQ(code, layout.default_key_codes[key]) << key;
    EXPECT_EQ(Int32At(bytes, entry + kMacroIndexInEntry), -1) << key;
  }
  const std::size_t kept = kTagBytes + kBank0 + kKeysInBank + 7 * kEntryBytes;
  EXPECT_EQ(bytes[kept + kKindInEntry], kBound);
  EXPECT_EQ(Int32At(bytes, kept + kMacroIndexInEntry), 0);
}

TEST(ProfileExport, FnSlotBoundToAMacroIsWrittenAtItsDefault) {
  TempDir dir;
  Fixture f;
  f.macros.push_back(MakeMacro(u"Burst"));
  Bind(f.profile.banks[0].fn_keys[3], 0, u"Burst");
  ASSERT_TRUE(ExportProfileFile(dir / "p.kpo", kKb3Tag, f.profile, f.macros, Model::KB_3).ok());
  const auto bytes = FileBytes(dir / "p.kpo");
  ASSERT_EQ(bytes.size(), kWithoutMacros);
  const std::size_t entry = kTagBytes + kBank0 + kFnKeysInBank + 3 * kEntryBytes;
  EXPECT_EQ(bytes[entry + kKindInEntry], kDefault);
  EXPECT_EQ(Int32At(bytes, entry + kMacroIndexInEntry), -1);
  EXPECT_EQ(bytes[entry + kCodeInEntry + 3], LayoutOf(Model::KB_3).default_fn_key_codes[3] & 0xFF);
}

TEST(ProfileExport, UnwritablePathFails) {
  TempDir dir;
  WriteBytes(dir / "plain", {0});
  Fixture f;
  EXPECT_FALSE(
      ExportProfileFile(dir / "plain" / "p.kpo", kKb3Tag, f.profile, f.macros, Model::KB_3).ok());
}

TEST(ProfileImport, TakesTheBaseNameMadeUnique) {
  TempDir dir;
  Fixture source;
  ASSERT_TRUE(
      ExportProfileFile(dir / "Game.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3)
          .ok());

  ProfileList profiles;
  NewDefaultProfile(u"game", Model::KB_3, profiles);
  MacroList macros;
  ProfileImport first = ImportProfileFile(dir / "Game.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(first.outcome, ProfileImportOutcome::Imported) << first.reason;
  EXPECT_EQ(first.profile_name, u"Game_1");
  EXPECT_EQ(first.profile_index, 1u);
  EXPECT_EQ(first.macros_added, 0u);
  ProfileImport second =
      ImportProfileFile(dir / "Game.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(second.outcome, ProfileImportOutcome::Imported) << second.reason;
  EXPECT_EQ(second.profile_name, u"Game_2");
  EXPECT_EQ(second.profile_index, 2u);
  ASSERT_EQ(profiles.size(), 3u);
  EXPECT_EQ(NameOf(*profiles[1]), u"Game_1");
  EXPECT_EQ(NameOf(*profiles[2]), u"Game_2");
  EXPECT_TRUE(macros.empty());
}

TEST(ProfileImport, KeepsEveryByteButTheName) {
  TempDir dir;
  Fixture f;
  f.profile.active_bank = 1;
  f.profile.format_tag = 42;
  f.profile.reserved_head[3] = 0x77;
  f.profile.banks[1].light_mode = 18;
  ASSERT_TRUE(ExportProfileFile(dir / "Other.kpo", kKb3Tag, f.profile, f.macros, Model::KB_3).ok());

  ProfileList profiles;
  MacroList macros;
  ProfileImport import =
      ImportProfileFile(dir / "Other.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
  ASSERT_EQ(profiles.size(), 1u);
  EXPECT_EQ(NameOf(*profiles[0]), u"Other");
  auto expected = ImageOf(f.profile);
  auto actual = ImageOf(*profiles[0]);
  EXPECT_EQ(Slice(actual, 100, kRecordBytes - 100), Slice(expected, 100, kRecordBytes - 100));
}

TEST(ProfileImport, TwoKeysUsingBurstGetBurst1AndBurst2) {
  TempDir dir;
  Fixture source;
  source.macros.push_back(MakeMacro(u"Burst", 6));
  Bind(source.profile.banks[0].keys[20], 0, u"Burst");
  Bind(source.profile.banks[1].keys[30], 0, u"Burst");
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3).ok());

  ProfileList profiles;
  NewDefaultProfile(u"Profile_1", Model::KB_3, profiles);
  MacroList macros;
  macros.push_back(MakeMacro(u"Other"));
  macros.push_back(MakeMacro(u"Burst", 1));
  ProfileImport import = ImportProfileFile(dir / "P.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported) << import.reason;
  EXPECT_EQ(import.macros_added, 2u);
  ASSERT_EQ(macros.size(), 4u);
  EXPECT_EQ(NameOf(*macros[2]), u"Burst_1");
  EXPECT_EQ(NameOf(*macros[3]), u"Burst_2");
  EXPECT_EQ(macros[2]->action_count, 6);
  EXPECT_EQ(macros[3]->action_count, 6);

  const ProfileRecord& imported = *profiles[import.profile_index];
  const KeyEntry& first = imported.banks[0].keys[20];
  const KeyEntry& second = imported.banks[1].keys[30];
  EXPECT_EQ(first.macro_index, 2);
  EXPECT_EQ(FieldText(first.macro_name), u"Burst_1");
  EXPECT_EQ(second.macro_index, 3);
  EXPECT_EQ(FieldText(second.macro_name), u"Burst_2");
  EXPECT_EQ(first.macro_loops, 3);
  EXPECT_EQ(first.macro_repeat_mode, 2);
}

TEST(ProfileImport, LongMacroNameIsCopiedInto23UnitsOfTheKey) {
  TempDir dir;
  Fixture source;
  const std::u16string long_name = u"AVeryLongMacroNameOfThirtyUnits";
  source.macros.push_back(MakeMacro(long_name));
  Bind(source.profile.banks[0].keys[2], 0, long_name);
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3).ok());

  ProfileList profiles;
  MacroList macros;
  ProfileImport import = ImportProfileFile(dir / "P.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
  EXPECT_EQ(NameOf(*macros[0]), long_name);
  const KeyEntry& key = profiles[0]->banks[0].keys[2];
  EXPECT_EQ(FieldText(key.macro_name), long_name.substr(0, 23));
  EXPECT_EQ(key.macro_name[23], u'\0');
}

TEST(ProfileImport, OtherModelIsRefusedAndNothingIsAdded) {
  TempDir dir;
  Fixture source;
  source.macros.push_back(MakeMacro(u"Burst"));
  Bind(source.profile.banks[0].keys[2], 0, u"Burst");
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3).ok());

  ProfileList profiles;
  MacroList macros;
  ProfileImport import = ImportProfileFile(dir / "P.kpo", kKb4Tag, Model::KB_4, profiles, macros);
  EXPECT_EQ(import.outcome, ProfileImportOutcome::OtherModel);
  EXPECT_NE(import.reason.find("KB_3"), std::string::npos) << import.reason;
  EXPECT_TRUE(profiles.empty());
  EXPECT_TRUE(macros.empty());
}

// Random bytes of a profile file's size have no model tag: the file is no profile file, and
// nothing of its noise is read out as a model's name.
TEST(ProfileImport, RandomBytesAreNoProfileFile) {
  std::mt19937 random(7);
  for (std::size_t size : {kTagBytes, kWithoutMacros, kWithoutMacros + 2 * kMacroBytes}) {
    for (int round = 0; round < 20; ++round) {
      std::vector<std::uint8_t> bytes(size);
      for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
      ProfileList profiles;
      MacroList macros;
      ProfileImport import = ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
      EXPECT_EQ(import.outcome, ProfileImportOutcome::NotProfileFile) << size << " " << round;
      EXPECT_EQ(import.reason, "it is not a profile file");
      EXPECT_TRUE(profiles.empty());
    }
  }
}

struct TagCase {
  const char* what;
  std::vector<char16_t> units;  // the tag's first units; the rest are zero
  bool well_formed;
};

class ModelTagShape : public ::testing::TestWithParam<TagCase> {};

// Another model's tag is text ended by a NUL with zeros after it; anything else is no tag.
TEST_P(ModelTagShape, DecidesWhetherTheFileIsAProfileFile) {
  ModelTag tag{};
  std::copy(GetParam().units.begin(), GetParam().units.end(), tag.begin());
  EXPECT_EQ(IsWellFormedModelTag(tag), GetParam().well_formed);

  std::vector<std::uint8_t> bytes = ImageOf(tag);
  bytes.resize(kWithoutMacros, 0);
  ProfileList profiles;
  MacroList macros;
  const ProfileImport import =
      ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
  EXPECT_EQ(import.outcome, GetParam().well_formed ? ProfileImportOutcome::OtherModel
                                                   : ProfileImportOutcome::NotProfileFile)
      << import.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Tags, ModelTagShape,
    ::testing::Values(
        TagCase{"other_model", {u'K', u'B', u'_', u'4'}, true},
        TagCase{"other_language", {u'T', u'a', u's', u't', u'a', u't', u'u', u'r'}, true},
        TagCase{"accented_text", {u'C', u'l', u'a', u'v', u'i', u'e', u'r', 0xE9}, true},
        TagCase{"surrogate_pair", {u'K', 0xD83D, 0xDE00}, true}, TagCase{"empty", {}, false},
        TagCase{"control_character", {u'K', u'B', 0x01}, false},
        TagCase{"lone_surrogate", {u'K', 0xD83D, u'B'}, false},
        TagCase{"noncharacter", {u'K', 0xFFFF}, false},
        TagCase{"bytes_after_the_nul", {u'K', u'B', 0, 0, u'x'}, false},
        TagCase{"no_nul", std::vector<char16_t>(100, u'K'), false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ProfileImport, OtherModelsFileNamesItsModel) {
  TempDir dir;
  Fixture source;
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb4Tag, source.profile, source.macros, Model::KB_4).ok());
  ProfileList profiles;
  MacroList macros;
  ProfileImport import = ImportProfileFile(dir / "P.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  EXPECT_EQ(import.outcome, ProfileImportOutcome::OtherModel);
  EXPECT_NE(import.reason.find("another keyboard model, \"KB_4\""), std::string::npos)
      << import.reason;
}

// What an exporter writes that carries no macro for a key whose index names none: the record
// and nothing after it, though keys are bound. The profile imports; those keys get their
// factory assignment, as the export here gives them.
TEST(ProfileImport, BoundKeysWithoutMacroBytesGetTheirFactoryAssignment) {
  Fixture source;
  Bind(source.profile.banks[0].keys[2], 4, u"Gone");
  Bind(source.profile.banks[1].keys[3], 7, u"Away");
  Bind(source.profile.banks[0].fn_keys[5], 1, u"Fn");
  source.profile.banks[0].keys[9].kind = KindByte(AssignmentKind::Disabled);
  std::vector<std::uint8_t> bytes = ImageOf(kKb3Tag);
  const auto record = ImageOf(source.profile);
  bytes.insert(bytes.end(), record.begin(), record.end());
  ASSERT_EQ(bytes.size(), kWithoutMacros);

  ProfileList profiles;
  MacroList macros;
  macros.push_back(MakeMacro(u"kept"));
  ProfileImport import = ParseProfileFile(bytes, u"Old", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported) << import.reason;
  EXPECT_EQ(import.macros_added, 0u);
  EXPECT_EQ(import.keys_released, 2);
  EXPECT_EQ(import.fn_bindings_released, 1);
  ASSERT_EQ(profiles.size(), 1u);
  EXPECT_EQ(macros.size(), 1u);
  const KeyLayout& layout = LayoutOf(Model::KB_3);
  for (auto [bank, key] : {std::pair{0, 2}, std::pair{1, 3}}) {
    const KeyEntry& entry = profiles[0]->banks[bank].keys[key];
    EXPECT_EQ(entry.kind, kDefault) << key;
    EXPECT_EQ(ReadKeyCode(entry.code), layout.default_key_codes[key]) << key;
    EXPECT_EQ(entry.macro_index, -1) << key;
  }
  EXPECT_EQ(profiles[0]->banks[0].fn_keys[5].kind, kDefault);
  // Everything else came as it was.
  EXPECT_EQ(profiles[0]->banks[0].keys[9].kind, KindByte(AssignmentKind::Disabled));
  EXPECT_EQ(NameOf(*profiles[0]), u"Old");
}

TEST(ProfileImport, TagIsComparedIgnoringCase) {
  TempDir dir;
  Fixture source;
  ASSERT_TRUE(ExportProfileFile(dir / "P.kpo", MakeModelTag(u"kb_3"), source.profile, source.macros,
                                Model::KB_3)
                  .ok());
  ProfileList profiles;
  MacroList macros;
  EXPECT_EQ(ImportProfileFile(dir / "P.kpo", kKb3Tag, Model::KB_3, profiles, macros).outcome,
            ProfileImportOutcome::Imported);
}

TEST(ProfileImport, MissingFileIsUnreadable) {
  TempDir dir;
  ProfileList profiles;
  MacroList macros;
  ProfileImport import =
      ImportProfileFile(dir / "none.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  EXPECT_EQ(import.outcome, ProfileImportOutcome::Unreadable);
  EXPECT_FALSE(import.reason.empty());
  EXPECT_TRUE(profiles.empty());
}

class ProfileImportTruncated : public ::testing::TestWithParam<std::size_t> {};

// Two bound keys announce two macros; any file that ends before their end adds nothing at all.
TEST_P(ProfileImportTruncated, IsRefusedWhole) {
  TempDir dir;
  Fixture source;
  source.macros.push_back(MakeMacro(u"Burst"));
  Bind(source.profile.banks[0].keys[2], 0, u"Burst");
  Bind(source.profile.banks[1].keys[3], 0, u"Burst");
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3).ok());
  auto bytes = FileBytes(dir / "P.kpo");
  ASSERT_EQ(bytes.size(), kWithoutMacros + 2 * kMacroBytes);
  bytes.resize(GetParam());

  ProfileList profiles;
  NewDefaultProfile(u"kept", Model::KB_3, profiles);
  MacroList macros;
  macros.push_back(MakeMacro(u"kept"));
  ProfileImport import = ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
  EXPECT_EQ(import.outcome, ProfileImportOutcome::Short);
  EXPECT_FALSE(import.reason.empty());
  EXPECT_EQ(profiles.size(), 1u);
  EXPECT_EQ(macros.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ProfileImportTruncated,
                         ::testing::Values(0, 1, kTagBytes - 1, kTagBytes, kWithoutMacros - 1,
                                           kWithoutMacros + 1, kWithoutMacros + kMacroBytes,
                                           kWithoutMacros + 2 * kMacroBytes - 1));

TEST(ProfileImport, BytesAfterTheAnnouncedMacrosAreIgnored) {
  TempDir dir;
  Fixture source;
  source.macros.push_back(MakeMacro(u"Burst"));
  Bind(source.profile.banks[0].keys[2], 0, u"Burst");
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3).ok());
  auto bytes = FileBytes(dir / "P.kpo");
  bytes.resize(bytes.size() + 10, 0x55);

  ProfileList profiles;
  MacroList macros;
  ProfileImport import = ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
  EXPECT_EQ(import.trailing_bytes, 10u);
  EXPECT_EQ(import.macros_added, 1u);
}

// A file from elsewhere may hold an Fn slot bound to a macro; its index means nothing here.
TEST(ProfileImport, FnSlotBoundToAMacroReturnsToItsDefault) {
  Fixture source;
  Bind(source.profile.banks[1].fn_keys[10], 0, u"Burst");
  std::vector<std::uint8_t> bytes = ImageOf(kKb3Tag);
  const auto record = ImageOf(source.profile);
  bytes.insert(bytes.end(), record.begin(), record.end());

  ProfileList profiles;
  MacroList macros;
  macros.push_back(MakeMacro(u"Unrelated"));
  ProfileImport import = ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
  EXPECT_EQ(import.fn_bindings_released, 1);
  const KeyEntry& slot = profiles[0]->banks[1].fn_keys[10];
  EXPECT_EQ(slot.kind, kDefault);
  EXPECT_EQ(slot.macro_index, -1);
  EXPECT_EQ(ReadKeyCode(slot.code), LayoutOf(Model::KB_3).default_fn_key_codes[10]);
  EXPECT_EQ(ReadKeyCode(slot.code2), LayoutOf(Model::KB_3).default_fn_functions[10]);
}

TEST(ProfileImport, MacroRecordsAreRepairedAsTheStoreDoes) {
  Fixture source;
  Bind(source.profile.banks[0].keys[2], 0, u"Big");
  std::vector<std::uint8_t> bytes = ImageOf(kKb3Tag);
  const auto record = ImageOf(source.profile);
  bytes.insert(bytes.end(), record.begin(), record.end());
  auto macro = ImageOf(*MakeMacro(u"Big"));
  PutInt32(macro, kActionCountInMacro, 5000);
  bytes.insert(bytes.end(), macro.begin(), macro.end());

  ProfileList profiles;
  MacroList macros;
  ProfileImport import = ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
  EXPECT_EQ(macros[0]->action_count, 3000);
}

TEST(ProfileImport, UnterminatedNamesInTheRecordAreTerminated) {
  Fixture source;
  for (char16_t& unit : source.profile.banks[0].keys[4].macro_name) unit = u'n';
  std::vector<std::uint8_t> bytes = ImageOf(kKb3Tag);
  const auto record = ImageOf(source.profile);
  bytes.insert(bytes.end(), record.begin(), record.end());

  ProfileList profiles;
  MacroList macros;
  ASSERT_EQ(ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros).outcome,
            ProfileImportOutcome::Imported);
  EXPECT_EQ(profiles[0]->banks[0].keys[4].macro_name[kKeyMacroNameUnits - 1], u'\0');
}

TEST(ProfileImport, LongBaseNameIsShortenedTo49Units) {
  Fixture source;
  std::vector<std::uint8_t> bytes = ImageOf(kKb3Tag);
  const auto record = ImageOf(source.profile);
  bytes.insert(bytes.end(), record.begin(), record.end());
  ProfileList profiles;
  MacroList macros;
  ProfileImport import =
      ParseProfileFile(bytes, std::u16string(70, u'g'), kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
  EXPECT_EQ(import.profile_name, std::u16string(49, u'g'));
  EXPECT_EQ(profiles[0]->name[49], u'\0');
}

TEST(ProfileImport, RoundTripOfAKeyBoundToAMissingMacroStaysAligned) {
  TempDir dir;
  Fixture source;
  source.macros.push_back(MakeMacro(u"First", 2));
  source.macros.push_back(MakeMacro(u"Second", 5));
  Bind(source.profile.banks[0].keys[1], 9, u"Gone");
  Bind(source.profile.banks[0].keys[2], 1, u"Second");
  ASSERT_TRUE(
      ExportProfileFile(dir / "P.kpo", kKb3Tag, source.profile, source.macros, Model::KB_3).ok());

  ProfileList profiles;
  MacroList macros;
  ProfileImport import = ImportProfileFile(dir / "P.kpo", kKb3Tag, Model::KB_3, profiles, macros);
  ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported) << import.reason;
  ASSERT_EQ(macros.size(), 1u);
  EXPECT_EQ(NameOf(*macros[0]), u"Second");
  EXPECT_EQ(macros[0]->action_count, 5);
  EXPECT_EQ(profiles[0]->banks[0].keys[1].kind, kDefault);
  EXPECT_EQ(profiles[0]->banks[0].keys[2].macro_index, 0);
}

// Damaged files, made from a good one with a fixed seed: whatever a file holds, an import either
// adds one profile and exactly the macros its bound keys announce, every key pointing at its
// own new macro, or changes nothing.
TEST(ProfileImport, DamagedFilesImportWholeOrNotAtAll) {
  Fixture source;
  source.macros.push_back(MakeMacro(u"Burst", 4));
  source.macros.push_back(MakeMacro(u"Combo", 2));
  Bind(source.profile.banks[0].keys[2], 0, u"Burst");
  Bind(source.profile.banks[1].keys[3], 1, u"Combo");
  std::vector<std::uint8_t> good = ImageOf(kKb3Tag);
  const auto record = ImageOf(source.profile);
  good.insert(good.end(), record.begin(), record.end());
  for (const auto& macro : source.macros) {
    const auto image = ImageOf(*macro);
    good.insert(good.end(), image.begin(), image.end());
  }

  std::mt19937 random(20261208);
  int imported = 0;
  int refused = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<std::uint8_t> bytes = good;
    // Bind or unbind a few keys and Fn slots, scribble over names and counts, then cut.
    for (int n = std::uniform_int_distribution<int>(0, 4)(random); n > 0; --n) {
      const std::size_t bank = random() % 2 ? kBank1 : kBank0;
      const bool fn = random() % 4 == 0;
      const std::size_t entry = kTagBytes + bank +
                                (fn ? kFnKeysInBank + (random() % 56) * kEntryBytes
                                    : kKeysInBank + (random() % 132) * kEntryBytes);
      bytes[entry + kKindInEntry] = random() % 2 ? kBound : kDefault;
      PutInt32(bytes, entry + kMacroIndexInEntry, static_cast<std::int32_t>(random()));
    }
    for (int n = std::uniform_int_distribution<int>(0, 20)(random); n > 0; --n)
      bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
    if (random() % 2) bytes.resize(random() % (bytes.size() + 1));

    ProfileList profiles;
    NewDefaultProfile(u"P", Model::KB_3, profiles);
    MacroList macros;
    macros.push_back(MakeMacro(u"Burst"));
    ProfileImport import = ParseProfileFile(bytes, u"P", kKb3Tag, Model::KB_3, profiles, macros);
    if (import.outcome != ProfileImportOutcome::Imported) {
      ++refused;
      EXPECT_EQ(profiles.size(), 1u) << round;
      EXPECT_EQ(macros.size(), 1u) << round;
      continue;
    }
    ++imported;
    ASSERT_EQ(profiles.size(), 2u) << round;
    ASSERT_EQ(macros.size(), 1u + import.macros_added) << round;
    std::size_t bound = 0;
    for (const ProfileBank& bank : profiles[1]->banks) {
      for (const KeyEntry& key : bank.keys) {
        if (key.kind != kBound) continue;
        ++bound;
        ASSERT_EQ(key.macro_index, static_cast<std::int32_t>(bound)) << round;
        EXPECT_EQ(FieldText(key.macro_name), Shorten(NameOf(*macros[bound]), 23)) << round;
      }
      for (const KeyEntry& slot : bank.fn_keys) EXPECT_NE(slot.kind, kBound) << round;
    }
    EXPECT_EQ(bound, import.macros_added) << round;
    for (const auto& macro : macros) {
      EXPECT_GE(macro->action_count, 0);
      EXPECT_LE(macro->action_count, 3000);
      EXPECT_LT(NameOf(*macro).size(), static_cast<std::size_t>(kNameUnits));
    }
  }
  // The sweep reaches both outcomes often enough to mean something.
  EXPECT_GT(imported, 50);
  EXPECT_GT(refused, 50);
}

// The factory code a released key gets is its own model's: index 76 is Backslash on KB_4 and
// no key at all on KB_3.
TEST(ProfileExport, ReleasedKeyTakesTheFactoryCodeOfItsModel) {
  for (Model model : {Model::KB_3, Model::KB_4}) {
    TempDir dir;
    ProfileList profiles;
    ProfileRecord& profile = NewDefaultProfile(u"P", model, profiles);
    MacroList macros;
    Bind(profile.banks[0].keys[76], 0, u"Gone");
    const ModelTag tag = model == Model::KB_3 ? kKb3Tag : kKb4Tag;
    ASSERT_TRUE(ExportProfileFile(dir / "P.kpo", tag, profile, macros, model).ok());
    ProfileList imported;
    ProfileImport import = ImportProfileFile(dir / "P.kpo", tag, model, imported, macros);
    ASSERT_EQ(import.outcome, ProfileImportOutcome::Imported);
    const KeyEntry& key = imported[0]->banks[0].keys[76];
    EXPECT_EQ(key.kind, kDefault);
    EXPECT_EQ(ReadKeyCode(key.code), LayoutOf(model).default_key_codes[76]);
  }
  EXPECT_EQ(LayoutOf(Model::KB_4).default_key_codes[76], 0x0000'0031u);
  EXPECT_EQ(LayoutOf(Model::KB_3).default_key_codes[76], kNoFunction);
}

}  // namespace
}  // namespace kb
