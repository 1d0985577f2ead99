// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/model_data.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "device/change_detection.h"
#include "keys/assignment_kind.h"

namespace kb {
namespace {

std::unique_ptr<ProfileRecord> CopyOf(const ProfileRecord& record) {
  return std::make_unique<ProfileRecord>(record);
}

std::unique_ptr<ProfileRecord> ZeroRecord() {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0, sizeof(ProfileRecord));
  return record;
}

ProfileRecord* RecordAt(const ProfileList& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
  return list[static_cast<std::size_t>(index)].get();
}

// The offsets an upload gave to the entries that take one.
void CopyMacroOffsets(const ProfileRecord& from, ProfileRecord& to) {
  constexpr std::size_t kOffsetSize = sizeof(KeyEntry::device_macro_offset);
  for (std::size_t b = 0; b < std::size(from.banks); ++b) {
    for (int k = 0; k < kKeyCount; ++k) {
      if (TakesDeviceMacroOffset(from.banks[b].keys[k].kind)) {
        std::memcpy(to.banks[b].keys[k].device_macro_offset,
                    from.banks[b].keys[k].device_macro_offset, kOffsetSize);
      }
    }
    for (int f = 0; f < kFnSlotCount; ++f) {
      if (TakesDeviceMacroOffset(from.banks[b].fn_keys[f].kind)) {
        std::memcpy(to.banks[b].fn_keys[f].device_macro_offset,
                    from.banks[b].fn_keys[f].device_macro_offset, kOffsetSize);
      }
    }
  }
}

Status HeldStatus() {
  return Status::Fail("store save requested while this thread holds the model data lock");
}

}  // namespace

ModelData::ModelData(Model model, ModelPaths paths)
    : model_(model), paths_(std::move(paths)), last_applied_(ZeroRecord()) {}

// ---- Edit ----

ModelData::Edit::Edit(ModelData& data) : data_(&data), lock_(data.mutex_) {
  data_->owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
}

ModelData::Edit::~Edit() { Release(); }

void ModelData::Edit::Release() {
  if (!lock_.owns_lock()) return;
  data_->RevalidateCurrentLocked();
  data_->owner_.store(std::thread::id(), std::memory_order_relaxed);
  lock_.unlock();
}

ProfileRecord* ModelData::Edit::current() const { return data_->current_; }
ProfileList& ModelData::Edit::profiles() const { return data_->profiles_; }
MacroList& ModelData::Edit::macros() const { return data_->macros_; }
StoreHeader& ModelData::Edit::header() const { return data_->header_; }

void ModelData::Edit::SelectProfile(int index) {
  data_->header_.selected_index = index;
  data_->current_ = RecordAt(data_->profiles_, index);
  ++data_->selection_;
  data_->full_apply_ = true;
}

void ModelData::Edit::SwitchProfile(int index) {
  const bool full = data_->full_apply_;
  SelectProfile(index);
  data_->full_apply_ = full;
}

void ModelData::Edit::RequestFullApply() { data_->full_apply_ = true; }

DeviceState ModelData::Edit::device_state() const { return data_->device_state_; }

void ModelData::Edit::SetDevicePresent(bool present) {
  if (!present && data_->device_state_ == DeviceState::Present) ++data_->departures_;
  data_->device_state_ = present ? DeviceState::Present : DeviceState::Absent;
  if (present) data_->full_apply_ = true;
}

ModelData::Edit ModelData::Lock() { return Edit(*this); }

