// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/test_folders.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.ok()); }
  void TearDown() override { SetBeforeRenameHookForTesting({}); }

  static Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
      bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 9));
    return bytes;
  }

  static Bytes Read(const fs::path& path) {
    auto bytes = ReadWholeFile(path);
    EXPECT_TRUE(bytes.has_value()) << path;
    return bytes.value_or(Bytes{});
  }

  static int Entries(const fs::path& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++n;
    return n;
  }

  testing::TempFolder folder_{"file_io"};
};

TEST_F(FileIoTest, ReadsEveryByteOfALargeFile) {
  const fs::path path = folder_.path() / "big.bin";
  const Bytes bytes = Pattern(200'001, 3);  // several read chunks and a partial one
  ASSERT_TRUE(WriteFileAtomically(path, bytes).ok());
  EXPECT_EQ(Read(path), bytes);
}

TEST_F(FileIoTest, ReadsAnEmptyFile) {
  const fs::path path = folder_.path() / "empty.bin";
  ASSERT_TRUE(WriteFileAtomically(path, Bytes{}).ok());
  auto bytes = ReadWholeFile(path);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_TRUE(bytes->empty());
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(FileIoTest, MissingFileGivesNoBytesAndAReason) {
  const fs::path path = folder_.path() / "missing.bin";
  const Result<Bytes> read = ReadWholeFile(path);
  EXPECT_FALSE(read.has_value());
  EXPECT_NE(read.reason().find(path.string()), std::string::npos) << read.reason();
}

TEST_F(FileIoTest, FolderCannotBeReadAsAFile) {
  const Result<Bytes> read = ReadWholeFile(folder_.path());
  EXPECT_FALSE(read.has_value());
  EXPECT_FALSE(read.reason().empty());
}

TEST_F(FileIoTest, WriteCreatesMissingFoldersAndAnOrdinaryFile) {
  const fs::path path = folder_.path() / "Data" / "kb" / "kb_3" / "data.pros";
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(100, 1)).ok());
  EXPECT_EQ(Read(path), Pattern(100, 1));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(Entries(path.parent_path()), 1);  // no temporary file left behind
}

TEST_F(FileIoTest, WriteReplacesTheWholeOldFile) {
  const fs::path path = folder_.path() / "store";
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(5000, 9)).ok());
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(10, 4)).ok());
  EXPECT_EQ(Read(path), Pattern(10, 4));
  EXPECT_EQ(Entries(folder_.path()), 1);
}

TEST_F(FileIoTest, PartsAreWrittenInOrder) {
  const fs::path path = folder_.path() / "parts";
  const Bytes a = {1, 2, 3}, b = {}, c = {4, 5};
  const std::span<const std::uint8_t> parts[] = {a, b, c};
  ASSERT_TRUE(WriteFileAtomically(path, parts).ok());
  EXPECT_EQ(Read(path), (Bytes{1, 2, 3, 4, 5}));
  ASSERT_TRUE(WriteFileAtomically(path, std::span<const std::span<const std::uint8_t>>{}).ok());
  EXPECT_TRUE(Read(path).empty());
}

TEST_F(FileIoTest, HookSeesTheCompleteTemporaryFileBesideTheTarget) {
  const fs::path path = folder_.path() / "store";
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(64, 0)).ok());
  fs::path seen;
  Bytes seen_bytes;
  Bytes old_at_hook;
  SetBeforeRenameHookForTesting([&](const fs::path& temp) {
    seen = temp;
    seen_bytes = Read(temp);
    old_at_hook = Read(path);
    return true;
  });
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(3000, 5)).ok());
  EXPECT_EQ(seen.parent_path(), path.parent_path());
  EXPECT_NE(seen.filename(), path.filename());
  EXPECT_EQ(seen_bytes, Pattern(3000, 5));
  EXPECT_EQ(old_at_hook, Pattern(64, 0));  // the old file stays until the rename
  EXPECT_EQ(Read(path), Pattern(3000, 5));
  EXPECT_FALSE(fs::exists(seen));
}

