// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_store.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>

#include "common/file_io.h"
#include "common/utf16_text.h"
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
constexpr std::size_t kLoopTimeOffset = 100;
constexpr std::size_t kActionCountOffset = 104;
constexpr std::size_t kActionsOffset = 108;
constexpr std::size_t kActionSize = 12;

std::int32_t Int32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(bytes[offset] | bytes[offset + 1] << 8 |
                                   bytes[offset + 2] << 16 |
                                   static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

void PutInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> StoreImage(std::initializer_list<const MacroRecord*> macros) {
  std::vector<std::uint8_t> bytes;
  for (const MacroRecord* m : macros) {
    auto image = ImageOf(*m);
    bytes.insert(bytes.end(), image.begin(), image.end());
  }
  return bytes;
}

MacroList ThreeMacros() {
  MacroList list;
  list.push_back(MakeMacro(u"Burst", 3));
  list.push_back(MakeMacro(u"Combo", 5, 7));
  list.push_back(MakeMacro(u"Spray", 1));
  return list;
}

TEST(MacroStore, MissingFileGivesEmptyListAndWritesNothing) {
  TempDir dir;
  MacroList list;
  MacroStoreLoad load = LoadMacroStore(dir / "macro.mcos", list);
  EXPECT_EQ(load.file, StoreFileState::Missing);
  EXPECT_TRUE(load.read.ok());
  EXPECT_EQ(load.loaded, 0u);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "macro.mcos"));
}

TEST(MacroStore, UnreadablePathGivesEmptyListWithReason) {
  TempDir dir;
  std::filesystem::create_directory(dir / "macro.mcos");
  MacroList list;
  MacroStoreLoad load = LoadMacroStore(dir / "macro.mcos", list);
  EXPECT_EQ(load.file, StoreFileState::Unreadable);
  EXPECT_FALSE(load.read.reason().empty());
  EXPECT_TRUE(list.empty());
}

