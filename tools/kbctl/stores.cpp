#include "stores.h"

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

ProfileStore LoadProfiles(const Context& context) {
  ProfileStore store;
  const auto path = ProfileStorePath(context);
  kb::ProfileStoreLoad load = kb::LoadProfileStore(path, context.model, FirstProfileName(context),
                                                   store.header, store.list);
  if (!load.read.ok()) throw CommandFailed("cannot read the profile store: " + load.read.reason());
  if (!load.save.ok())
    throw CommandFailed("cannot create the profile store: " + load.save.reason());
  return store;
}

kb::MacroList LoadMacros(const Context& context) {
  kb::MacroList macros;
  kb::MacroStoreLoad load = kb::LoadMacroStore(MacroStorePath(context), macros);
  if (load.file == kb::StoreFileState::Unreadable)
    throw CommandFailed("cannot read the macro store: " + load.reason);
  return macros;
}

void SaveProfiles(const Context& context, const ProfileStore& store) {
  kb::Status saved = kb::SaveProfileStore(ProfileStorePath(context), store.header, store.list);
  if (!saved.ok()) throw CommandFailed("cannot save the profile store: " + saved.reason());
}

void SaveMacros(const Context& context, const kb::MacroList& macros) {
  kb::Status saved = kb::SaveMacroStore(MacroStorePath(context), macros);
  if (!saved.ok()) throw CommandFailed("cannot save the macro store: " + saved.reason());
}

}  // namespace kbctl