TEST_F(FileIoTest, InterruptedSaveLeavesTheOldFileWhole) {
  const fs::path path = folder_.path() / "store";
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(4096, 2)).ok());
  fs::path temp;
  SetBeforeRenameHookForTesting([&temp](const fs::path& t) {
    temp = t;
    return false;
  });
  const Status saved = WriteFileAtomically(path, Pattern(8192, 8));
  EXPECT_FALSE(saved.ok());
  EXPECT_NE(saved.reason().find("interrupted"), std::string::npos) << saved.reason();
  EXPECT_EQ(Read(path), Pattern(4096, 2));
  EXPECT_FALSE(temp.empty());
  EXPECT_FALSE(fs::exists(temp));
  EXPECT_EQ(Entries(folder_.path()), 1);

  SetBeforeRenameHookForTesting({});
  EXPECT_TRUE(WriteFileAtomically(path, Pattern(8192, 8)).ok());
  EXPECT_EQ(Read(path), Pattern(8192, 8));
}

TEST_F(FileIoTest, InterruptedFirstSaveLeavesNoFile) {
  const fs::path path = folder_.path() / "new";
  SetBeforeRenameHookForTesting([](const fs::path&) { return false; });
  EXPECT_FALSE(WriteFileAtomically(path, Pattern(10, 0)).ok());
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(Entries(folder_.path()), 0);
}

TEST_F(FileIoTest, SaveIntoAnUnwritableFolderFailsAndKeepsTheOldFile) {
  const fs::path sub = folder_.path() / "locked";
  const fs::path path = sub / "store";
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(300, 6)).ok());
  testing::UnwritableFolder unwritable(sub);
  ASSERT_TRUE(unwritable.active()) << "cannot make a folder unwritable: run as an ordinary user";
  const Status saved = WriteFileAtomically(path, Pattern(900, 1));
  unwritable.Restore();
  EXPECT_FALSE(saved.ok());
  EXPECT_NE(saved.reason().find("temporary"), std::string::npos) << saved.reason();
  EXPECT_EQ(Read(path), Pattern(300, 6));
  EXPECT_EQ(Entries(sub), 1);
}

