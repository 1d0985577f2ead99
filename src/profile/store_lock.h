// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Advisory locks on one model's stores, so that the program and kbctl never overwrite each
// other's saves. Two lock files in the model's data folder, both taken with flock(2), which the
// kernel releases when the process ends, also after kill -9:
//   ".kbconfig.lock"  the program holds it exclusively for as long as it runs; a kbctl writer
//                     takes it shared without waiting, so it learns at once that the program is
//                     running, and the program cannot start in the middle of a kbctl write.
//   ".writers.lock"   every read-modify-write holds it exclusively, so writers queue.
// Reading needs no lock: every save replaces the store by one rename. Creating a missing store
// is a write, though: a reader that must do it holds the writers' lock meanwhile (see
// LockForCreating), so it never runs between another writer's load and save.

#include <filesystem>

#include "common/status.h"
#include "profile/store_paths.h"

namespace kb {

class StoreLock {
 public:
  StoreLock() = default;
  StoreLock(StoreLock&& other) noexcept;
  StoreLock& operator=(StoreLock&& other) noexcept;
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
  ~StoreLock();  // releases what it holds

  bool held() const { return program_fd_ >= 0 || writers_fd_ >= 0; }

  // The program, at start-up, for each model it starts: holds the model's stores until the lock
  // is destroyed. Waits for kbctl writes that are under way (they are short); fails when
  // another program holds the stores. Creates the data folder when it is missing.
  [[nodiscard]] static Status HoldForProgram(const ModelPaths& paths, StoreLock* out);

  // kbctl, around one read-modify-write of the model's stores. Fails at once, with a reason that
  // begins "kbconfig is running: ", while the program holds the stores; otherwise waits for
  // the other writers to finish. Creates the data folder when it is missing.
  [[nodiscard]] static Status LockForWriting(const ModelPaths& paths, StoreLock* out);

  // kbctl, around a read that may create the missing default store: waits for the other
  // writers only. Not refused while the program runs: the creation never replaces a store
  // (LoadProfileStore), so it cannot undo a save of the program. Creates the data folder.
  [[nodiscard]] static Status LockForCreating(const ModelPaths& paths, StoreLock* out);

 private:
  void Release();
  // Opens ".writers.lock" in `folder` and waits until it holds it exclusively.
  [[nodiscard]] Status TakeWritersLock(const std::filesystem::path& folder);
  int program_fd_ = -1;  // .kbconfig.lock: exclusive (program) or shared (writer)
  int writers_fd_ = -1;  // .writers.lock: exclusive (writer only)
};

// The folder the lock files lie in: the folder of the profile store.
std::filesystem::path StoreFolderOf(const ModelPaths& paths);

}  // namespace kb