TEST(MacroStore, ThreeMacrosLoadInFileOrder) {
  TempDir dir;
  MacroList saved = ThreeMacros();
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", saved).ok());
  EXPECT_EQ(std::filesystem::file_size(dir / "macro.mcos"), 3 * kRecord);

  MacroList list;
  MacroStoreLoad load = LoadMacroStore(dir / "macro.mcos", list);
  EXPECT_EQ(load.file, StoreFileState::Read);
  EXPECT_EQ(load.loaded, 3u);
  EXPECT_EQ(load.dropped_tail_bytes, 0u);
  EXPECT_EQ(load.clamped_action_counts, 0u);
  EXPECT_EQ(load.terminated_names, 0u);
  ASSERT_EQ(list.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(ImageOf(*list[i]), ImageOf(*saved[i])) << i;
}

// Records are kept without their blocks of zeros: whatever a record holds in its first block,
// amid zeros or in its last bytes comes back byte for byte, over more records than one read
// takes.
TEST(MacroStore, SparseRecordsLoadByteForByte) {
  TempDir dir;
  constexpr std::size_t kCount = 40;
  std::vector<std::uint8_t> bytes(kCount * kRecord, 0);
  for (std::size_t i = 0; i < kCount; ++i) {
    const std::size_t at = i * kRecord;
    bytes[at] = 'M';
    PutInt32(bytes, at + kLoopTimeOffset, 1);
    PutInt32(bytes, at + kActionCountOffset, 3000);
    bytes[at + kActionsOffset + 1500 * kActionSize] = static_cast<std::uint8_t>(i + 1);
    bytes[at + kRecord - 1] = static_cast<std::uint8_t>(0x80 + i);
  }
  WriteBytes(dir / "macro.mcos", bytes);

  MacroList list;
  const MacroStoreLoad load = LoadMacroStore(dir / "macro.mcos", list);
  EXPECT_EQ(load.loaded, kCount);
  ASSERT_EQ(list.size(), kCount);
  for (std::size_t i = 0; i < kCount; ++i)
    EXPECT_EQ(ImageOf(*list[i]), std::vector<std::uint8_t>(bytes.begin() + i * kRecord,
                                                           bytes.begin() + (i + 1) * kRecord))
        << i;
}

TEST(MacroStore, SaveWritesRecordsBackToBackAsInMemory) {
  TempDir dir;
  MacroList list = ThreeMacros();
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", list).ok());
  const auto bytes = FileBytes(dir / "macro.mcos");
  ASSERT_EQ(bytes.size(), 3 * kRecord);
  EXPECT_EQ(bytes, StoreImage({list[0].get(), list[1].get(), list[2].get()}));
  // Second record: "Combo", loop time 7, five actions, first action A pressed after 10 ms.
  const std::size_t second = kRecord;
  EXPECT_EQ(bytes[second + 0], 'C');
  EXPECT_EQ(bytes[second + 1], 0);
  EXPECT_EQ(bytes[second + 8], 'o');
  EXPECT_EQ(bytes[second + 10], 0);  // NUL after five units
  EXPECT_EQ(Int32At(bytes, second + kLoopTimeOffset), 7);
  EXPECT_EQ(Int32At(bytes, second + kActionCountOffset), 5);
  EXPECT_EQ(bytes[second + kActionsOffset + 0], 0x04);  // action_code
  EXPECT_EQ(bytes[second + kActionsOffset + 1], 1);     // action_kind: press
  EXPECT_EQ(bytes[second + kActionsOffset + 2], 10);    // delay, little-endian
  EXPECT_EQ(bytes[second + kActionsOffset + 3], 0);
  EXPECT_EQ(bytes[second + kActionsOffset + kActionSize + 1], 2);  // second action: release
}

TEST(MacroStore, DeletingTheSecondOfThreeLeaves72216Bytes) {
  TempDir dir;
  MacroList list = ThreeMacros();
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", list).ok());
  list.erase(list.begin() + 1);
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", list).ok());
  const auto bytes = FileBytes(dir / "macro.mcos");
  EXPECT_EQ(bytes.size(), 72216u);
  EXPECT_EQ(bytes, StoreImage({list[0].get(), list[1].get()}));
}

TEST(MacroStore, EmptyListGivesEmptyFileThatLoadsEmpty) {
  TempDir dir;
  MacroList list = ThreeMacros();
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", list).ok());
  list.clear();
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", list).ok());
  ASSERT_TRUE(std::filesystem::exists(dir / "macro.mcos"));
  EXPECT_EQ(std::filesystem::file_size(dir / "macro.mcos"), 0u);

  MacroList loaded;
  MacroStoreLoad load = LoadMacroStore(dir / "macro.mcos", loaded);
  EXPECT_EQ(load.file, StoreFileState::Read);
  EXPECT_EQ(load.loaded, 0u);
  EXPECT_TRUE(loaded.empty());
}

TEST(MacroStore, SaveCreatesTheDataFolders) {
  TempDir dir;
  MacroList list = ThreeMacros();
  const auto path = dir / "Data/kb/kb_3/macro.mcos";
  ASSERT_TRUE(SaveMacroStore(path, list).ok());
  EXPECT_EQ(std::filesystem::file_size(path), 3 * kRecord);
}

TEST(MacroStore, FailedSaveReportsAndKeepsTheOldFile) {
  TempDir dir;
  MacroList list = ThreeMacros();
  ASSERT_TRUE(SaveMacroStore(dir / "macro.mcos", list).ok());
  const auto before = FileBytes(dir / "macro.mcos");

  SetBeforeRenameHookForTesting([](const std::filesystem::path&) { return false; });
  list.pop_back();
  Status status = SaveMacroStore(dir / "macro.mcos", list);
  SetBeforeRenameHookForTesting(nullptr);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(status.reason().empty());
  EXPECT_EQ(FileBytes(dir / "macro.mcos"), before);
}

TEST(MacroStore, SaveBeneathAFileFails) {
  TempDir dir;
  WriteBytes(dir / "plain", {1, 2, 3});
  MacroList list = ThreeMacros();
  EXPECT_FALSE(SaveMacroStore(dir / "plain" / "macro.mcos", list).ok());
}

struct LengthCase {
  const char* what;
  std::size_t length;
  std::size_t loaded;
  std::size_t dropped;
};

class MacroStoreLength : public ::testing::TestWithParam<LengthCase> {};

// Only whole records are kept; a partial tail is dropped, never half-filled.
TEST_P(MacroStoreLength, KeepsWholeRecordsOnly) {
  const LengthCase& c = GetParam();
  MacroList source = ThreeMacros();
  auto bytes = StoreImage({source[0].get(), source[1].get(), source[2].get()});
  bytes.resize(c.length, 0xAB);

  MacroList list;
  MacroStoreLoad load = ParseMacroStore(bytes, list);
  EXPECT_EQ(load.file, StoreFileState::Read);
  EXPECT_EQ(load.loaded, c.loaded);
  EXPECT_EQ(load.dropped_tail_bytes, c.dropped);
  ASSERT_EQ(list.size(), c.loaded);
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(std::memcmp(list[i].get(), bytes.data() + i * kRecord, kRecord), 0) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, MacroStoreLength,
    ::testing::Values(LengthCase{"empty", 0, 0, 0}, LengthCase{"one byte", 1, 0, 1},
                      LengthCase{"shorter than a record", 100, 0, 100},
                      LengthCase{"one byte short of one", kRecord - 1, 0, kRecord - 1},
                      LengthCase{"exactly one", kRecord, 1, 0},
                      LengthCase{"one and a bit", kRecord + 5, 1, 5},
                      LengthCase{"one byte short of two", 2 * kRecord - 1, 1, kRecord - 1},
                      LengthCase{"three", 3 * kRecord, 3, 0},
                      LengthCase{"three and a partial fourth", 3 * kRecord + 200, 3, 200}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(MacroStore, ShortFileOnDiskLoadsNothing) {
  TempDir dir;
  WriteBytes(dir / "macro.mcos", std::vector<std::uint8_t>(100, 0x41));
  MacroList list;
  MacroStoreLoad load = LoadMacroStore(dir / "macro.mcos", list);
  EXPECT_EQ(load.file, StoreFileState::Read);
  EXPECT_EQ(load.loaded, 0u);
  EXPECT_EQ(load.dropped_tail_bytes, 100u);
  EXPECT_TRUE(list.empty());
}

struct CountCase {
  std::int32_t stored;
  std::int32_t loaded;
  bool clamped;
};

class MacroStoreActionCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(MacroStoreActionCount, IsClampedInto0To3000) {
  const CountCase& c = GetParam();
  auto macro = MakeMacro(u"M", 0);
  auto bytes = ImageOf(*macro);
  PutInt32(bytes, kActionCountOffset, c.stored);

  MacroList list;
  MacroStoreLoad load = ParseMacroStore(bytes, list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->action_count, c.loaded);
  EXPECT_EQ(load.clamped_action_counts, c.clamped ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Counts, MacroStoreActionCount,
                         ::testing::Values(CountCase{-5, 0, true}, CountCase{-1, 0, true},
                                           CountCase{0, 0, false}, CountCase{1, 1, false},
                                           CountCase{3000, 3000, false},
                                           CountCase{3001, 3000, true}, CountCase{5000, 3000, true},
                                           CountCase{INT32_MIN, 0, true},
                                           CountCase{INT32_MAX, 3000, true}));

TEST(MacroStore, UnterminatedNameIsTerminatedInItsField) {
  auto macro = MakeMacro(u"", 1);
  for (char16_t& unit : macro->name) unit = u'x';
  MacroList list;
  MacroStoreLoad load = ParseMacroStore(ImageOf(*macro), list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(load.terminated_names, 1u);
  EXPECT_EQ(list[0]->name[kNameUnits - 1], u'\0');
  EXPECT_EQ(NameOf(*list[0]), std::u16string(kMaxNameLength, u'x'));
  // Nothing but the last unit changed.
  auto expected = ImageOf(*macro);
  expected[98] = expected[99] = 0;
  EXPECT_EQ(ImageOf(*list[0]), expected);
}

TEST(MacroStore, LoopTimeIsCarriedAsStored) {
  auto macro = MakeMacro(u"M", 1, 0);
  MacroList list;
  (void)ParseMacroStore(ImageOf(*macro), list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->loop_time, 0);
}

TEST(MacroStore, ParseAppendsAfterExistingRecords) {
  MacroList list;
  list.push_back(MakeMacro(u"First"));
  auto second = MakeMacro(u"Second");
  MacroStoreLoad load = ParseMacroStore(ImageOf(*second), list);
  EXPECT_EQ(load.loaded, 1u);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(NameOf(*list[1]), u"Second");
}

// Random bytes of random lengths, with a fixed seed: whole records only, every one in bounds.
TEST(MacroStore, RandomBytesGiveWholeRecordsInBounds) {
  std::mt19937 random(36108);
  for (int round = 0; round < 60; ++round) {
    std::vector<std::uint8_t> bytes(random() % (4 * kRecord));
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    MacroList list;
    MacroStoreLoad load = ParseMacroStore(bytes, list);
    ASSERT_EQ(list.size(), bytes.size() / kRecord) << round;
    EXPECT_EQ(load.dropped_tail_bytes, bytes.size() % kRecord) << round;
    for (const auto& macro : list) {
      EXPECT_GE(macro->action_count, 0) << round;
      EXPECT_LE(macro->action_count, kMaxMacroActions) << round;
      EXPECT_LT(NameOf(*macro).size(), static_cast<std::size_t>(kNameUnits)) << round;
    }
  }
}

}  // namespace
}  // namespace kb
