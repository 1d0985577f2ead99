// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the profile store parser on arbitrary bytes. Whatever the bytes, only whole
// records are kept, every name is terminated inside its field and the selection lies in the list.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/utf16_text.h"
#include "names/name_rules.h"
#include "profile/profile_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kb::StoreHeader header{};
  kb::ProfileList list;
  const kb::ProfileStoreParse parse = kb::ParseProfileStore({data, size}, header, list);
  const std::size_t whole =
      size < kb::kStoreHeaderSize ? 0 : (size - kb::kStoreHeaderSize) / kb::kStoreRecordSize;
  if (list.size() != whole || static_cast<std::size_t>(parse.records) != whole) std::abort();
  if (list.empty() ? header.selected_index != 0
                   : header.selected_index < 0 ||
                         static_cast<std::size_t>(header.selected_index) >= list.size())
    std::abort();
  for (const auto& record : list) {
    if (kb::NameOf(*record).size() >= static_cast<std::size_t>(kb::kNameUnits)) std::abort();
    for (const auto& bank : record->banks)
      for (const auto& key : bank.keys)
        if (kb::FieldText(key.macro_name).size() >=
            static_cast<std::size_t>(kb::kKeyMacroNameUnits))
          std::abort();
  }
  return 0;
}
