// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One keyboard model's data in one place: its profile list and store, its macro list and store,
// the current profile and everything the device link keeps about it, behind one lock.
//
// Threads: the UI thread edits through Edit, a scoped accessor that holds the lock for as long
// as it lives (keep it for one command; never across a dialog or a wait). The device worker
// never holds the lock while it sends or sleeps: it takes a copy of what it sends
// (TakeForApply), releases the lock, sends, and re-takes it to write back what it sent
// (CommitApply). Saves copy the data under the lock and write the file outside it.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "common/app_directory.h"
#include "common/status.h"
#include "device/change_detection.h"
#include "device/macro_snapshot.h"
#include "keys/keyboard_model.h"
#include "macro/macro_record.h"
#include "macro/macro_store.h"
#include "profile/profile_record.h"
#include "profile/profile_store.h"
#include "profile/store_paths.h"
#include "session/device_state.h"

namespace kb {

struct ModelDataLoad {
  ProfileStoreLoad profiles;
  MacroStoreLoad macros;
};

// What the worker takes for one apply, copied under the lock.
struct ApplyTake {
  DeviceState device_state = DeviceState::Absent;
  const ProfileRecord* source = nullptr;        // identity of the record copied; never dereferenced
  std::uint64_t selection = 0;                  // which selection of the current profile it was
  std::unique_ptr<ProfileRecord> profile;       // the current profile, to send
  std::unique_ptr<ProfileRecord> last_applied;  // what the last apply sent
  MacroSnapshot macros;                         // the macros `profile` names, as they are now
  MacroSnapshot last_macros;                    // the macros the last apply sent
  bool full_apply = false;                      // the flag as taken (and cleared) for this apply
  std::uint64_t departures = 0;                 // departures() when taken
};

class ModelData {
 public:
  ModelData(Model model, ModelPaths paths);
  ModelData(const ModelData&) = delete;
  ModelData& operator=(const ModelData&) = delete;

  const ModelInfo& info() const { return InfoOf(model_); }
  Model model() const { return model_; }
  const ModelPaths& paths() const { return paths_; }

  // Scoped access for the UI thread: holds the lock until destroyed (or Release). References
  // it hands out are valid only while it lives. When it ends, a current profile that is no
  // longer in the list is replaced by the record at the (clamped) selected index, so the
  // current reference never dangles.
  class Edit {
   public:
    Edit(Edit&&) = default;
    Edit& operator=(Edit&&) = delete;
    ~Edit();

    ProfileRecord* current() const;  // null when there is none
    ProfileList& profiles() const;
    MacroList& macros() const;
    StoreHeader& header() const;

    // current := profile `index` (none when out of range or negative); selected_index := index;
    // sets the full-apply flag.
    void SelectProfile(int index);
    // current := profile `index` as SelectProfile does, but the next apply sends only what
    // differs from what the last apply left on the keyboard: the switch to an application's
    // profile while it has the focus, where a whole profile would keep the user waiting. After
    // an apply that did not reach the keyboard, or an arrival, the flag is set anyway.
    void SwitchProfile(int index);
    // The next apply sends lighting, colours and keys without comparing.
    void RequestFullApply();

    DeviceState device_state() const;
    // Arrival (true) or removal (Present or Absent); an arrival also sets the full-apply flag.
    void SetDevicePresent(bool present);

    // Ends the access early.
    void Release();

   private:
    friend class ModelData;
    explicit Edit(ModelData& data);
    ModelData* data_;
    std::unique_lock<std::mutex> lock_;
  };

  // UI thread (or any thread that holds no Edit of this object).
  Edit Lock();

  // UI thread, once at start-up, before the worker gets requests: loads the profile store and
  // the macro store, makes the selected profile current, copies it into the last-applied copy,
  // takes the macro snapshot and sets the full-apply flag. `first_profile_name` names the
  // profile of a new store.
  ModelDataLoad Load(std::u16string_view first_profile_name);

