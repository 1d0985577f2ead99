// SPDX-License-Identifier: GPL-3.0-or-later
#include "stores.h"

#include <iostream>
#include <system_error>

#include "common/file_io.h"
#include "common/utf16_text.h"
#include "macro/macro_store.h"
#include "profile/store_paths.h"

namespace kbctl {
namespace {

const kb::ModelInfo& Info(const Context& context) { return kb::InfoOf(context.model); }

std::u16string TextOr(const Context& context, std::string_view key, std::u16string_view fallback) {
  std::u16string text = context.texts.Text(key);
  return text.empty() ? std::u16string(fallback) : text;
}

void KeepDamagedStore(const std::filesystem::path& path, const char* what) {
  std::filesystem::path kept;
  const kb::Status status = kb::KeepDamagedStore(path, &kept);
  if (!status.ok()) {
    throw CommandFailed(std::string("the ") + what +
                        " store was damaged and could not be kept aside, so it was not "
                        "replaced: " +
                        status.reason());
  }
  std::cerr << "kbctl: the " << what << " store had a damaged end; the old file is kept as "
            << kept.string() << '\n';
}

ProfileStore ReadProfileStore(const Context& context) {
  ProfileStore store;
  const auto path = ProfileStorePath(context);
  kb::ProfileStoreLoad load = kb::LoadProfileStore(path, context.model, FirstProfileName(context),
                                                   store.header, store.list);
  if (!load.read.ok()) throw CommandFailed("cannot read the profile store: " + load.read.reason());
  if (!load.save.ok())
    throw CommandFailed("cannot create the profile store: " + load.save.reason());
  store.lost_bytes = load.lost_bytes();
  return store;
}

}  // namespace

std::filesystem::path ProfileStorePath(const Context& context) {
  return kb::StorePathsOf(context.model, context.paths).profile_store;
}

std::filesystem::path MacroStorePath(const Context& context) {
  return kb::StorePathsOf(context.model, context.paths).macro_store;
}

kb::ModelTag ModelTagOf(const Context& context) {
  const kb::ModelInfo& info = Info(context);
  return kb::MakeModelTag(TextOr(context, info.model_text_key, kb::FromUtf8(info.name)));
}

std::u16string FirstProfileName(const Context& context) {
  return TextOr(context, Info(context).first_profile_key, u"Profile") + u"_1";
}

kb::StoreLock LockForWriting(const Context& context) {
  kb::StoreLock lock;
  const kb::Status locked =
      kb::StoreLock::LockForWriting(kb::StorePathsOf(context.model, context.paths), &lock);
  if (!locked.ok()) throw CommandFailed(locked.reason());
  return lock;
}

ProfileStore LoadProfiles(const Context& context) {
  const auto path = ProfileStorePath(context);
  std::error_code ec;
  const bool missing =
      std::filesystem::status(path, ec).type() == std::filesystem::file_type::not_found;
  // Nothing to create: no lock. Should the store vanish after this look, the load creates it
  // all the same, but never over a store that appears meanwhile.
  if (!missing || !Info(context).creates_default_store) return ReadProfileStore(context);
  kb::StoreLock lock;
  const kb::Status locked =
      kb::StoreLock::LockForCreating(kb::StorePathsOf(context.model, context.paths), &lock);
  if (!locked.ok()) throw CommandFailed(locked.reason());
  // Under the lock an import that made the store meanwhile has finished: the load reads it.
  return ReadProfileStore(context);
}

ProfileStore LoadProfiles(const Context& context, const kb::StoreLock& /*held*/) {
  return ReadProfileStore(context);
}

MacroStore LoadMacros(const Context& context) {
  MacroStore store;
  kb::MacroStoreLoad load = kb::LoadMacroStore(MacroStorePath(context), store.list);
  if (load.file == kb::StoreFileState::Unreadable)
    throw CommandFailed("cannot read the macro store: " + load.read.reason());
  store.lost_bytes = load.lost_bytes();
  return store;
}

void SaveProfiles(const Context& context, ProfileStore& store) {
  const auto path = ProfileStorePath(context);
  if (store.lost_bytes) {
    KeepDamagedStore(path, "profile");
    store.lost_bytes = false;
  }
  kb::Status saved = kb::SaveProfileStore(path, store.header, store.list);
  if (!saved.ok()) throw CommandFailed("cannot save the profile store: " + saved.reason());
}

void SaveMacros(const Context& context, MacroStore& store) {
  const auto path = MacroStorePath(context);
  if (store.lost_bytes) {
    KeepDamagedStore(path, "macro");
    store.lost_bytes = false;
  }
  kb::Status saved = kb::SaveMacroStore(path, store.list);
  if (!saved.ok()) throw CommandFailed("cannot save the macro store: " + saved.reason());
}

void RefuseStoreAsTarget(const Context& context, const std::filesystem::path& path) {
  if (kb::IsAStore(path, context.paths))
    throw CommandFailed("will not write over " + path.string() + ": it is a store of the program");
}

}  // namespace kbctl
