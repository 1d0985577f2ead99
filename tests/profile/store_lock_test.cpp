// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/store_lock.h"

#include <gtest/gtest.h>

#include "common/test_folders.h"

namespace kb {
namespace {

// Locks taken by separate open files conflict also within one process, as between the program
// and kbctl.
TEST(StoreLock, AWriterIsRefusedWhileTheProgramHoldsTheStoresAndWritersFollowEachOther) {
  testing::TempFolder folder("store_lock");
  ASSERT_TRUE(folder.ok());
  const ModelPaths paths{folder.path() / "Data/kb/kb_3/data.pros",
                         folder.path() / "Data/kb/kb_3/macro.mcos"};
  {
    StoreLock program;
    ASSERT_TRUE(StoreLock::HoldForProgram(paths, &program).ok());
    EXPECT_TRUE(program.held());
    StoreLock writer;
    const Status refused = StoreLock::LockForWriting(paths, &writer);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.reason().starts_with("kbconfig is running: ")) << refused.reason();
    EXPECT_FALSE(writer.held());
  }
  StoreLock first;
  ASSERT_TRUE(StoreLock::LockForWriting(paths, &first).ok());
  StoreLock moved = std::move(first);
  EXPECT_TRUE(moved.held());
  EXPECT_FALSE(first.held());
  moved = StoreLock();  // released: the next writer gets it at once
  StoreLock second;
  EXPECT_TRUE(StoreLock::LockForWriting(paths, &second).ok());
}

TEST(StoreLock, ALinkPlantedAsTheLockFileIsNotFollowed) {
  testing::TempFolder folder("store_lock");
  ASSERT_TRUE(folder.ok());
  const std::filesystem::path data = folder.path() / "Data";
  std::filesystem::create_directories(data);
  std::filesystem::create_symlink(folder.path() / "victim", data / ".kbconfig.lock");
  StoreLock lock;
  EXPECT_FALSE(StoreLock::HoldForProgram({data / "data.pros", data / "macro.mcos"}, &lock).ok());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "victim"));
}

}  // namespace
}  // namespace kb
