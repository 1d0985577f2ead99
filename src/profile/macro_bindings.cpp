// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/macro_bindings.h"

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"

namespace kb {
namespace {

// Calls visit(entry, where) for every key and Fn-slot entry of both banks of `record`.
template <class Visit>
void ForEachEntry(ProfileRecord& record, Visit visit) {
  for (int bank = 0; bank < 2; ++bank) {
    for (int key = 0; key < kKeyCount; ++key)
      visit(record.banks[bank].keys[key], BoundEntry{bank, false, key});
    for (int slot = 0; slot < kFnSlotCount; ++slot)
      visit(record.banks[bank].fn_keys[slot], BoundEntry{bank, true, slot});
  }
}

}  // namespace

bool IsMacroBound(const KeyEntry& entry) {
  return entry.kind == KindByte(AssignmentKind::MacroBinding);
}

void ReturnToDefault(KeyEntry& entry, KeyCode factory_code) {
  entry.kind = KindByte(AssignmentKind::Default);
  WriteKeyCode(entry.code, factory_code);
  entry.macro_index = -1;
}

std::vector<BoundEntry> ReleaseBindingsOfDeletedMacro(ProfileList& profiles, int deleted,
                                                      Model model, const ProfileRecord* current) {
  const KeyLayout& layout = LayoutOf(model);
  std::vector<BoundEntry> released;
  for (auto& profile : profiles) {
    ForEachEntry(*profile, [&](KeyEntry& entry, BoundEntry where) {
      if (!IsMacroBound(entry)) return;
      if (entry.macro_index == deleted) {
        ReturnToDefault(entry, where.fn ? layout.default_fn_key_codes[where.index]
                                        : layout.default_key_codes[where.index]);
        if (profile.get() == current) released.push_back(where);
      } else if (entry.macro_index > deleted) {
        --entry.macro_index;
      }
    });
  }
  return released;
}

std::vector<BoundEntry> RenameBoundMacro(ProfileList& profiles, int index, std::u16string_view name,
                                         const ProfileRecord* current) {
  std::vector<BoundEntry> renamed;
  for (auto& profile : profiles) {
    ForEachEntry(*profile, [&](KeyEntry& entry, BoundEntry where) {
      if (!IsMacroBound(entry) || entry.macro_index != index) return;
      StoreFieldText(entry.macro_name, name);
      if (profile.get() == current) renamed.push_back(where);
    });
  }
  return renamed;
}

}  // namespace kb
