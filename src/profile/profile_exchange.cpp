// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_exchange.h"

#include <cstring>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"
#include "macro/macro_repair.h"
#include "macro/macro_store.h"
#include "names/file_base_name.h"
#include "names/name_rules.h"
#include "profile/macro_bindings.h"
#include "profile/profile_store.h"

namespace kb {
namespace {

bool NamesMacro(const KeyEntry& entry, std::size_t macro_count) {
  return entry.macro_index >= 0 && static_cast<std::size_t>(entry.macro_index) < macro_count;
}

int ReleaseFnBindings(ProfileRecord& record, const KeyLayout& layout) {
  int released = 0;
  for (ProfileBank& bank : record.banks) {
    for (int slot = 0; slot < kFnSlotCount; ++slot) {
      if (!IsMacroBound(bank.fn_keys[slot])) continue;
      ReturnToDefault(bank.fn_keys[slot], layout.default_fn_key_codes[slot]);
      ++released;
    }
  }
  return released;
}

std::size_t BoundKeyCount(const ProfileRecord& record) {
  std::size_t count = 0;
  for (const ProfileBank& bank : record.banks)
    for (const KeyEntry& entry : bank.keys) count += IsMacroBound(entry);
  return count;
}

bool IsTextUnit(char16_t unit) {
  if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0)) return false;  // control characters
  return unit != 0xFFFE && unit != 0xFFFF;                         // noncharacters
}

// A surrogate must be half of a pair: a lone one is no text.
bool IsWholeUtf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    }
  }
  return true;
}

ProfileImport Failure(ProfileImportOutcome outcome, std::string reason) {
  ProfileImport result;
  result.outcome = outcome;
  result.reason = std::move(reason);
  return result;
}

}  // namespace

bool IsWellFormedModelTag(const ModelTag& tag) {
  const std::u16string_view text = FieldText(tag);
  if (text.empty() || text.size() == tag.size()) return false;
  for (std::size_t i = text.size(); i < tag.size(); ++i)
    if (tag[i] != 0) return false;
  for (char16_t unit : text)
    if (!IsTextUnit(unit)) return false;
  return IsWholeUtf16(text);
}

ModelTag MakeModelTag(std::u16string_view model_text) {
  ModelTag tag{};
  StoreFieldText(tag, model_text);
  return tag;
}

std::vector<const MacroRecord*> MacrosToExport(const ProfileRecord& record,
                                               const MacroList& macros) {
  std::vector<const MacroRecord*> carried;
  for (const ProfileBank& bank : record.banks)
    for (const KeyEntry& entry : bank.keys)
      if (IsMacroBound(entry) && NamesMacro(entry, macros.size()))
        carried.push_back(macros[static_cast<std::size_t>(entry.macro_index)].get());
  return carried;
}

int ReleaseMacroBindingsWithoutMacro(ProfileRecord& record, std::size_t macro_count, Model model) {
  const KeyLayout& layout = LayoutOf(model);
  int released = 0;
  for (ProfileBank& bank : record.banks) {
    for (int key = 0; key < kKeyCount; ++key) {
      KeyEntry& entry = bank.keys[key];
      if (!IsMacroBound(entry) || NamesMacro(entry, macro_count)) continue;
      ReturnToDefault(entry, layout.default_key_codes[key]);
      ++released;
    }
  }
  return released + ReleaseFnBindings(record, layout);
}

Status ExportProfileFile(const std::filesystem::path& path, const ModelTag& tag,
                         const ProfileRecord& record, const MacroList& macros, Model model) {
  auto written = std::make_unique_for_overwrite<ProfileRecord>();
  std::memcpy(written.get(), &record, sizeof record);
  ReleaseMacroBindingsWithoutMacro(*written, macros.size(), model);

  const std::vector<const MacroRecord*> carried = MacrosToExport(*written, macros);
  std::vector<std::span<const std::uint8_t>> parts;
  parts.reserve(2 + carried.size());
  parts.push_back(BytesOf(tag));
  parts.push_back(BytesOf(*written));
  for (const MacroRecord* macro : carried) parts.push_back(BytesOf(*macro));
  return WriteFileAtomically(path, parts);
}

