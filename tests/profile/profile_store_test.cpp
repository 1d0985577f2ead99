// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_store.h"

#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "common/file_io.h"
#include "common/test_folders.h"
#include "common/utf16_text.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHeader = 44;
constexpr std::size_t kRecord = 48584;
constexpr std::size_t kSelectedIndexAt = 0;
constexpr std::size_t kHeaderReservedAt = 4;
constexpr std::size_t kFormatTagAt = 104;

ProfileList ThreeProfiles() {
  ProfileList list;
  NewDefaultProfile(u"One", Model::KB_3, list);
  NewDefaultProfile(u"Two", Model::KB_3, list);
  NewDefaultProfile(u"Three", Model::KB_3, list);
  return list;
}

StoreHeader Header(std::int32_t selected) {
  StoreHeader header{};
  header.selected_index = selected;
  for (int i = 0; i < 40; ++i) header.reserved[i] = static_cast<std::uint8_t>(i + 1);
  return header;
}

class ProfileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    path_ = folder_.path() / "Data" / "kb" / "kb_3" / "data.pros";
  }
  void TearDown() override { SetBeforeRenameHookForTesting({}); }

  Bytes FileBytes() const {
    auto bytes = ReadWholeFile(path_);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(Bytes{});
  }

  void WriteFile(const Bytes& bytes) const { ASSERT_TRUE(WriteFileAtomically(path_, bytes).ok()); }

  // Entries of the folder other than the store: leftovers of a failed save.
  int OtherEntries() const {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(path_.parent_path()))
      n += entry.path().filename() != path_.filename();
    return n;
  }

  testing::TempFolder folder_{"profile_store"};
  fs::path path_;
};

TEST_F(ProfileStoreTest, HeaderLayout) {
  EXPECT_EQ(sizeof(StoreHeader), kHeader);
  EXPECT_EQ(offsetof(StoreHeader, selected_index), kSelectedIndexAt);
  EXPECT_EQ(offsetof(StoreHeader, reserved), kHeaderReservedAt);
}

TEST_F(ProfileStoreTest, FirstStartOfKb3WritesADefaultStore) {
  StoreHeader header = Header(5);
  ProfileList list = ThreeProfiles();
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"Profile_1", header, list);
  EXPECT_EQ(load.file, StoreFileState::Missing);
  EXPECT_TRUE(load.created_default);
  EXPECT_TRUE(load.read.ok());
  EXPECT_TRUE(load.save.ok()) << load.save.reason();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(FieldText(list[0]->name), u"Profile_1");
  EXPECT_EQ(header.selected_index, 0);
  for (std::uint8_t b : header.reserved) EXPECT_EQ(b, 0);

  const Bytes file = FileBytes();
  ASSERT_EQ(file.size(), 48628u);
  for (std::size_t i = 0; i < kHeader; ++i) EXPECT_EQ(file[i], 0) << i;
  EXPECT_EQ(std::memcmp(file.data() + kHeader, list[0].get(), kRecord), 0);
  EXPECT_EQ(file[kHeader + kFormatTagAt], 6);
}

// Another process (an import under the writers' lock, the program) saves the store while a load
// is creating the missing default one: its store is read, never replaced.
TEST_F(ProfileStoreTest, AStoreSavedWhileTheDefaultIsCreatedIsReadNotReplaced) {
  const ProfileList theirs = ThreeProfiles();
  int calls = 0;
  SetBeforeRenameHookForTesting([&](const fs::path&) {
    if (++calls == 1) {
      EXPECT_TRUE(SaveProfileStore(path_, Header(2), theirs).ok());
    }
    return true;
  });
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"Profile_1", header, list);
  SetBeforeRenameHookForTesting({});
  EXPECT_EQ(calls, 2);
  EXPECT_NE(load.file, StoreFileState::Missing);
  EXPECT_FALSE(load.created_default);
  EXPECT_TRUE(load.read.ok()) << load.read.reason();
  EXPECT_TRUE(load.save.ok()) << load.save.reason();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(FieldText(list[2]->name), u"Three");
  EXPECT_EQ(header.selected_index, 2);
  EXPECT_EQ(FileBytes().size(), kHeader + 3 * kRecord);
  EXPECT_EQ(OtherEntries(), 0) << "the default store's temporary file is gone";
}

