// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Name rules shared by profiles and macros: both records begin with a 50-unit name field.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf16_text.h"
#include "names/name_units.h"

namespace kb {

template <class Record>
std::u16string_view NameOf(const Record& record) {
  return FieldText(record.name);
}

// True when a record of `list` has `name`, ignoring case; false for an empty list.
template <class Record>
bool NameExists(std::u16string_view name, const std::vector<std::unique_ptr<Record>>& list) {
  for (const auto& record : list)
    if (EqualsIgnoreCase(NameOf(*record), name)) return true;
  return false;
}

// `name` when free; otherwise the first free "name_N" for N = 1, 2, 3, ... The base of every
// attempt is `name` itself. The result always fits a record's name field: when "name_N" would
// pass 49 units the base is shortened so that the suffix stays whole.
template <class Record>
std::u16string MakeUniqueName(std::u16string_view name,
                              const std::vector<std::unique_ptr<Record>>& list) {
  std::u16string_view base = Shorten(name, kMaxNameLength);
  if (!NameExists(base, list)) return std::u16string(base);
  for (unsigned n = 1;; ++n) {
    // Appended, not "_" + text: GCC 12 at -O3 sees a false overlap there (-Wrestrict).
    std::u16string suffix(1, u'_');
    suffix += FromUtf8(std::to_string(n));
    std::u16string candidate(Shorten(base, kMaxNameLength - suffix.size()));
    candidate += suffix;
    if (!NameExists(candidate, list)) return candidate;
  }
}

}  // namespace kb
