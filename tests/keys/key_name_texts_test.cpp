// SPDX-License-Identifier: GPL-3.0-or-later
// The macro page and kbctl show an action's key by the text of its name key: every usage that
// has a name key must have an English text in the shipped language file.

#include <gtest/gtest.h>

#include <string>

#include "common/language_file.h"
#include "keys/key_names.h"

namespace kb {
namespace {

TEST(KeyNameTexts, EveryNamedUsageHasAText) {
  LanguageTexts texts;
  ASSERT_TRUE(texts.Load(std::string(KB_RES_DIR) + "/text.xml").ok());
  int named = 0;
  for (std::uint32_t usage = 0; usage <= 0xFF; ++usage) {
    const std::string_view key = KeyNameFromUsage(usage);
    if (key.empty()) continue;
    ++named;
    EXPECT_TRUE(texts.Has(key)) << "usage 0x" << std::hex << usage << " name key " << key;
    EXPECT_FALSE(texts.Text(key).empty()) << key;
  }
  EXPECT_EQ(named, 114);
}

struct TextCase {
  const char* key;
  std::u16string text;
};

class KeyNameText : public ::testing::TestWithParam<TextCase> {};

TEST_P(KeyNameText, IsTheEnglishName) {
  LanguageTexts texts;
  ASSERT_TRUE(texts.Load(std::string(KB_RES_DIR) + "/text.xml").ok());
  EXPECT_EQ(texts.Text(GetParam().key), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, KeyNameText,
    ::testing::Values(TextCase{"key_Xiexian", u"\\"}, TextCase{"key_Caplk", u"Caps Lock"},
                      TextCase{"L_Button", u"Left button"}, TextCase{"key_'", u"'"},
                      TextCase{"key_Num_Enter", u"Num Enter"}, TextCase{"key_0", u"0"},
                      TextCase{"key_Print Scr", u"Print Screen"},
                      TextCase{"\xEF\xBF\xA5", u"\u00A5"},
                      TextCase{"Backward_Button", u"Back button"}));

}  // namespace
}  // namespace kb
