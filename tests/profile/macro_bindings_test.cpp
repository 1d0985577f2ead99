// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/macro_bindings.h"

#include <gtest/gtest.h>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"

namespace kb {
namespace {

void Bind(KeyEntry& entry, int macro) {
  entry.kind = KindByte(AssignmentKind::MacroBinding);
  entry.macro_index = macro;
  StoreFieldText(entry.macro_name, u"old");
}

// Deleting macro 1 of five: a key that played macro 2 plays it still (now index 1); a key that
// played macro 1 returns to its factory code, in every profile and on both layers.
TEST(MacroBindings, DeletingAMacroReleasesItsKeysAndMovesLaterOnesDown) {
  ProfileList profiles;
  ProfileRecord& first = NewDefaultProfile(u"A", Model::KB_3, profiles);
  ProfileRecord& second = NewDefaultProfile(u"B", Model::KB_3, profiles);
  Bind(first.banks[0].keys[10], 1);
  Bind(first.banks[1].fn_keys[3], 1);
  Bind(first.banks[0].keys[11], 2);
  Bind(second.banks[1].keys[12], 1);
  Bind(second.banks[0].keys[13], 0);

  const std::vector<BoundEntry> released =
      ReleaseBindingsOfDeletedMacro(profiles, 1, Model::KB_3, &first);
  EXPECT_EQ(released, (std::vector<BoundEntry>{{0, false, 10}, {1, true, 3}}));
  const KeyLayout& layout = LayoutOf(Model::KB_3);
  const KeyEntry& key = first.banks[0].keys[10];
  EXPECT_EQ(key.kind, KindByte(AssignmentKind::Default));
  EXPECT_EQ(ReadKeyCode(key.code), layout.default_key_codes[10]);
  EXPECT_EQ(key.macro_index, -1);
  EXPECT_EQ(ReadKeyCode(first.banks[1].fn_keys[3].code), layout.default_fn_key_codes[3]);
  EXPECT_EQ(first.banks[0].keys[11].macro_index, 1);
  EXPECT_EQ(second.banks[1].keys[12].kind, KindByte(AssignmentKind::Default));
  EXPECT_EQ(second.banks[0].keys[13].macro_index, 0);

  const std::vector<BoundEntry> renamed = RenameBoundMacro(profiles, 1, u"Burst", &first);
  EXPECT_EQ(renamed, (std::vector<BoundEntry>{{0, false, 11}}));
  EXPECT_EQ(FieldText(first.banks[0].keys[11].macro_name), u"Burst");
  EXPECT_EQ(FieldText(second.banks[0].keys[13].macro_name), u"old");
  (void)RenameBoundMacro(profiles, 0, std::u16string(40, u'x'), nullptr);
  EXPECT_EQ(FieldText(second.banks[0].keys[13].macro_name).size(), 23u);
}

}  // namespace
}  // namespace kb
