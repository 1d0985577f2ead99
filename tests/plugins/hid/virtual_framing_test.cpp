// SPDX-License-Identifier: GPL-3.0-or-later
// Every framing rule of the transfer protocol, broken once, gives exactly its violation line,
// and what broke the framing is not decoded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "plugins/hid/virtual_keyboard_fixture.h"

namespace kb::test {
namespace {

using ::testing::HasSubstr;

struct FramingCase {
  const char* name;
  void (*run)();
  std::vector<const char*> expected;  // substrings of the violation lines, in order
};

using Fixture = VirtualKeyboardTest;

void SendReports(int count) {
  for (int i = 0; i < count; ++i) EXPECT_EQ(Fixture::Output(Report{}), 1);
}

const FramingCase kCases[] = {
    {"UploadBeforeBegin",
     [] { Fixture::Upload(kColor, 0, PageBytes{}); },
     {"command 0x03 index 0 before a begin with the correct unlock code"}},
    {"WrongUnlockCode",
     [] {
       EXPECT_EQ(Fixture::Feature(MakeHeader(kBegin, 0, 8)), 1);
       Report wrong{};
       std::memcpy(wrong.data(), "00000000", 8);
       EXPECT_EQ(Fixture::Output(wrong), 1);
       Fixture::Upload(kColor, 1, PageBytes{});
     },
     {"begin command with a wrong unlock code", "command 0x03 index 1 before a begin"}},
    {"TooFewReportsBeforeNextHeader",
     [] {
       Fixture::Begin();
       EXPECT_EQ(Fixture::Feature(MakeHeader(kColor, 0, 512)), 1);
       SendReports(3);
       Fixture::End();
     },
     {"header 0x03 index 0 announced 512 bytes but only 192 arrived before the next header"}},
    {"ShortTransferCutByHeader",
     [] {
       Fixture::Begin();
       EXPECT_EQ(Fixture::Feature(MakeHeader(kEnd, 0, 8)), 1);
       Fixture::End();
     },
     {"header 0x08 index 0 announced 8 bytes but only 0 arrived"}},
    {"TooManyReports",
     [] {
       Fixture::Begin();
       Fixture::Upload(kColor, 0, PageBytes{});
       SendReports(1);
     },
     {"output report with no header announcing it"}},
    {"LengthNotEightOrFiveTwelve",
     [] {
       Fixture::Begin();
       EXPECT_EQ(Fixture::Feature(MakeHeader(kColor, 0, 100)), 1);
     },
     {"header 0x03 announces 100 bytes, neither 8 nor 512"}},
    {"LengthWrongForCommand",
     [] {
       Fixture::Begin();
       EXPECT_EQ(Fixture::Feature(MakeHeader(kLighting, 0, 8)), 1);
       SendReports(1);
     },
     {"command 0x01 announces 8 bytes, it carries 512"}},
    {"FeatureReportOfSevenBytes",
     [] {
       Header h = MakeHeader(kBegin, 0, 8);
       EXPECT_EQ(Fixture::hid().set_feature(h.data(), 7), 0);
     },
     {"feature report of 7 bytes; the keyboard takes 8"}},
    {"OutputReportOfSixtyFiveBytes",
     [] {
       std::array<uint8_t, 65> r{};
       EXPECT_EQ(Fixture::hid().write_usb(r.data(), 65), 0);
     },
     {"output report of 65 bytes; the keyboard takes 64"}},
    {"UnknownCommand",
     [] {
       Fixture::Begin();
       Fixture::Upload(0x05, 0, PageBytes{});
     },
     {"unknown command 0x05 (index 0)"}},
    {"KeyMapPageOutOfRange",
     [] {
       Fixture::Begin();
       Fixture::Upload(kKeyMap, 4, PageBytes{});
     },
     {"command 0x02 index 4 out of range 0..3"}},
    {"ColourPieceOutOfRange",
     [] {
       Fixture::Begin();
       Fixture::Upload(kColor, 8, PageBytes{});
     },
     {"command 0x03 index 8 out of range 0..7"}},
    {"MacroPageOutOfRange",
     [] {
       Fixture::Begin();
       Fixture::Upload(kMacro, 20, PageBytes{});
     },
     {"command 0x04 index 20 out of range 0..19"}},
    {"LightingIndexNotZero",
     [] {
       Fixture::Begin();
       Fixture::Upload(kLighting, 1, PageBytes{});
     },
     {"command 0x01 index 1 out of range 0..0"}},
    {"EndWithoutBegin", [] { Fixture::End(); }, {"end command (index 0x00) without a begin"}},
    {"EndAfterEnd",
     [] {
       Fixture::Begin();
       Fixture::End();
       Fixture::End(0x66);
     },
     {"end command (index 0x66) without a begin"}},
    {"EndIndexUnknown",
     [] {
       Fixture::Begin();
       Fixture::End(0x12);
     },
     {"end command index 0x12 is neither 0 nor 0x66"}},
    {"HeaderReservedByteSet",
     [] {
       Fixture::Begin();
       Header h = MakeHeader(kEnd, 0, 8);
       h[4] = 0x01;
       EXPECT_EQ(Fixture::Feature(h), 1);
       SendReports(1);
     },
     {"header 0x08 byte 4 is 0x01, not zero"}},
    {"ShortPayloadPaddingNotZero",
     [] {
       EXPECT_EQ(Fixture::Feature(MakeHeader(kBegin, 0, 8)), 1);
       Report r = UnlockReport();
       r[8] = 0xAA;
       EXPECT_EQ(Fixture::Output(r), 1);
     },
     {"command 0x0E: the output report after its 8 data bytes is not zero"}},
    {"EndDataNotZero",
     [] {
       Fixture::Begin();
       EXPECT_EQ(Fixture::Feature(MakeHeader(kEnd, 0, 8)), 1);
       Report r{};
       r[3] = 1;
       EXPECT_EQ(Fixture::Output(r), 1);
     },
     {"end command data is not 8 zero bytes"}},
};

class FramingViolationTest : public VirtualKeyboardTest,
                             public ::testing::WithParamInterface<FramingCase> {};

TEST_P(FramingViolationTest, RecordsExactlyItsViolations) {
  GetParam().run();
  std::vector<std::string> lines = Violations();
  ASSERT_EQ(lines.size(), GetParam().expected.size()) << ::testing::PrintToString(lines);
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_THAT(lines[i], HasSubstr(GetParam().expected[i]));
  EXPECT_EQ(State()->counters.violations, GetParam().expected.size());
}

INSTANTIATE_TEST_SUITE_P(Rules, FramingViolationTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualKeyboardTest, SoundSessionHasNoViolations) {
  Begin();
  Upload(kColor, 2, PageBytes{});
  Begin();
  End();
  Begin();
  End(0x66);
  EXPECT_TRUE(Violations().empty());
  auto state = State();
  EXPECT_EQ(state->counters.begins, 3u);
  EXPECT_EQ(state->counters.unlocks_accepted, 3u);
  EXPECT_EQ(state->counters.ends, 2u);
  EXPECT_EQ(state->counters.color_pieces, 1u);
  EXPECT_EQ(state->last_end_index, 0x66);
  EXPECT_EQ(state->unlocked, 0);
}

TEST_F(VirtualKeyboardTest, UploadOutsideSessionIsNotDecoded) {
  PageBytes page{};
  page.fill(0x11);
  Upload(kMacro, 0, page);
  auto state = State();
  EXPECT_EQ(state->counters.macro_pages, 0u);
  EXPECT_EQ(state->macro_area[0], 0);
  EXPECT_EQ(state->macro_page_mask, 0u);
}

TEST_F(VirtualKeyboardTest, WrongCodeLocksAnOpenSession) {
  Begin();
  EXPECT_EQ(State()->unlocked, 1);
  EXPECT_EQ(Feature(MakeHeader(kBegin, 0, 8)), 1);
  EXPECT_EQ(Output(Report{}), 1);
  EXPECT_EQ(State()->unlocked, 0);
  EXPECT_EQ(State()->counters.unlocks_accepted, 1u);
}

TEST_F(VirtualKeyboardTest, CutTransferIsNotDecoded) {
  Begin();
  EXPECT_EQ(Feature(MakeHeader(kColor, 0, 512)), 1);
  Report r{};
  r.fill(0x22);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Output(r), 1);
  End();
  EXPECT_EQ(State()->counters.color_pieces, 0u);
  EXPECT_EQ(State()->banks[0].colors[0].blue[0], 0);
}

}  // namespace
}  // namespace kb::test
