// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The portable profile file (.kpo): a 200-byte model tag, one ProfileRecord, then one
// MacroRecord for each key of `keys` (first bank, then second) bound to a macro (kind 17). No
// count: the reader learns how many macros follow from the record's keys.
//
// Keys whose macro cannot travel. The reader takes one macro per bound key, so a bound key
// written without its macro would shift every later macro onto the wrong key and leave the file
// short. The writer therefore never lets that happen: in the copy it writes (the profile in
// memory is not touched), a key bound to an index that names no macro, and every Fn slot bound
// to a macro (the format carries no macros for Fn slots), returns to its factory assignment,
// as a key does when its macro is deleted. The reader does the same to Fn slots bound to
// macros in files from elsewhere, whose index means nothing in the importing list.
//
// A file that ends right after the record although its keys are bound to macros is what an
// exporter writes that carries no macro for a key whose index names none: its profile imports,
// and those keys get their factory assignment, as this writer would have given them. A file
// that ends inside the macros its keys announce cannot say which key lost its macro, and is
// refused whole.
//
// What a profile file is. The tag is text: a NUL within its 100 units and zeros after it, with
// no control characters. A tag that is not (random bytes, another format) makes the file "not
// a profile file"; a well-formed tag of another text makes it a profile of another model.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_io.h"
#include "common/status.h"
#include "keys/keyboard_model.h"
#include "macro/macro_record.h"
#include "profile/profile_record.h"

namespace kb {

inline constexpr std::size_t kModelTagUnits = 100;
using ModelTag = std::array<char16_t, kModelTagUnits>;

inline constexpr std::size_t kExchangeTagOffset = 0;
inline constexpr std::size_t kExchangeRecordOffset = sizeof(ModelTag);
inline constexpr std::size_t kExchangeMacrosOffset = kExchangeRecordOffset + sizeof(ProfileRecord);
static_assert(kExchangeRecordOffset == 200);
static_assert(kExchangeMacrosOffset == 48784);
// The longest file a profile can have: the tag, the record and a macro for every key of both
// banks (about 9.5 MB). Longer files are refused unread.
inline constexpr std::size_t kMaxProfileFileBytes =
    kExchangeMacrosOffset + std::size_t{2} * kKeyCount * sizeof(MacroRecord);

// The model's tag: the language text of its "kb_N_text", zero-filled (shortened to 99 units so
// that a NUL always follows).
ModelTag MakeModelTag(std::u16string_view model_text);

// The macros a file exported from `record` carries, in file order: for each key of `keys` of
// the first and then the second bank bound to a macro whose index names one of `macros`. A
// macro bound to two keys appears twice.
std::vector<const MacroRecord*> MacrosToExport(const ProfileRecord& record,
                                               const MacroList& macros);

// Returns the bound entries of `record` whose macro a file cannot carry to their factory
// assignment (kind Default, factory code, macro_index -1): keys whose index is outside
// 0..macro_count-1 and every Fn slot bound to a macro. Returns how many entries changed.
int ReleaseMacroBindingsWithoutMacro(ProfileRecord& record, std::size_t macro_count, Model model);

// Writes `record` and its macros to `path`, crash-safe. UI thread (it reads the record and the
// macro list as they stand).
[[nodiscard]] Status ExportProfileFile(const std::filesystem::path& path, const ModelTag& tag,
                                       const ProfileRecord& record, const MacroList& macros,
                                       Model model);

enum class ProfileImportOutcome {
  Imported,
  OtherModel,      // the tag names another model (or the same under another language)
  NotProfileFile,  // the first 200 bytes are no model tag: the file is no profile file at all
  Unreadable,      // the file could not be opened or read
  Short,           // the file ends inside the tag, the record or the macros its keys announce
  StoreFull,       // the profile or its macros would take a store past its limit (ProfilesFit,
                   // MacrosFit): nothing is added
};

struct ProfileImport {
  ProfileImportOutcome outcome = ProfileImportOutcome::Unreadable;
  std::string reason;                       // for the failures, a sentence naming the file
  std::size_t profile_index = 0;            // position of the new profile in the profile list
  std::u16string profile_name;              // the name it got
  std::size_t macros_added = 0;             // macros appended to the macro list
  std::vector<std::u16string> macro_names;  // the names they got, in list order
  int fn_bindings_released = 0;             // Fn slots bound to macros, returned to their default
  int keys_released = 0;           // keys bound to macros the file does not carry, the same
  std::size_t trailing_bytes = 0;  // bytes after the announced macros, ignored
};

// Whether `tag` has the shape of a model tag (see above), whatever model it names.
bool IsWellFormedModelTag(const ModelTag& tag);

// Imports the file image `bytes` under the name `base_name` (made unique in `profiles`): checks
// the tag against `own_tag` ignoring case, appends the record to `profiles` and its macros to
// `macros` (each name made unique, every bound key re-pointed to its new macro and given a copy
// of its name bounded to 23 units). On any failure neither list changes. Saving the stores and
// selecting the new profile are the caller's. UI thread.
[[nodiscard]] ProfileImport ParseProfileFile(std::span<const std::uint8_t> bytes,
                                             std::u16string_view base_name, const ModelTag& own_tag,
                                             Model model, ProfileList& profiles, MacroList& macros);

// Reads `path` and imports it as above, named after the file's base name.
[[nodiscard]] ProfileImport ImportProfileFile(const std::filesystem::path& path,
                                              const ModelTag& own_tag, Model model,
                                              ProfileList& profiles, MacroList& macros);

}  // namespace kb
