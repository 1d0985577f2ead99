// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/change_detection.h"

#include <gtest/gtest.h>

#include <functional>

#include "device/device_test_profiles.h"
#include "keys/key_code.h"

namespace kb {
namespace {

using test::BindMacro;
using test::DefaultProfile;

struct EditCase {
  const char* name;
  std::function<void(ProfileRecord&)> edit;
  ChangedFlags expected;
};

class DetectChangesEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(DetectChangesEdits, FlagsOnlyThePartTheEditTouched) {
  const auto last = DefaultProfile();
  auto current = DefaultProfile();
  GetParam().edit(*current);
  const MacroList none;
  EXPECT_EQ(DetectChanges(*last, *current, MacroSnapshot::Take(*current, none),
                          MacroSnapshot::Take(*last, none)),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, DetectChangesEdits,
    ::testing::Values(
        EditCase{"Nothing", [](ProfileRecord&) {}, {false, false, false}},
        EditCase{"SpeedOfAnUnselectedMode",
                 [](ProfileRecord& r) { r.banks[0].light_speed[5] = 3; },
                 {true, false, false}},
        EditCase{"ModeOfTheOtherBank",
                 [](ProfileRecord& r) { r.banks[1].light_mode = 7; },
                 {true, false, false}},
        EditCase{"BrightnessEntry20",
                 [](ProfileRecord& r) { r.banks[0].light_brightness[20] = 1; },
                 {true, false, false}},
        EditCase{"ColorOfAMode",
                 [](ProfileRecord& r) { r.banks[1].light_color[2] = 0x00FF00; },
                 {true, false, false}},
        EditCase{"ColorMode",
                 [](ProfileRecord& r) { r.banks[0].light_color_mode[0] = 9; },
                 {true, false, false}},
        EditCase{
            "Aux1", [](ProfileRecord& r) { r.banks[0].light_aux1[3] = 1; }, {true, false, false}},
        EditCase{
            "Aux2", [](ProfileRecord& r) { r.banks[1].light_aux2[20] = 1; }, {true, false, false}},
        EditCase{
            "Aux3", [](ProfileRecord& r) { r.banks[0].light_aux3[0] = 1; }, {true, false, false}},
        EditCase{"CustomColorSet4",
                 [](ProfileRecord& r) { r.banks[1].custom_colors[4][131] = 1; },
                 {false, true, false}},
        EditCase{"KeyCode",
                 [](ProfileRecord& r) { WriteKeyCode(r.banks[0].keys[9].code, 0x05); },
                 {false, false, true}},
        EditCase{"FnKeyOfBank1",
                 [](ProfileRecord& r) { r.banks[1].fn_keys[55].kind = 0; },
                 {false, false, true}},
        EditCase{"AnyByteOfAKeyEntry",
                 [](ProfileRecord& r) { r.banks[0].keys[0].reserved84[3] = 1; },
                 {false, false, true}},
        EditCase{"NameAndBankAreNotSent",
                 [](ProfileRecord& r) {
                   r.name[0] = u'X';
                   r.active_bank = 1;
                 },
                 {false, false, false}},
        EditCase{"ReservedBytesAreNotSent",
                 [](ProfileRecord& r) {
                   r.banks[0].reserved_c[0] = 1;
                   r.banks[1].reserved_d[0] = 1;
                 },
                 {false, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DetectChanges, AnEditedBoundMacroChangesKeys) {
  MacroList list;
  list.push_back(test::EmptyMacro(u"a"));
  auto current = DefaultProfile();
  BindMacro(current->banks[1].keys[4], 0);
  const auto last = std::make_unique<ProfileRecord>(*current);
  const MacroSnapshot then = MacroSnapshot::Take(*last, list);
  EXPECT_FALSE(DetectChanges(*last, *current, MacroSnapshot::Take(*current, list), then).keys);
  list[0]->loop_time = 2;
  EXPECT_EQ(DetectChanges(*last, *current, MacroSnapshot::Take(*current, list), then),
            (ChangedFlags{false, false, true}));
}

TEST(DetectChanges, AMacroNoKeyNamesDoesNotMatter) {
  MacroList list;
  list.push_back(test::EmptyMacro(u"a"));
  list.push_back(test::EmptyMacro(u"b"));
  auto current = DefaultProfile();
  BindMacro(current->banks[0].keys[4], 0);
  const auto last = std::make_unique<ProfileRecord>(*current);
  const MacroSnapshot then = MacroSnapshot::Take(*last, list);
  list[1]->loop_time = 9;
  EXPECT_FALSE(DetectChanges(*last, *current, MacroSnapshot::Take(*current, list), then).keys);
}

TEST(DetectChanges, AMissingMacroAlwaysCountsAsChanged) {
  const MacroList empty;
  auto current = DefaultProfile();
  BindMacro(current->banks[0].keys[4], 3);
  const auto last = std::make_unique<ProfileRecord>(*current);
  EXPECT_TRUE(DetectChanges(*last, *current, MacroSnapshot::Take(*current, empty),
                            MacroSnapshot::Take(*last, empty))
                  .keys);
}

TEST(DetectChanges, AnyEntryNamingAPositionCountsNotOnlyBoundOnes) {
  MacroList list;
  list.push_back(test::EmptyMacro(u"a"));
  auto current = DefaultProfile();
  current->banks[0].keys[7].macro_index = 0;  // kind stays Default
  const auto last = std::make_unique<ProfileRecord>(*current);
  const MacroSnapshot then = MacroSnapshot::Take(*last, list);
  list[0]->actions[0].delay = 5;  // bytes past action_count count too: the whole record
  EXPECT_TRUE(DetectChanges(*last, *current, MacroSnapshot::Take(*current, list), then).keys);
}

TEST(MacroSnapshotTest, CopiesNamedMacrosAndRemembersMissingOnes) {
  MacroList list;
  list.push_back(test::EmptyMacro(u"a"));
  auto record = DefaultProfile();
  BindMacro(record->banks[0].keys[0], 0);
  BindMacro(record->banks[0].keys[1], 0);
  BindMacro(record->banks[1].keys[1], 4);
  const MacroSnapshot snapshot = MacroSnapshot::Take(*record, list);
  EXPECT_EQ(snapshot.positions(), 2u);
  ASSERT_NE(snapshot.Find(0), nullptr);
  EXPECT_NE(snapshot.Find(0), list[0].get()) << "a copy, not the live record";
  list[0]->loop_time = 77;
  EXPECT_EQ(snapshot.Find(0)->loop_time, 1);
  EXPECT_EQ(snapshot.Find(4), nullptr);
  EXPECT_EQ(snapshot.Find(1), nullptr);
}

}  // namespace
}  // namespace kb
