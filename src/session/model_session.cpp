// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/model_session.h"

#include "device/macro_memory.h"
#include "profile/store_paths.h"

namespace kb {

bool SessionStart::store_unreadable() const {
  return stores.profiles.file == StoreFileState::Unreadable ||
         stores.macros.file == StoreFileState::Unreadable;
}

bool SessionStart::store_damaged() const {
  return stores.profiles.lost_bytes() || stores.macros.lost_bytes();
}

Status SessionStart::first_problem() const {
  if (!stores.profiles.read.ok()) return stores.profiles.read;
  if (!stores.profiles.save.ok()) return stores.profiles.save;
  if (!stores.macros.read.ok()) return stores.macros.read;
  if (!link.library.ok()) return link.library;
  return Status::Ok();
}

ModelSession::ModelSession(const ModelInfo& model, const AppPaths& paths, DeviceObserver& observer,
                           Sleeper& sleeper)
    : model_(model),
      paths_(paths),
      data_(std::make_unique<ModelData>(model.model, StorePathsOf(model.model, paths))),
      link_(std::make_unique<DeviceLink>(*data_, binding_, observer, sleeper)) {}

ModelSession::~ModelSession() {
  worker_.reset();
  link_.reset();
}

SessionStart ModelSession::Start(std::u16string_view first_profile_name,
                                 const kb_message_target* target, bool worker) {
  SessionStart start;
  // The stores before the keyboard: the link's first notifications change the current profile.
  start.stores = data_->Load(first_profile_name);
  start.link = link_->Start(paths_.app_dir, target);
  if (worker) worker_ = std::make_unique<DeviceWorker>(*link_, model_.worker_message);
  return start;
}

std::vector<std::u16string> ModelSession::LeftOutMacros() const {
  auto edit = data_->Lock();
  const ProfileRecord* profile = edit.current();
  if (profile == nullptr) return {};
  return LeftOutNameList(MeasureMacroMemory(*profile, edit.macros()), edit.macros());
}

std::u16string ModelSession::LeftOutMacroNames() const { return JoinedNames(LeftOutMacros()); }

}  // namespace kb
