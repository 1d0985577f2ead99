// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dui_string.h"
#include "ui/trace.h"

#include <gtest/gtest.h>

using DuiLib::CDuiString;

namespace {

TEST(DuiStringTest, FormatPrintfPatterns) {
  struct Case {
    CDuiString got;
    const char16_t* want;
  };
  const Case cases[] = {
      {CDuiString::Formatted(u"%d", 42), u"42"},
      {CDuiString::Formatted(u"%d", -7), u"-7"},
      {CDuiString::Formatted(u"%x.%02x", 1, 5), u"1.05"},
      {CDuiString::Formatted(u"%X", 0xABu), u"AB"},
      {CDuiString::Formatted(u"%x", -1), u"ffffffff"},
      {CDuiString::Formatted(u"kb_3_preview_%d", 132), u"kb_3_preview_132"},
      {CDuiString::Formatted(u"%d,%d,%d,%d", 1, 2, 3, 4), u"1,2,3,4"},
      {CDuiString::Formatted(u"X: %d Y: %d", -127, 127), u"X: -127 Y: 127"},
      {CDuiString::Formatted(u"%s_%d", CDuiString(u"game"), 2), u"game_2"},
      {CDuiString::Formatted(u"%s-%s", u"a", "b"), u"a-b"},
      {CDuiString::Formatted(u"%5s|%-3s|", u"ab", u"c"), u"   ab|c  |"},
      {CDuiString::Formatted(u"%.2f", 2.5), u"2.50"},
      {CDuiString::Formatted(u"100%%"), u"100%"},
      {CDuiString::Formatted(u"%c", u'Z'), u"Z"},
      {CDuiString::Formatted(u"%d %d", 1), u"1 "},
      {CDuiString::Formatted(u"%d", u"text"), u""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, CDuiString(c.want)) << c.got.ToUtf8();
}

TEST(DuiStringTest, ComparisonsAndPieces) {
  CDuiString s(u"KB_3_Profile_Add");
  EXPECT_EQ(s.CompareNoCase(u"kb_3_profile_add"), 0);
  EXPECT_LT(s.CompareNoCase(u"kb_3_profile_del"), 0);
  EXPECT_GT(s.Compare(u"KB_3"), 0);
  EXPECT_EQ(CDuiString(u"\u00c4").CompareNoCase(u"\u00e4"), 0);
  EXPECT_EQ(s.Left(5), CDuiString(u"KB_3_"));
  EXPECT_EQ(s.Right(3), CDuiString(u"Add"));
  EXPECT_EQ(s.Mid(5, 7), CDuiString(u"Profile"));
  EXPECT_EQ(s.Mid(100), CDuiString());
  EXPECT_EQ(s.Left(100), s);
  EXPECT_EQ(s.GetAt(0), u'K');
  EXPECT_EQ(s.GetAt(-1), 0);
  EXPECT_EQ(s.GetAt(100), 0);
  EXPECT_EQ(s.Find(u'_'), 2);
  EXPECT_EQ(s.Find(u"Profile"), 5);
  EXPECT_EQ(s.Find(u"none"), -1);
  EXPECT_EQ(s.ReverseFind(u'_'), 12);
  CDuiString r(u"a-b-c");
  EXPECT_EQ(r.Replace(u"-", u"+-"), 2);
  EXPECT_EQ(r, CDuiString(u"a+-b+-c"));
  CDuiString utf8("Grüße");
  EXPECT_EQ(utf8, CDuiString(u"Grüße"));
  EXPECT_EQ(utf8.ToUtf8(), "Grüße");
  CDuiString t(u"  x \t");
  t.TrimLeft();
  t.TrimRight();
  EXPECT_EQ(t, CDuiString(u"x"));
}

TEST(TraceTest, TraceLinesReachTheSink) {
  std::vector<CDuiString> lines;
  DuiLib::SetTraceSinkForTesting([&](const CDuiString& line) { lines.push_back(line); });
  DuiLib::DUI__Trace(u"%x,%x\n", 0x41, 0);
  DuiLib::DUI__Trace(u"iUsageID=%d\n", 4);
  DuiLib::SetTraceSinkForTesting(nullptr);
  EXPECT_EQ(lines, (std::vector<CDuiString>{u"41,0\n", u"iUsageID=4\n"}));
}

}  // namespace
