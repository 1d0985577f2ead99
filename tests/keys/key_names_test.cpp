// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/language_file.h"
#include "keys/virtual_key_table.h"

namespace kb {
namespace {

struct NameCase {
  std::uint32_t usage;
  std::string_view name;
};

class KeyNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(KeyNameTest, NameKey) { EXPECT_EQ(KeyNameFromUsage(GetParam().usage), GetParam().name); }

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyNameTest,
    ::testing::Values(
        NameCase{0x04, "key_A"}, NameCase{0x1D, "key_Z"}, NameCase{0x1E, "key_1"},
        NameCase{0x26, "key_9"}, NameCase{0x27, "key_0"}, NameCase{0x28, "key_Enter"},
        NameCase{0x29, "key_Esc"}, NameCase{0x2A, "key_BackSpace"}, NameCase{0x2B, "key_Tab"},
        NameCase{0x2C, "key_Space"}, NameCase{0x2D, "key_-"}, NameCase{0x2E, "key_="},
        NameCase{0x2F, "key_["}, NameCase{0x30, "key_]"}, NameCase{0x31, "key_Xiexian"},
        NameCase{0x32, "\xEF\xBF\xA5"}, NameCase{0x33, "key_;"}, NameCase{0x34, "key_'"},
        NameCase{0x35, "key_`"}, NameCase{0x36, "key_,"}, NameCase{0x37, "key_."},
        NameCase{0x38, "key_/"}, NameCase{0x39, "key_Caplk"}, NameCase{0x3A, "key_F1"},
        NameCase{0x45, "key_F12"}, NameCase{0x46, "key_Print Scr"},
        NameCase{0x47, "key_Scroll Lock"}, NameCase{0x48, "key_Pause"},
        NameCase{0x49, "key_Insert"}, NameCase{0x4A, "key_Home"}, NameCase{0x4B, "key_Page Up"},
        NameCase{0x4C, "key_Delete"}, NameCase{0x4D, "key_End"}, NameCase{0x4E, "key_Page Down"},
        NameCase{0x4F, "key_Right"}, NameCase{0x50, "key_Left"}, NameCase{0x51, "key_Down"},
        NameCase{0x52, "key_Up"}, NameCase{0x53, "key_Num Lock"}, NameCase{0x54, "key_Num_/"},
        NameCase{0x55, "key_Num_*"}, NameCase{0x56, "key_Num_-"}, NameCase{0x57, "key_Num_+"},
        NameCase{0x58, "key_Num_Enter"}, NameCase{0x59, "key_Num_1"}, NameCase{0x61, "key_Num_9"},
        NameCase{0x62, "key_Num_0"}, NameCase{0x63, "key_Num_."}, NameCase{0x64, "key_64"},
        NameCase{0x65, "key_App"}, NameCase{0x82, "Sleep"}, NameCase{0x88, "Kana/Roma"},
        NameCase{0xDD, "`"}, NameCase{0xE0, "key_LCtrl"}, NameCase{0xE1, "key_LShift"},
        NameCase{0xE2, "key_LAlt"}, NameCase{0xE3, "key_LWin"}, NameCase{0xE4, "key_RCtrl"},
        NameCase{0xE5, "key_RShift"}, NameCase{0xE6, "key_RAlt"}, NameCase{0xE7, "key_RWin"},
        NameCase{0xF0, "L_Button"}, NameCase{0xF1, "R_Button"}, NameCase{0xF2, "M_Button"},
        NameCase{0xF3, "Forward_Button"}, NameCase{0xF4, "Backward_Button"},
        // Without a name.
        NameCase{0x00, ""}, NameCase{0x01, ""}, NameCase{0x03, ""}, NameCase{0x66, ""},
        NameCase{0x72, ""}, NameCase{0xF7, ""}, NameCase{0xF8, ""}, NameCase{0xFF, ""},
        NameCase{0x104, ""}, NameCase{0xFFFF'FFFF, ""}));

TEST(KeyNamesTest, LettersAndDigitsInOrder) {
  for (int i = 0; i < 26; ++i)
    EXPECT_EQ(KeyNameFromUsage(0x04 + i), "key_" + std::string(1, static_cast<char>('A' + i)));
  for (int i = 0; i < 9; ++i) EXPECT_EQ(KeyNameFromUsage(0x1E + i), "key_" + std::to_string(i + 1));
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(KeyNameFromUsage(0x3A + i), "key_F" + std::to_string(i + 1));
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(KeyNameFromUsage(0x59 + i), "key_Num_" + std::to_string(i + 1));
}

TEST(KeyNamesTest, ExactlyTheListedUsagesHaveNames) {
  int named = 0;
  for (std::uint32_t u = 0; u < 256; ++u) {
    const bool has = !KeyNameFromUsage(u).empty();
    const bool listed = (u >= 0x04 && u <= 0x65) || u == 0x82 || u == 0x88 || u == 0xDD ||
                        (u >= 0xE0 && u <= 0xE7) || (u >= 0xF0 && u <= 0xF4);
    EXPECT_EQ(has, listed) << u;
    named += has;
  }
  EXPECT_EQ(named, 114);
}

TEST(KeyNamesTest, NamesAreDistinct) {
  std::set<std::string_view> names;
  int named = 0;
  for (std::uint32_t u = 0; u < 256; ++u) {
    if (KeyNameFromUsage(u).empty()) continue;
    names.insert(KeyNameFromUsage(u));
    ++named;
  }
  EXPECT_EQ(static_cast<int>(names.size()), named);
}

// Every name key resolves in the shipped language file, so no key shows an empty caption.
TEST(KeyNamesTest, EveryNameKeyHasATextInTheLanguageFile) {
  LanguageTexts texts;
  const Status loaded = texts.Load(std::string(KB_SOURCE_DIR) + "/res/text.xml");
  ASSERT_TRUE(loaded.ok()) << loaded.reason();
  for (std::uint32_t u = 0; u < 256; ++u) {
    const std::string_view name = KeyNameFromUsage(u);
    if (!name.empty()) {
      EXPECT_TRUE(texts.Has(name)) << name;
    }
  }
}

TEST(KeyNamesTest, EveryUsageAVirtualKeyReachesIsNamedButF7AndF8) {
  for (const VirtualKeyRow& row : VirtualKeyTable()) {
    const bool unnamed = row.usage == 0xF7 || row.usage == 0xF8;
    EXPECT_EQ(KeyNameFromUsage(row.usage).empty(), unnamed) << row.usage;
  }
}

}  // namespace
}  // namespace kb