ProfileImport ParseProfileFile(std::span<const std::uint8_t> bytes, std::u16string_view base_name,
                               const ModelTag& own_tag, Model model, ProfileList& profiles,
                               MacroList& macros) {
  if (bytes.size() < kExchangeRecordOffset)
    return Failure(ProfileImportOutcome::Short, "it ends inside its model tag");

  ModelTag tag;
  std::memcpy(tag.data(), bytes.data() + kExchangeTagOffset, sizeof tag);
  // Only a tag of the right shape is read as a model's name; anything else is not shown.
  if (!IsWellFormedModelTag(tag))
    return Failure(ProfileImportOutcome::NotProfileFile, "it is not a profile file");
  const std::u16string_view file_model = FieldText(tag);
  if (!EqualsIgnoreCase(file_model, FieldText(own_tag))) {
    return Failure(ProfileImportOutcome::OtherModel,
                   "it is a profile of another keyboard model, \"" + ToUtf8(file_model) +
                       "\", not of \"" + ToUtf8(FieldText(own_tag)) + "\"");
  }
  if (bytes.size() < kExchangeMacrosOffset)
    return Failure(ProfileImportOutcome::Short, "it ends inside its profile record");

  auto record = std::make_unique_for_overwrite<ProfileRecord>();
  std::memcpy(record.get(), bytes.data() + kExchangeRecordOffset, sizeof(ProfileRecord));
  const std::size_t announced = BoundKeyCount(*record);
  // Nothing after the record: the file carries no macro for any key (see the header).
  const bool carries_macros = bytes.size() > kExchangeMacrosOffset;
  const std::size_t needed =
      kExchangeMacrosOffset + (carries_macros ? announced * sizeof(MacroRecord) : 0);
  if (bytes.size() < needed) {
    return Failure(
        ProfileImportOutcome::Short,
        "its keys announce " + std::to_string(announced) + " macros, but it holds only " +
            std::to_string((bytes.size() - kExchangeMacrosOffset) / sizeof(MacroRecord)));
  }
  // All or nothing: a file whose profile or macros would not all fit adds none of them.
  const std::size_t macros_to_add = carries_macros ? announced : 0;
  if (!ProfilesFit(profiles.size(), 1) || !MacrosFit(macros.size(), macros_to_add)) {
    return Failure(
        ProfileImportOutcome::StoreFull,
        "it would take the stores past their limit of " + std::to_string(kMaxStoredProfiles) +
            " profiles and " + std::to_string(kMaxStoredMacros) + " macros (they hold " +
            std::to_string(profiles.size()) + " profiles and " + std::to_string(macros.size()) +
            " macros; the file adds one profile and " + std::to_string(macros_to_add) + " macros)");
  }

  // Nothing below can fail, so the lists change only for a file that imports whole.
  ProfileImport result;
  result.outcome = ProfileImportOutcome::Imported;
  result.trailing_bytes = bytes.size() - needed;
  TerminateField(record->name);
  for (ProfileBank& bank : record->banks) {
    for (KeyEntry& entry : bank.keys) TerminateField(entry.macro_name);
    for (KeyEntry& entry : bank.fn_keys) TerminateField(entry.macro_name);
  }
  result.fn_bindings_released = ReleaseFnBindings(*record, LayoutOf(model));
  if (!carries_macros) result.keys_released = ReleaseMacroBindingsWithoutMacro(*record, 0, model);

  std::size_t next = kExchangeMacrosOffset;
  for (ProfileBank& bank : record->banks) {
    for (KeyEntry& entry : bank.keys) {
      if (!IsMacroBound(entry)) continue;
      auto macro = std::make_unique_for_overwrite<MacroRecord>();
      std::memcpy(macro.get(), bytes.data() + next, sizeof(MacroRecord));
      next += sizeof(MacroRecord);
      RepairMacro(*macro);
      StoreFieldText(macro->name, MakeUniqueName(NameOf(*macro), macros));
      entry.macro_index = static_cast<std::int32_t>(macros.size());
      StoreFieldText(entry.macro_name, NameOf(*macro));
      result.macro_names.emplace_back(NameOf(*macro));
      macros.push_back(std::move(macro));
      ++result.macros_added;
    }
  }

  result.profile_name = MakeUniqueName(base_name, profiles);
  StoreFieldText(record->name, result.profile_name);
  result.profile_index = profiles.size();
  profiles.push_back(std::move(record));
  return result;
}

ProfileImport ImportProfileFile(const std::filesystem::path& path, const ModelTag& own_tag,
                                Model model, ProfileList& profiles, MacroList& macros) {
  Result<Bytes> bytes = ReadWholeFile(path, kMaxProfileFileBytes);
  if (!bytes) return Failure(ProfileImportOutcome::Unreadable, bytes.reason());
  ProfileImport result =
      ParseProfileFile(*bytes, FileBaseName(path), own_tag, model, profiles, macros);
  if (result.outcome != ProfileImportOutcome::Imported)
    result.reason = path.string() + ": " + result.reason;
  return result;
}

}  // namespace kb