  // Brief reads under the lock, any thread.
  DeviceState device_state() const;
  // How often the keyboard has gone away since the start. An apply that sees it grow knows the
  // keyboard left during its transfer, even when it is back by the time the transfer gives up.
  std::uint64_t departures() const;
  bool full_apply_pending() const;
  ChangedFlags changed_flags() const;  // what the last apply that reached the keyboard sent
  std::unique_ptr<ProfileRecord> CopyOfCurrent() const;  // null when there is none
  std::unique_ptr<ProfileRecord> CopyOfLastApplied() const;
  // Whether an apply would send anything: the current profile, or a macro its keys name,
  // differs from what the last apply that reached the keyboard sent (or, before the first,
  // from the profile as loaded). False without a current profile.
  bool KeyboardBehind() const;

  // Writes the whole store from a copy taken under the lock; the file write runs outside it.
  // A store that existed but could not be read at Load is never overwritten (the save fails
  // and says so); one that was loaded with losses is first kept aside (KeepDamagedStore), and
  // the copy's path is reported once through TakeDamagedCopies.
  // Saves from several threads never leave an older state on disk after a newer one. Any
  // thread that holds no Edit (a call made while holding one fails instead of deadlocking).
  Status SaveProfileStore();
  Status SaveMacroStore();
  // The damaged stores kept aside since the last call, to tell the user once. Any thread.
  std::vector<std::filesystem::path> TakeDamagedCopies();

  // Worker thread. Copies what one apply sends. With the keyboard present and a current profile,
  // clears the full-apply flag (CommitApply sets it again if the apply fails), so that a flag
  // set while the apply runs survives it.
  ApplyTake TakeForApply();
  // Worker thread, after the transfer. When it reached the keyboard: the offsets the transfer
  // gave (`sent`, when keys were sent) are written into the record it was taken from, if that
  // is still the current profile by the same selection (after any other selection the next
  // apply sends everything and gives new offsets anyway); the last-applied copy becomes `sent` and
  // the macro snapshot the macros that were sent, so an edit made during the apply goes out with
  // the next one. When it failed: the full-apply flag is set again and the copies stay as they
  // were.
  void CommitApply(const ApplyTake& take, const ProfileRecord& sent, ChangedFlags changed,
                   bool reached);

 private:
  bool HeldByThisThread() const;
  void RevalidateCurrentLocked();

  const Model model_;
  const ModelPaths paths_;

  mutable std::mutex mutex_;
  std::atomic<std::thread::id> owner_{};  // the thread in an Edit, for the deadlock check

  // Guarded by mutex_.
  DeviceState device_state_ = DeviceState::Absent;
  std::uint64_t departures_ = 0;
  StoreHeader header_{};
  ProfileList profiles_;
  ProfileRecord* current_ = nullptr;
  // Counts every change of current_, so a reused address is told apart.
  std::uint64_t selection_ = 0;
  std::unique_ptr<ProfileRecord> last_applied_;
  MacroList macros_;
  MacroSnapshot macro_snapshot_;
  bool full_apply_ = true;
  ChangedFlags changed_;
  std::uint64_t profile_save_generation_ = 0;
  std::uint64_t macro_save_generation_ = 0;

  // One save path at a time; the newest copy wins. Guarded by save_mutex_.
  std::mutex save_mutex_;
  struct StoreGuard {
    bool unreadable = false;  // existed but could not be read: never overwritten
    bool lost_bytes = false;  // keep the file aside before the first save
  };
  StoreGuard profile_guard_;
  StoreGuard macro_guard_;
  std::vector<std::filesystem::path> damaged_copies_;
  Status GuardedSave(StoreGuard& guard, const std::filesystem::path& path,
                     const std::function<Status()>& save);
  std::uint64_t profile_written_generation_ = 0;
  std::uint64_t macro_written_generation_ = 0;
};

}  // namespace kb