bool ModelData::HeldByThisThread() const {
  return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

void ModelData::RevalidateCurrentLocked() {
  if (current_ == nullptr) return;
  const bool listed = std::any_of(profiles_.begin(), profiles_.end(),
                                  [&](const auto& record) { return record.get() == current_; });
  if (listed) return;
  if (profiles_.empty()) {
    current_ = nullptr;
  } else {
    header_.selected_index =
        std::clamp(header_.selected_index, 0, static_cast<int>(profiles_.size()) - 1);
    current_ = RecordAt(profiles_, header_.selected_index);
  }
  ++selection_;
  full_apply_ = true;
}

// ---- Start-up ----

ModelDataLoad ModelData::Load(std::u16string_view first_profile_name) {
  ModelDataLoad load;
  StoreHeader header{};
  ProfileList profiles;
  MacroList macros;
  load.profiles =
      LoadProfileStore(paths_.profile_store, model_, first_profile_name, header, profiles);
  load.macros = LoadMacroStore(paths_.macro_store, macros);

  {
    std::lock_guard save(save_mutex_);
    profile_guard_ = {.unreadable = !load.profiles.read.ok(),
                      .lost_bytes = load.profiles.lost_bytes()};
    macro_guard_ = {.unreadable = load.macros.file == StoreFileState::Unreadable,
                    .lost_bytes = load.macros.lost_bytes()};
  }
  std::lock_guard lock(mutex_);
  header_ = header;
  profiles_ = std::move(profiles);
  macros_ = std::move(macros);
  current_ = RecordAt(profiles_, header_.selected_index);
  ++selection_;
  last_applied_ = current_ ? CopyOf(*current_) : ZeroRecord();
  macro_snapshot_ = current_ ? MacroSnapshot::Take(*current_, macros_) : MacroSnapshot();
  full_apply_ = true;
  return load;
}

// ---- Reads ----

DeviceState ModelData::device_state() const {
  std::lock_guard lock(mutex_);
  return device_state_;
}

std::uint64_t ModelData::departures() const {
  std::lock_guard lock(mutex_);
  return departures_;
}

bool ModelData::full_apply_pending() const {
  std::lock_guard lock(mutex_);
  return full_apply_;
}

ChangedFlags ModelData::changed_flags() const {
  std::lock_guard lock(mutex_);
  return changed_;
}

std::unique_ptr<ProfileRecord> ModelData::CopyOfCurrent() const {
  std::lock_guard lock(mutex_);
  return current_ ? CopyOf(*current_) : nullptr;
}

std::unique_ptr<ProfileRecord> ModelData::CopyOfLastApplied() const {
  std::lock_guard lock(mutex_);
  return CopyOf(*last_applied_);
}

// ---- Saves ----

Status ModelData::SaveProfileStore() {
  if (HeldByThisThread()) return HeldStatus();
  StoreHeader header{};
  ProfileList copy;
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(mutex_);
    header = header_;
    copy.reserve(profiles_.size());
    for (const auto& record : profiles_) copy.push_back(CopyOf(*record));
    generation = ++profile_save_generation_;
  }
  std::lock_guard save(save_mutex_);
  // A newer copy already reached the disk; writing this one would undo it.
  if (generation < profile_written_generation_) return Status::Ok();
  Status status = GuardedSave(profile_guard_, paths_.profile_store, [&] {
    return kb::SaveProfileStore(paths_.profile_store, header, copy);
  });
  if (status) profile_written_generation_ = generation;
  return status;
}

Status ModelData::SaveMacroStore() {
  if (HeldByThisThread()) return HeldStatus();
  MacroList copy;
  std::uint64_t generation = 0;
  {
    std::lock_guard lock(mutex_);
    copy.reserve(macros_.size());
    for (const auto& record : macros_) copy.push_back(std::make_unique<MacroRecord>(*record));
    generation = ++macro_save_generation_;
  }
  std::lock_guard save(save_mutex_);
  if (generation < macro_written_generation_) return Status::Ok();
  Status status = GuardedSave(macro_guard_, paths_.macro_store,
                              [&] { return kb::SaveMacroStore(paths_.macro_store, copy); });
  if (status) macro_written_generation_ = generation;
  return status;
}

Status ModelData::GuardedSave(StoreGuard& guard, const std::filesystem::path& path,
                              const std::function<Status()>& save) {
  if (guard.unreadable) {
    return Status::Fail(path.string() +
                        " could not be read when the program started; it is left as it is");
  }
  if (guard.lost_bytes) {
    std::filesystem::path kept;
    if (Status status = KeepDamagedStore(path, &kept); !status) return status;
    guard.lost_bytes = false;
    damaged_copies_.push_back(std::move(kept));
  }
  return save();
}

std::vector<std::filesystem::path> ModelData::TakeDamagedCopies() {
  std::lock_guard save(save_mutex_);
  return std::exchange(damaged_copies_, {});
}

// ---- Worker ----

bool ModelData::KeyboardBehind() const {
  std::lock_guard lock(mutex_);
  if (current_ == nullptr || last_applied_ == nullptr) return false;
  return DetectChanges(*last_applied_, *current_, MacroSnapshot::Take(*current_, macros_),
                       macro_snapshot_)
      .any();
}

ApplyTake ModelData::TakeForApply() {
  ApplyTake take;
  std::lock_guard lock(mutex_);
  take.device_state = device_state_;
  take.departures = departures_;
  if (device_state_ != DeviceState::Present || current_ == nullptr) return take;
  take.source = current_;
  take.selection = selection_;
  take.profile = CopyOf(*current_);
  take.last_applied = CopyOf(*last_applied_);
  take.macros = MacroSnapshot::Take(*current_, macros_);
  take.last_macros = macro_snapshot_;
  take.full_apply = full_apply_;
  full_apply_ = false;
  return take;
}

void ModelData::CommitApply(const ApplyTake& take, const ProfileRecord& sent, ChangedFlags changed,
                            bool reached) {
  std::lock_guard lock(mutex_);
  if (!reached) {
    full_apply_ = true;
    return;
  }
  if (changed.keys && current_ == take.source && selection_ == take.selection) {
    CopyMacroOffsets(sent, *current_);
  }
  *last_applied_ = sent;
  macro_snapshot_ = take.macros;
  changed_ = changed;
}

}  // namespace kb
