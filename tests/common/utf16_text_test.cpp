// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/utf16_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kb {
namespace {

constexpr char16_t kHigh = 0xD83D;  // first unit of U+1F600
constexpr char16_t kLow = 0xDE00;

TEST(FieldTextTest, StopsAtTheFirstNul) {
  const char16_t field[6] = {u'a', u'b', u'\0', u'c', u'd', u'\0'};
  EXPECT_EQ(FieldText(field), u"ab");
}

TEST(FieldTextTest, WholeFieldWhenThereIsNoNul) {
  const char16_t field[3] = {u'x', u'y', u'z'};
  EXPECT_EQ(FieldText(field), u"xyz");
  EXPECT_EQ(FieldText(std::span<const char16_t>{}), u"");
}

TEST(StoreFieldTextTest, ShortTextIsCopiedWithItsNulAndTheRestKept) {
  std::array<char16_t, 8> field;
  field.fill(u'#');
  EXPECT_EQ(StoreFieldText(field, u"abc"), 3u);
  EXPECT_EQ(FieldText(field), u"abc");
  EXPECT_EQ(field[3], u'\0');
  EXPECT_EQ(field[4], u'#');  // bounded copy: units after the terminator stay
  EXPECT_EQ(field[7], u'#');
}

TEST(StoreFieldTextTest, LongTextIsShortenedSoTheNulFits) {
  std::array<char16_t, 50> field{};
  EXPECT_EQ(StoreFieldText(field, std::u16string(49, u'a')), 49u);
  EXPECT_EQ(field[49], u'\0');
  EXPECT_EQ(StoreFieldText(field, std::u16string(70, u'b')), 49u);
  EXPECT_EQ(FieldText(field), std::u16string(49, u'b'));
  EXPECT_EQ(field[49], u'\0');
}

TEST(StoreFieldTextTest, SurrogatePairIsNeverSplit) {
  std::array<char16_t, 5> field{};
  std::u16string text = u"abc";
  text += kHigh;
  text += kLow;  // units 3 and 4: only 4 units fit
  EXPECT_EQ(StoreFieldText(field, text), 3u);
  EXPECT_EQ(FieldText(field), u"abc");
  std::array<char16_t, 6> wider{};
  EXPECT_EQ(StoreFieldText(wider, text), 5u);
  EXPECT_EQ(FieldText(wider), text);
}

TEST(StoreFieldTextTest, EmbeddedNulEndsTheText) {
  std::array<char16_t, 10> field;
  field.fill(u'#');
  const std::u16string text(u"ab\0cd", 5);
  EXPECT_EQ(StoreFieldText(field, text), 2u);
  EXPECT_EQ(FieldText(field), u"ab");
  EXPECT_EQ(field[3], u'#');
}

TEST(StoreFieldTextTest, TinyFields) {
  std::array<char16_t, 1> one = {u'#'};
  EXPECT_EQ(StoreFieldText(one, u"abc"), 0u);
  EXPECT_EQ(one[0], u'\0');
  EXPECT_EQ(StoreFieldText(std::span<char16_t>{}, u"abc"), 0u);
}

TEST(TerminateFieldTest, TerminatedFieldIsLeftAlone) {
  std::array<char16_t, 4> field = {u'a', u'\0', u'b', u'c'};
  EXPECT_FALSE(TerminateField(field));
  EXPECT_EQ(field[2], u'b');
  EXPECT_EQ(field[3], u'c');
}

TEST(TerminateFieldTest, LastUnitBecomesNul) {
  std::array<char16_t, 4> field = {u'a', u'b', u'c', u'd'};
  EXPECT_TRUE(TerminateField(field));
  EXPECT_EQ(FieldText(field), u"abc");
  EXPECT_FALSE(TerminateField(field));
}

TEST(TerminateFieldTest, HalfPairBeforeTheEndGoesToo) {
  std::array<char16_t, 4> field = {u'a', u'b', kHigh, kLow};
  EXPECT_TRUE(TerminateField(field));
  EXPECT_EQ(FieldText(field), u"ab");
  EXPECT_FALSE(TerminateField(std::span<char16_t>{}));
}

struct ShortenCase {
  std::u16string text;
  std::size_t max_units;
  std::u16string expected;
};

class ShortenTest : public ::testing::TestWithParam<ShortenCase> {};

TEST_P(ShortenTest, CutsWithoutSplittingAPair) {
  EXPECT_EQ(Shorten(GetParam().text, GetParam().max_units), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortenTest,
                         ::testing::Values(ShortenCase{u"abc", 5, u"abc"},
                                           ShortenCase{u"abc", 3, u"abc"},
                                           ShortenCase{u"abcdef", 3, u"abc"},
                                           ShortenCase{u"abc", 0, u""},
                                           ShortenCase{u"a\U0001F600b", 2, u"a"},
                                           ShortenCase{u"a\U0001F600b", 3, u"a\U0001F600"},
                                           ShortenCase{u"\U0001F600", 1, u""},
                                           ShortenCase{u"\U0001F600\U0001F600", 3, u"\U0001F600"}));

struct FoldCase_ {
  char16_t upper;
  char16_t lower;
};

class FoldCaseTest : public ::testing::TestWithParam<FoldCase_> {};

TEST_P(FoldCaseTest, UpperAndLowerFoldTogether) {
  EXPECT_EQ(FoldCase(GetParam().upper), FoldCase(GetParam().lower));
  EXPECT_TRUE(
      EqualsIgnoreCase(std::u16string(1, GetParam().upper), std::u16string(1, GetParam().lower)));
}

INSTANTIATE_TEST_SUITE_P(Letters, FoldCaseTest,
                         ::testing::Values(FoldCase_{u'A', u'a'}, FoldCase_{u'Z', u'z'},
                                           FoldCase_{u'\u00C4', u'\u00E4'},    // Ä ä
                                           FoldCase_{u'\u00D6', u'\u00F6'},    // Ö ö
                                           FoldCase_{u'\u00DE', u'\u00FE'},    // Þ þ
                                           FoldCase_{u'\u0100', u'\u0101'},    // Ā ā
                                           FoldCase_{u'\u0141', u'\u0142'},    // Ł ł
                                           FoldCase_{u'\u017D', u'\u017E'},    // Ž ž
                                           FoldCase_{u'\u0178', u'\u00FF'},    // Ÿ ÿ
                                           FoldCase_{u'\u0391', u'\u03B1'},    // Α α
                                           FoldCase_{u'\u03A3', u'\u03C2'},    // Σ ς
                                           FoldCase_{u'\u0386', u'\u03AC'},    // Ά ά
                                           FoldCase_{u'\u0401', u'\u0451'},    // Ё ё
                                           FoldCase_{u'\u042F', u'\u044F'},    // Я я
                                           FoldCase_{u'\u0531', u'\u0561'},    // Ա ա
                                           FoldCase_{u'\u1EA0', u'\u1EA1'},    // Ạ ạ
                                           FoldCase_{u'\uFF21', u'\uFF41'}));  // Ａ ａ

TEST(EqualsIgnoreCaseTest, DistinctCharactersStayDistinct) {
  EXPECT_FALSE(EqualsIgnoreCase(u"\u00D7", u"\u00F7"));  // × and ÷ are not a case pair
  EXPECT_FALSE(EqualsIgnoreCase(u"a", u"b"));
  EXPECT_FALSE(EqualsIgnoreCase(u"\u00C4", u"A"));
  EXPECT_FALSE(EqualsIgnoreCase(u"ab", u"abc"));
  EXPECT_FALSE(EqualsIgnoreCase(u"@", u"`"));  // neighbours of the ASCII letters
  EXPECT_FALSE(EqualsIgnoreCase(u"[", u"{"));
  EXPECT_TRUE(EqualsIgnoreCase(u"", u""));
  EXPECT_TRUE(EqualsIgnoreCase(u"\u00C4rger", u"\u00E4RGER"));
  EXPECT_EQ(FoldCase(u'1'), u'1');
  EXPECT_EQ(FoldCase(u'\u00DF'), u'\u00DF');
}

struct Utf8Case {
  std::u16string utf16;
  std::string utf8;
};

class Utf8RoundTripTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RoundTripTest, BothWays) {
  EXPECT_EQ(ToUtf8(GetParam().utf16), GetParam().utf8);
  EXPECT_EQ(FromUtf8(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8RoundTripTest,
    ::testing::Values(Utf8Case{u"", ""}, Utf8Case{u"Profile_1", "Profile_1"},
                      Utf8Case{u"\u00C4rger", "\xC3\x84rger"},
                      Utf8Case{u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
                      Utf8Case{u"\u20AC", "\xE2\x82\xAC"}, Utf8Case{u"\uFFE5", "\xEF\xBF\xA5"},
                      Utf8Case{u"\U0001F600", "\xF0\x9F\x98\x80"},
                      Utf8Case{u"\U00010000\U0010FFFF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
                      Utf8Case{u"\u007F\u0080", "\x7F\xC2\x80"}));

TEST(ToUtf8Test, LoneSurrogatesBecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(ToUtf8(std::u16string(1, kHigh)), replacement);
  EXPECT_EQ(ToUtf8(std::u16string(1, kLow)), replacement);
  std::u16string swapped = u"a";
  swapped += kLow;
  swapped += kHigh;
  swapped += u'b';
  EXPECT_EQ(ToUtf8(swapped), "a" + replacement + replacement + "b");
}

struct InvalidCase {
  std::string utf8;
  std::u16string utf16;
};

class FromUtf8InvalidTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(FromUtf8InvalidTest, BadBytesBecomeReplacementCharacters) {
  EXPECT_EQ(FromUtf8(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, FromUtf8InvalidTest,
    ::testing::Values(InvalidCase{"a\xFF"
                                  "b",
                                  u"a\uFFFDb"},                            // never valid
                      InvalidCase{"\x80", u"\uFFFD"},                      // lone continuation
                      InvalidCase{"\xC0\x80", u"\uFFFD\uFFFD"},            // overlong NUL
                      InvalidCase{"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},  // overlong
                      InvalidCase{"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
                      InvalidCase{"\xF4\x90\x80\x80",
                                  u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
                      InvalidCase{"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
                      InvalidCase{"x\xC3", u"x\uFFFD"}));  // cut at the end

TEST(FromUtf8Test, TruncatedSequenceDoesNotSwallowTheNextCharacter) {
  const std::u16string text = FromUtf8(
      "\xE2\x82"
      "a\xC3\xA4");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.front(), u'\uFFFD');
  EXPECT_EQ(text.substr(text.size() - 2), u"a\u00E4");
  for (char16_t unit : text.substr(0, text.size() - 2)) EXPECT_EQ(unit, u'\uFFFD');
}

TEST(FromUtf8Test, ResultOfAnyInputIsValidUtf16) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    bytes += static_cast<char>(b);
    bytes += static_cast<char>(0x80 | (b & 0x3F));
  }
  const std::u16string text = FromUtf8(bytes);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
      ASSERT_LT(i + 1, text.size());
      ASSERT_TRUE(text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
      ++i;
    } else {
      ASSERT_FALSE(text[i] >= 0xDC00 && text[i] <= 0xDFFF) << i;
    }
  }
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

}  // namespace
}  // namespace kb
