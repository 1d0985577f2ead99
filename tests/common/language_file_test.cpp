// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/language_file.h"

#include <gtest/gtest.h>

#include <string>

#include "common/file_io.h"
#include "common/test_folders.h"

namespace kb {
namespace {

TEST(LanguageFileTest, ReadsTextsByKey) {
  LanguageTexts texts;
  const Status parsed = texts.Parse(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!-- the model's texts -->\n"
      "<Language>\n"
      "  <Text key=\"warning_1_text\">Warning</Text>\n"
      "  <Text key=\"kb_3_1_text\">Profile</Text>\n"
      "  <Text key=\"key_Space\">Space bar</Text>\n"
      "</Language>\n");
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  EXPECT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts.Text("warning_1_text"), u"Warning");
  EXPECT_EQ(texts.Text("kb_3_1_text"), u"Profile");
  EXPECT_EQ(texts.Text("key_Space"), u"Space bar");
  EXPECT_TRUE(texts.Has("key_Space"));
}

TEST(LanguageFileTest, UnknownKeyHasTheEmptyText) {
  LanguageTexts texts;
  ASSERT_TRUE(texts.Parse("<Language><Text key=\"a\">A</Text></Language>").ok());
  EXPECT_EQ(texts.Text("b"), u"");
  EXPECT_FALSE(texts.Has("b"));
  EXPECT_FALSE(texts.Has(""));
  EXPECT_FALSE(texts.Has("A"));  // keys are case-sensitive
}

struct EntityCase {
  std::string raw;
  std::u16string text;
};

class LanguageEntityTest : public ::testing::TestWithParam<EntityCase> {};

TEST_P(LanguageEntityTest, DecodesInTexts) {
  LanguageTexts texts;
  const Status parsed =
      texts.Parse("<Language><Text key=\"k\">" + GetParam().raw + "</Text></Language>");
  ASSERT_TRUE(parsed.ok()) << parsed.reason();
  EXPECT_EQ(texts.Text("k"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Entities, LanguageEntityTest,
    ::testing::Values(EntityCase{"a &amp; b", u"a & b"}, EntityCase{"&lt;tag&gt;", u"<tag>"},
                      EntityCase{"&quot;x&quot; &apos;y&apos;", u"\"x\" 'y'"},
                      EntityCase{"&#65;&#66;", u"AB"}, EntityCase{"&#x2192;", u"\u2192"},
                      EntityCase{"&#xFFE5;", u"\uFFE5"}, EntityCase{"&#x1F600;", u"\U0001F600"},
                      EntityCase{"&#228;rger", u"\u00E4rger"}, EntityCase{"&amp;amp;", u"&amp;"},
                      EntityCase{"\xC3\x84rger", u"\u00C4rger"},
                      EntityCase{"  two  spaces \n kept ", u"  two  spaces \n kept "},
                      EntityCase{"", u""}));

TEST(LanguageFileTest, EntitiesInKeys) {
  LanguageTexts texts;
  ASSERT_TRUE(texts
                  .Parse("<Language><Text key=\"key_&apos;\">'</Text><Text "
                         "key=\"a&amp;b\">x</Text></Language>")
                  .ok());
  EXPECT_EQ(texts.Text("key_'"), u"'");
  EXPECT_EQ(texts.Text("a&b"), u"x");
}

TEST(LanguageFileTest, NonAsciiKey) {
  LanguageTexts texts;
  ASSERT_TRUE(texts.Parse("<Language><Text key=\"\xEF\xBF\xA5\">\xC2\xA5</Text></Language>").ok());
  EXPECT_EQ(texts.Text("\xEF\xBF\xA5"), u"\u00A5");
}

TEST(LanguageFileTest, EmptyElementAndRepeatedKey) {
  LanguageTexts texts;
  ASSERT_TRUE(texts
                  .Parse("<Language><Text key=\"e\"/><Text key=\"r\">first</Text><Text "
                         "key=\"r\">last</Text></Language>")
                  .ok());
  EXPECT_TRUE(texts.Has("e"));
  EXPECT_EQ(texts.Text("e"), u"");
  EXPECT_EQ(texts.Text("r"), u"last");
  EXPECT_EQ(texts.size(), 2u);
}

TEST(LanguageFileTest, EmptyDocumentHasNoTexts) {
  LanguageTexts texts;
  EXPECT_TRUE(texts.Parse("").ok());
  EXPECT_EQ(texts.size(), 0u);
}

struct SyntaxCase {
  std::string xml;
  int line;
  std::string what;
};

class LanguageSyntaxErrorTest : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(LanguageSyntaxErrorTest, ReportsTheLine) {
  LanguageTexts texts;
  const Status parsed = texts.Parse(GetParam().xml);
  ASSERT_FALSE(parsed.ok());
  EXPECT_NE(parsed.reason().find("line " + std::to_string(GetParam().line) + ":"),
            std::string::npos)
      << parsed.reason();
  EXPECT_NE(parsed.reason().find(GetParam().what), std::string::npos) << parsed.reason();
}

INSTANTIATE_TEST_SUITE_P(
    Errors, LanguageSyntaxErrorTest,
    ::testing::Values(
        SyntaxCase{"<Language>\n<Text key=\"a\">A</Text>\n<Texts key=\"b\">B</Texts>\n</Language>",
                   3, "unexpected element"},
        SyntaxCase{"<Language>\n<TextX key=\"b\">B</Text>\n</Language>", 2, "unexpected element"},
        SyntaxCase{"<Language>\n<Text xkey=\"b\">B</Text>\n</Language>", 2, "without key"},
        SyntaxCase{"<Language>\n\n<Item key=\"a\">A</Item>\n</Language>", 3, "unexpected element"},
        SyntaxCase{"<Language>\n<!-- open\n<Text key=\"a\">A</Text>\n", 2, "unterminated comment"},
        SyntaxCase{"<Language>\n<Text key=\"a\">A\n</Language>\n", 2, "without </Text>"},
        SyntaxCase{"<Language>\n<Text>A</Text>\n</Language>", 2, "without key"},
        SyntaxCase{"<Language>\n<Text key=\"a\">A &foo; B</Text>\n</Language>", 2, "bad entity"},
        SyntaxCase{"<Language>\n<Text key=\"a\">A &amp B</Text>\n</Language>", 2, "bad entity"},
        SyntaxCase{"<Language>\n<Text key=\"a\">&#;</Text>\n</Language>", 2, "bad entity"},
        SyntaxCase{"<Language>\n<Text key=\"a\">&#x110000;</Text>\n</Language>", 2, "bad entity"},
        SyntaxCase{"<Language>\n<Text key=\"a&bad;\">A</Text>\n</Language>", 2,
                   "bad entity in key"},
        SyntaxCase{"<?xml version=\"1.0\"\n<Language>", 1, "unterminated declaration"},
        SyntaxCase{"<Language>\n\n\n<Text key=\"a", 4, "unterminated"}));

TEST(LanguageFileTest, TextsBeforeASyntaxErrorAreKept) {
  LanguageTexts texts;
  EXPECT_FALSE(
      texts.Parse("<Language>\n<Text key=\"a\">A</Text>\n<Bad/>\n<Text key=\"b\">B</Text>\n").ok());
  EXPECT_EQ(texts.Text("a"), u"A");
  EXPECT_FALSE(texts.Has("b"));
}

TEST(LanguageFileTest, LoadReportsAMissingFile) {
  testing::TempFolder folder("language_file");
  ASSERT_TRUE(folder.ok());
  LanguageTexts texts;
  const Status loaded = texts.Load(folder.path() / "text.xml");
  EXPECT_FALSE(loaded.ok());
  EXPECT_NE(loaded.reason().find("text.xml"), std::string::npos) << loaded.reason();
}

TEST(LanguageFileTest, LoadReadsAFile) {
  testing::TempFolder folder("language_file");
  ASSERT_TRUE(folder.ok());
  const std::string xml = "<Language>\n  <Text key=\"kb_3_1_text\">Profil</Text>\n</Language>\n";
  ASSERT_TRUE(
      WriteFileAtomically(folder.path() / "text.xml",
                          std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()))
          .ok());
  LanguageTexts texts;
  ASSERT_TRUE(texts.Load(folder.path() / "text.xml").ok());
  EXPECT_EQ(texts.Text("kb_3_1_text"), u"Profil");
}

// The shipped language file parses whole and holds the texts the model reads itself.
TEST(LanguageFileTest, ShippedLanguageFileParses) {
  LanguageTexts texts;
  const Status loaded = texts.Load(std::string(KB_SOURCE_DIR) + "/res/text.xml");
  ASSERT_TRUE(loaded.ok()) << loaded.reason();
  EXPECT_FALSE(texts.Text("kb_3_1_text").empty());
  EXPECT_FALSE(texts.Text("warning_1_text").empty());
}

}  // namespace
}  // namespace kb