TEST_F(ProfileStoreTest, FirstStartOfKb4LeavesTheListEmptyAndWritesNothing) {
  StoreHeader header = Header(3);
  ProfileList list = ThreeProfiles();
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_4, u"Profile_1", header, list);
  EXPECT_EQ(load.file, StoreFileState::Missing);
  EXPECT_FALSE(load.created_default);
  EXPECT_TRUE(load.save.ok());
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(header.selected_index, 0);
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(ProfileStoreTest, ThreeProfilesWithTheThirdSelected) {
  const ProfileList saved = ThreeProfiles();
  ASSERT_TRUE(SaveProfileStore(path_, Header(2), saved).ok());
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"unused", header, list);
  EXPECT_NE(load.file, StoreFileState::Missing);
  EXPECT_FALSE(load.created_default);
  EXPECT_EQ(load.parse.records, 3);
  EXPECT_EQ(load.parse.dropped_bytes, 0u);
  EXPECT_FALSE(load.parse.selected_index_clamped);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(header.selected_index, 2);
  EXPECT_EQ(FieldText(list[header.selected_index]->name), u"Three");
  for (int i = 0; i < 40; ++i) EXPECT_EQ(header.reserved[i], i + 1);  // carried over
}

TEST_F(ProfileStoreTest, SaveWritesHeaderThenRecordsInListOrder) {
  const ProfileList list = ThreeProfiles();
  ASSERT_TRUE(SaveProfileStore(path_, Header(1), list).ok());
  const Bytes file = FileBytes();
  ASSERT_EQ(file.size(), kHeader + 3 * kRecord);
  EXPECT_EQ(file[kSelectedIndexAt], 1);
  EXPECT_EQ(file[kHeaderReservedAt], 1);
  EXPECT_EQ(file[kHeaderReservedAt + 39], 40);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(std::memcmp(file.data() + kHeader + i * kRecord, list[i].get(), kRecord), 0) << i;
  EXPECT_EQ(file, SerializeProfileStore(Header(1), list));
}

TEST_F(ProfileStoreTest, LoadThenSaveGivesTheSameBytes) {
  ProfileList original = ThreeProfiles();
  original[1]->format_tag = 12345;  // never checked, kept as read
  original[2]->active_bank = 1;
  std::memset(original[0]->reserved_head, 0x77, sizeof original[0]->reserved_head);
  const Bytes first = SerializeProfileStore(Header(1), original);
  WriteFile(first);
  StoreHeader header{};
  ProfileList list;
  (void)LoadProfileStore(path_, Model::KB_3, u"unused", header, list);
  EXPECT_EQ(list[1]->format_tag, 12345);
  ASSERT_TRUE(SaveProfileStore(path_, header, list).ok());
  EXPECT_EQ(FileBytes(), first);
}

TEST_F(ProfileStoreTest, EmptyListSavesAnEmptyFile) {
  ASSERT_TRUE(SaveProfileStore(path_, Header(0), ThreeProfiles()).ok());
  ASSERT_TRUE(SaveProfileStore(path_, Header(0), ProfileList{}).ok());
  EXPECT_TRUE(FileBytes().empty());
}

struct SizeCase {
  std::size_t size;
  int records;
  std::size_t dropped;
};

class ProfileStoreSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ProfileStoreSizeTest, KeepsWholeRecordsOnly) {
  ProfileList source = ThreeProfiles();
  Bytes bytes = SerializeProfileStore(Header(0), source);
  bytes.resize(GetParam().size, 0xCC);
  StoreHeader header = Header(9);
  ProfileList list = ThreeProfiles();
  const ProfileStoreParse parse = ParseProfileStore(bytes, header, list);
  EXPECT_EQ(parse.records, GetParam().records);
  EXPECT_EQ(parse.dropped_bytes, GetParam().dropped);
  ASSERT_EQ(list.size(), static_cast<std::size_t>(GetParam().records));
  for (int i = 0; i < GetParam().records; ++i)
    EXPECT_EQ(std::memcmp(list[i].get(), source[i].get(), kRecord), 0) << i;
  EXPECT_EQ(header.selected_index, 0);
  if (GetParam().size < kHeader) {
    for (std::uint8_t b : header.reserved) EXPECT_EQ(b, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ProfileStoreSizeTest,
    ::testing::Values(SizeCase{0, 0, 0}, SizeCase{1, 0, 1}, SizeCase{43, 0, 43}, SizeCase{44, 0, 0},
                      SizeCase{45, 0, 1}, SizeCase{44 + kRecord - 1, 0, kRecord - 1},
                      SizeCase{44 + kRecord, 1, 0}, SizeCase{44 + kRecord + 100, 1, 100},
                      SizeCase{44 + 2 * kRecord + kRecord - 1, 2, kRecord - 1},
                      SizeCase{44 + 3 * kRecord, 3, 0}, SizeCase{44 + 3 * kRecord + 7, 3, 7}));

struct ClampCase {
  std::int32_t stored;
  int records;
  std::int32_t expected;
};

class SelectedIndexTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(SelectedIndexTest, IsClampedIntoTheList) {
  ProfileList source;
  for (int i = 0; i < GetParam().records; ++i) NewDefaultProfile(u"p", Model::KB_3, source);
  Bytes bytes = SerializeProfileStore(Header(GetParam().stored), source);
  if (bytes.empty()) {
    bytes.resize(kHeader, 0);
    std::memcpy(bytes.data(), &GetParam().stored, 4);
  }
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreParse parse = ParseProfileStore(bytes, header, list);
  EXPECT_EQ(header.selected_index, GetParam().expected);
  EXPECT_EQ(parse.selected_index_clamped, GetParam().stored != GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, SelectedIndexTest,
                         ::testing::Values(ClampCase{0, 3, 0}, ClampCase{2, 3, 2},
                                           ClampCase{3, 3, 2}, ClampCase{7, 3, 2},
                                           ClampCase{-1, 3, 0}, ClampCase{INT_MIN, 3, 0},
                                           ClampCase{INT_MAX, 3, 2}, ClampCase{0, 1, 0},
                                           ClampCase{1, 1, 0}, ClampCase{4, 0, 0},
                                           ClampCase{-4, 0, 0}));

TEST_F(ProfileStoreTest, UnterminatedNamesAreTerminated) {
  ProfileList source = ThreeProfiles();
  for (char16_t& unit : source[1]->name) unit = u'N';
  for (char16_t& unit : source[2]->banks[1].fn_keys[55].macro_name) unit = u'M';
  for (char16_t& unit : source[2]->banks[0].keys[0].macro_name) unit = u'M';
  const Bytes bytes = SerializeProfileStore(Header(0), source);
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreParse parse = ParseProfileStore(bytes, header, list);
  EXPECT_EQ(parse.names_terminated, 3);
  EXPECT_EQ(FieldText(list[1]->name), std::u16string(49, u'N'));
  EXPECT_EQ(FieldText(list[2]->banks[1].fn_keys[55].macro_name), std::u16string(23, u'M'));
  EXPECT_EQ(FieldText(list[2]->banks[0].keys[0].macro_name), std::u16string(23, u'M'));
  EXPECT_EQ(FieldText(list[0]->name), u"One");
}

// The default store lives in memory only: a command that merely reads must not replace what may
// be the remains of the user's profiles; the first save keeps the file aside (lost_bytes).
TEST_F(ProfileStoreTest, StoreWithoutAWholeRecordFallsBackToTheDefaultStoreForKb3) {
  for (std::size_t size : {std::size_t{0}, std::size_t{20}, kHeader, kHeader + kRecord - 1}) {
    Bytes bytes(size, 0xEE);
    WriteFile(bytes);
    StoreHeader header = Header(4);
    ProfileList list;
    const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"Profile_1", header, list);
    EXPECT_NE(load.file, StoreFileState::Missing);
    EXPECT_TRUE(load.created_default);
    EXPECT_TRUE(load.save.ok());
    EXPECT_EQ(load.parse.dropped_bytes, size < kHeader ? size : size - kHeader);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(FieldText(list[0]->name), u"Profile_1");
    EXPECT_EQ(header.selected_index, 0);
    EXPECT_EQ(load.lost_bytes(), size != 0 && size != kHeader) << "a header alone loses nothing";
    EXPECT_EQ(FileBytes(), bytes) << size;
  }
}

TEST_F(ProfileStoreTest, StoreWithoutAWholeRecordStaysEmptyForKb4) {
  WriteFile(Bytes(30, 0x11));
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_4, u"Profile_1", header, list);
  EXPECT_NE(load.file, StoreFileState::Missing);
  EXPECT_FALSE(load.created_default);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(FileBytes(), Bytes(30, 0x11));
}

TEST_F(ProfileStoreTest, PartialLastRecordIsDroppedButNotRewrittenAtLoad) {
  Bytes bytes = SerializeProfileStore(Header(0), ThreeProfiles());
  bytes.resize(bytes.size() - 10);
  WriteFile(bytes);
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"Profile_1", header, list);
  EXPECT_FALSE(load.created_default);
  EXPECT_EQ(load.parse.records, 2);
  EXPECT_EQ(load.parse.dropped_bytes, kRecord - 10);
  EXPECT_EQ(FileBytes(), bytes);
}