TEST_F(FileIoTest, WriteThatRunsOutOfSpaceFailsAndKeepsTheOldFile) {
  const fs::path path = folder_.path() / "store";
  ASSERT_TRUE(WriteFileAtomically(path, Pattern(300, 6)).ok());
  Status saved = Status::Ok();
  {
    testing::FileSizeLimit limit(1024);
    ASSERT_TRUE(limit.ok());
    saved = WriteFileAtomically(path, Pattern(100'000, 1));
  }
  EXPECT_FALSE(saved.ok());
  EXPECT_NE(saved.reason().find("cannot write"), std::string::npos) << saved.reason();
  EXPECT_EQ(Read(path), Pattern(300, 6));
  EXPECT_EQ(Entries(folder_.path()), 1);
}

TEST_F(FileIoTest, FolderThatCannotBeMadeIsReported) {
  const fs::path blocker = folder_.path() / "Data";
  ASSERT_TRUE(WriteFileAtomically(blocker, Pattern(1, 0)).ok());  // a file where a folder should be
  const Status saved = WriteFileAtomically(blocker / "kb" / "store", Pattern(10, 0));
  EXPECT_FALSE(saved.ok());
  EXPECT_NE(saved.reason().find("cannot create folder"), std::string::npos) << saved.reason();
  EXPECT_EQ(Read(blocker), Pattern(1, 0));
}

TEST_F(FileIoTest, WhatIsNotARegularFileIsNeitherReadNorReplaced) {
  const fs::path folder = folder_.path() / "store";
  fs::create_directories(folder / "inside");
  const fs::path fifo = folder_.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const fs::path big = folder_.path() / "big";
  ASSERT_TRUE(WriteFileAtomically(big, Pattern(1001, 1)).ok());
  const struct {
    fs::path path;
    const char* kind;
  } cases[] = {{folder, "a folder"}, {fifo, "a FIFO"}, {"/dev/zero", "a device"}};
  for (const auto& c : cases) {
    const Result<Bytes> read = ReadWholeFile(c.path);
    EXPECT_FALSE(read.has_value()) << c.kind;
    EXPECT_NE(read.reason().find(c.kind), std::string::npos) << read.reason();
    if (c.path.string().starts_with("/dev")) continue;
    const Status saved = WriteFileAtomically(c.path, Pattern(10, 0));
    EXPECT_FALSE(saved.ok()) << c.kind;
    EXPECT_NE(saved.reason().find(c.kind), std::string::npos) << saved.reason();
  }
  const Result<Bytes> too_big = ReadWholeFile(big, 1000);
  EXPECT_FALSE(too_big.has_value());
  EXPECT_NE(too_big.reason().find("1001 bytes"), std::string::npos) << too_big.reason();
  EXPECT_EQ(ReadWholeFile(big, 1001).value_or(Bytes{}), Pattern(1001, 1));
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Entries(folder_.path()), 3) << "no temporary file is left";
}

TEST_F(FileIoTest, ScatteredReadsFillEachPartInTurn) {
  const fs::path path = folder_.path() / "parts.bin";
  const Bytes bytes = Pattern(10'000, 5);
  ASSERT_TRUE(WriteFileAtomically(path, bytes).ok());
  // More parts than one readv call takes, and a last part the file does not fill.
  std::vector<Bytes> parts(1500, Bytes(7));
  std::vector<std::span<std::uint8_t>> spans;
  for (Bytes& part : parts) spans.emplace_back(part);
  Result<ReadableFile> file = OpenRegularFile(path, bytes.size());
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->ReadScattered(spans).value_or(0), bytes.size());
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  joined.resize(bytes.size());
  EXPECT_EQ(joined, bytes);
}

TEST_F(FileIoTest, SavesThroughALinkKeepTheLinkAndUseShortTemporaryNames) {
  const fs::path real = folder_.path() / "real" / "data.pros";
  fs::create_directories(real.parent_path());
  ASSERT_TRUE(WriteFileAtomically(real, Pattern(5, 1)).ok());
  const fs::path link = folder_.path() / "link";
  fs::create_symlink("real/data.pros", link);
  std::string temp_name;
  SetBeforeRenameHookForTesting([&](const fs::path& temp) {
    temp_name = temp.filename().string();
    return true;
  });
  ASSERT_TRUE(WriteFileAtomically(link, Pattern(9, 2)).ok());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(real), Pattern(9, 2));
  EXPECT_TRUE(temp_name.starts_with(".data.pros.")) << temp_name;

  const fs::path long_name = folder_.path() / std::string(255, 'x');
  ASSERT_TRUE(WriteFileAtomically(long_name, Pattern(3, 3)).ok());
  EXPECT_LE(temp_name.size(), 40u) << temp_name;
  EXPECT_EQ(Read(long_name), Pattern(3, 3));

  fs::path kept;
  ASSERT_TRUE(KeepCopyBeside(link, ".old", &kept).ok());
  EXPECT_EQ(kept, real.string() + ".old");
  ASSERT_TRUE(WriteFileAtomically(link, Pattern(4, 4)).ok());
  EXPECT_EQ(Read(kept), Pattern(9, 2)) << "the kept copy is not the file saved after it";
}

TEST(BytesOfTest, SpansTheObjectsMemory) {
  const std::uint32_t value = 0x04030201;
  const auto bytes = BytesOf(value);
  ASSERT_EQ(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[3], 0x04);
  EXPECT_EQ(static_cast<const void*>(bytes.data()), static_cast<const void*>(&value));
}

}  // namespace
}  // namespace kb