TEST_F(ProfileStoreTest, UnreadableStoreIsNotOverwritten) {
  fs::create_directories(path_);  // a folder where the store should be: opens, cannot be read
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"Profile_1", header, list);
  EXPECT_NE(load.file, StoreFileState::Missing);
  EXPECT_FALSE(load.read.ok());
  EXPECT_FALSE(load.read.reason().empty());
  EXPECT_TRUE(load.created_default);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(ProfileStoreTest, GarbageNeverBreaksTheInvariants) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 60; ++round) {
    const std::size_t size = random() % (kHeader + 3 * kRecord + 50);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    StoreHeader header{};
    ProfileList list;
    const ProfileStoreParse parse = ParseProfileStore(bytes, header, list);
    ASSERT_EQ(static_cast<std::size_t>(parse.records), list.size());
    ASSERT_EQ(kHeader * (size >= kHeader) + list.size() * kRecord + parse.dropped_bytes, size);
    ASSERT_GE(header.selected_index, 0);
    ASSERT_LE(header.selected_index, list.empty() ? 0 : static_cast<std::int32_t>(list.size() - 1));
    for (const auto& record : list) {
      ASSERT_LT(FieldText(record->name).size(), 50u);
      for (const ProfileBank& bank : record->banks)
        for (const KeyEntry& entry : bank.keys) ASSERT_LT(FieldText(entry.macro_name).size(), 24u);
      (void)ActiveBank(*record);
    }
  }
}

TEST_F(ProfileStoreTest, InterruptedSaveLeavesTheOldStoreWhole) {
  ProfileList list = ThreeProfiles();
  ASSERT_TRUE(SaveProfileStore(path_, Header(0), list).ok());
  const Bytes before = FileBytes();
  int calls = 0;
  SetBeforeRenameHookForTesting([&calls](const fs::path& temp) {
    ++calls;
    EXPECT_EQ(fs::file_size(temp), 44u + 4 * 48584u);  // the new store was complete
    return false;
  });
  NewDefaultProfile(u"Four", Model::KB_3, list);
  const Status saved = SaveProfileStore(path_, Header(3), list);
  EXPECT_FALSE(saved.ok());
  EXPECT_FALSE(saved.reason().empty());
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(OtherEntries(), 0);
}

TEST_F(ProfileStoreTest, SaveIntoAnUnwritableFolderFailsAndKeepsTheOldFile) {
  ASSERT_TRUE(SaveProfileStore(path_, Header(0), ThreeProfiles()).ok());
  const Bytes before = FileBytes();
  testing::UnwritableFolder unwritable(path_.parent_path());
  ASSERT_TRUE(unwritable.active()) << "cannot make a folder unwritable: run as an ordinary user";
  const Status saved = SaveProfileStore(path_, Header(1), ThreeProfiles());
  unwritable.Restore();
  EXPECT_FALSE(saved.ok());
  EXPECT_NE(saved.reason().find(path_.parent_path().string()), std::string::npos) << saved.reason();
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(OtherEntries(), 0);
}

// A disk that fills up during the write.
TEST_F(ProfileStoreTest, SaveThatCannotWriteFailsAndKeepsTheOldFile) {
  ASSERT_TRUE(SaveProfileStore(path_, Header(0), ThreeProfiles()).ok());
  const Bytes before = FileBytes();
  Status saved = Status::Ok();
  {
    testing::FileSizeLimit limit(1000);
    ASSERT_TRUE(limit.ok());
    saved = SaveProfileStore(path_, Header(1), ThreeProfiles());
  }
  EXPECT_FALSE(saved.ok());
  EXPECT_FALSE(saved.reason().empty());
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(OtherEntries(), 0);
}

TEST_F(ProfileStoreTest, FailedDefaultStoreWriteIsReported) {
  // The store's folder cannot be made: a file stands where the folder should be.
  fs::create_directories(folder_.path() / "Data" / "kb");
  ASSERT_TRUE(WriteFileAtomically(folder_.path() / "Data" / "kb" / "kb_3", Bytes{1}).ok());
  StoreHeader header{};
  ProfileList list;
  const ProfileStoreLoad load = LoadProfileStore(path_, Model::KB_3, u"Profile_1", header, list);
  EXPECT_TRUE(load.created_default);
  EXPECT_FALSE(load.save.ok());
  ASSERT_EQ(list.size(), 1u);  // the program still has its profile in memory
}

}  // namespace
}  // namespace kb
