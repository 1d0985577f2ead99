// SPDX-License-Identifier: GPL-3.0-or-later
// What the virtual keyboard posts (firmware version, bank and light-mode switches, unplug and
// replug), how the channels follow the cable, and the transfer log's format.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "plugins/hid/virtual_keyboard_fixture.h"

namespace kb::test {
namespace {

using ::testing::ElementsAre;

constexpr uintptr_t kBankSwitchCode = 0x0508;
constexpr uintptr_t kLightModeCode = 0x030B;

// A fresh library with nothing opened, for the tests of what opening does.
class FreshLibraryTest : public VirtualKeyboardTest {
 public:
  void SetUp() override {
    ASSERT_NE(lib().handle, nullptr) << lib().error;
    ASSERT_EQ(vkb().reset(), 1);
    recorder().Clear();
  }
  static int OpenMonitor() {
    kb_message_target target = recorder().target();
    return hid().open_monitor(&target, kDataMessage, kChangeMessage);
  }
};

TEST_F(FreshLibraryTest, MonitorPostsTheFirmwareVersion) {
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
  ASSERT_EQ(OpenMonitor(), 1);
  ASSERT_TRUE(recorder().WaitForCount(1));
  EXPECT_THAT(recorder().messages(),
              ElementsAre(PostedMessage{kDataMessage, 0, VKB_FIRMWARE_VERSION}));
}

TEST_F(FreshLibraryTest, OtherIdsSelectNoDevice) {
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_4_PRODUCT_ID), 1);
  ASSERT_EQ(OpenMonitor(), 1);
  EXPECT_EQ(hid().open_feature(), 0);
  EXPECT_EQ(hid().open_report(), 0);
  Header h = MakeHeader(kBegin, 0, 8);
  EXPECT_EQ(hid().set_feature(h.data(), 8), 0);
  // Posts arrive in order, so the first one after reselecting the keyboard shows that no
  // version was posted for the other ids.
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
  ASSERT_EQ(vkb().unplug(), 1);
  ASSERT_TRUE(recorder().WaitForCount(1));
  EXPECT_EQ(recorder().messages().front(), (PostedMessage{kChangeMessage, 0, 0}));
}

TEST_F(FreshLibraryTest, ChannelsNeedIdsFirst) {
  EXPECT_EQ(hid().open_feature(), 0);
  EXPECT_EQ(hid().open_report(), 0);
  EXPECT_EQ(hid().set_ids(-1, 3), 0);
  EXPECT_EQ(hid().set_ids(KB_VENDOR_ID, 0x10000), 0);
}

TEST_F(FreshLibraryTest, MonitorRefusesAMissingTarget) {
  EXPECT_EQ(hid().open_monitor(nullptr, kDataMessage, kChangeMessage), 0);
  kb_message_target empty{nullptr, nullptr};
  EXPECT_EQ(hid().open_monitor(&empty, kDataMessage, kChangeMessage), 0);
}

TEST_F(FreshLibraryTest, TransfersNeedTheirChannelOpen) {
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
  EXPECT_EQ(Feature(MakeHeader(kBegin, 0, 8)), 0);
  ASSERT_EQ(hid().open_feature(), 1);
  EXPECT_EQ(Feature(MakeHeader(kBegin, 0, 8)), 1);
  EXPECT_EQ(Output(UnlockReport()), 0);
  ASSERT_EQ(hid().open_report(), 1);
  EXPECT_EQ(Output(UnlockReport()), 1);
  EXPECT_EQ(State()->unlocked, 1);
  EXPECT_EQ(hid().close_feature(), 1);
  EXPECT_EQ(Feature(MakeHeader(kEnd, 0, 8)), 0);
  EXPECT_EQ(State()->counters.refused_calls, 3u);
}

TEST_F(VirtualKeyboardTest, UnplugPostsRemovalAndTransfersFail) {
  Begin();
  ASSERT_EQ(vkb().unplug(), 1);
  ASSERT_TRUE(recorder().WaitForCount(1));
  EXPECT_THAT(recorder().messages(), ElementsAre(PostedMessage{kChangeMessage, 0, 0}));
  EXPECT_EQ(Feature(MakeHeader(kEnd, 0, 8)), 0);
  EXPECT_EQ(Output(Report{}), 0);
  EXPECT_EQ(hid().open_feature(), 0);
  EXPECT_EQ(hid().open_report(), 0);
  EXPECT_EQ(vkb().unplug(), 0);
  auto state = State();
  EXPECT_EQ(state->plugged, 0);
  EXPECT_EQ(state->unlocked, 0);
  EXPECT_EQ(state->counters.refused_calls, 2u);
  EXPECT_EQ(vkb().switch_bank(1), 0);
  EXPECT_EQ(vkb().switch_light_mode(3), 0);
}

TEST_F(VirtualKeyboardTest, PlugInPostsArrivalAndChannelsReopen) {
  ASSERT_EQ(vkb().unplug(), 1);
  ASSERT_EQ(vkb().plug_in(), 1);
  ASSERT_TRUE(recorder().WaitForCount(2));
  EXPECT_THAT(recorder().messages(), ElementsAre(PostedMessage{kChangeMessage, 0, 0},
                                                 PostedMessage{kChangeMessage, 1, 0}));
  EXPECT_EQ(vkb().plug_in(), 0);
  // The old handles died with the cable.
  EXPECT_EQ(Feature(MakeHeader(kBegin, 0, 8)), 0);
  ASSERT_EQ(hid().open_feature(), 1);
  ASSERT_EQ(hid().open_report(), 1);
  Begin();
  End();
  EXPECT_TRUE(Violations().empty());
  EXPECT_EQ(State()->plugged, 1);
}

TEST_F(VirtualKeyboardTest, UnplugInTheMiddleOfATransferDropsIt) {
  Begin();
  ASSERT_EQ(Feature(MakeHeader(kColor, 0, 512)), 1);
  ASSERT_EQ(Output(Report{}), 1);
  ASSERT_EQ(vkb().unplug(), 1);
  ASSERT_EQ(vkb().plug_in(), 1);
  ASSERT_EQ(hid().open_feature(), 1);
  ASSERT_EQ(hid().open_report(), 1);
  Begin();
  End();
  EXPECT_TRUE(Violations().empty());
}

TEST_F(VirtualKeyboardTest, BankSwitchPostsAndSetsTheBank) {
  ASSERT_EQ(vkb().switch_bank(1), 1);
  ASSERT_EQ(vkb().switch_bank(0), 1);
  EXPECT_EQ(vkb().switch_bank(2), 0);
  EXPECT_EQ(vkb().switch_bank(-1), 0);
  ASSERT_TRUE(recorder().WaitForCount(2));
  EXPECT_THAT(recorder().messages(),
              ElementsAre(PostedMessage{kDataMessage, kBankSwitchCode, (1 << 8) | 1},
                          PostedMessage{kDataMessage, kBankSwitchCode, (1 << 8) | 0}));
  EXPECT_EQ(State()->active_bank, 0);
}

TEST_F(VirtualKeyboardTest, LightModeSwitchPostsAndSetsTheActiveBanksMode) {
  ASSERT_EQ(vkb().switch_bank(1), 1);
  ASSERT_EQ(vkb().switch_light_mode(4), 1);
  ASSERT_EQ(vkb().switch_light_mode(19), 1);
  EXPECT_EQ(vkb().switch_light_mode(20), 0);
  EXPECT_EQ(vkb().switch_light_mode(-1), 0);
  ASSERT_TRUE(recorder().WaitForCount(3));
  std::vector<PostedMessage> got = recorder().messages();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[1], (PostedMessage{kDataMessage, kLightModeCode, 5 << 8}));
  EXPECT_EQ(got[2], (PostedMessage{kDataMessage, kLightModeCode, 20 << 8}));
  auto state = State();
  EXPECT_EQ(state->banks[1].lighting.light_mode, 19);
  EXPECT_EQ(state->banks[0].lighting.light_mode, VKB_LIGHT_MODE_NONE);
}

TEST_F(VirtualKeyboardTest, InputReportsCarryCodeAndValueBigEndian) {
  constexpr size_t kCodeHigh = 1, kCodeLow = 2, kValueHigh = 3, kValueLow = 4;
  ASSERT_EQ(vkb().switch_bank(1), 1);
  std::array<uint8_t, 64> report{};
  // First the version the monitor was answered with, then the switch.
  ASSERT_EQ(hid().read_usb(report.data(), 64), 1);
  EXPECT_EQ(report[kCodeHigh], 0x00);
  EXPECT_EQ(report[kCodeLow], 0x00);
  EXPECT_EQ(report[kValueHigh], 0x01);
  EXPECT_EQ(report[kValueLow], 0x05);
  ASSERT_EQ(hid().read_usb(report.data(), 64), 1);
  EXPECT_EQ(report[kCodeHigh], 0x05);
  EXPECT_EQ(report[kCodeLow], 0x08);
  EXPECT_EQ(report[kValueHigh], 0x01);
  EXPECT_EQ(report[kValueLow], 0x01);
  EXPECT_EQ(hid().read_usb(report.data(), 64), 0);
  EXPECT_EQ(hid().read_usb(report.data(), 8), 0);
}

TEST_F(VirtualKeyboardTest, GetFeatureAnswersTheLastHeader) {
  std::array<uint8_t, 8> got{};
  ASSERT_EQ(hid().get_feature(got.data(), 8), 1);
  EXPECT_EQ(got, (std::array<uint8_t, 8>{}));
  Header h = MakeHeader(kBegin, 0, 8);
  ASSERT_EQ(Feature(h), 1);
  ASSERT_EQ(hid().get_feature(got.data(), 8), 1);
  EXPECT_EQ(got, h);
  EXPECT_EQ(hid().get_feature(got.data(), 7), 0);
  EXPECT_EQ(hid().get_feature(nullptr, 8), 0);
}

std::string Hex(const uint8_t* bytes, size_t count) {
  std::string text;
  char two[3];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(two, sizeof two, "%02X", bytes[i]);
    text += two;
  }
  return text;
}

TEST_F(VirtualKeyboardTest, LogHasOneLinePerReport) {
  Begin();
  End(0x66);
  Report unlock = UnlockReport();
  Header begin = MakeHeader(kBegin, 0, 8);
  Header end = MakeHeader(kEnd, 0x66, 8);
  Report zeros{};
  EXPECT_THAT(Log(), ElementsAre("F " + Hex(begin.data(), 8), "O " + Hex(unlock.data(), 64),
                                 "F " + Hex(end.data(), 8), "O " + Hex(zeros.data(), 64)));
  EXPECT_TRUE(Log().empty());
}

TEST_F(VirtualKeyboardTest, LogLinesAreSpelledOut) {
  ASSERT_EQ(Feature(MakeHeader(kMacro, 0x13, 512)), 1);
  std::vector<std::string> lines = Log();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "F 0413000000000002");
}

TEST_F(VirtualKeyboardTest, TakeMovesOnlyWholeLines) {
  Begin();
  constexpr size_t kFeatureLine = 2 + 16 + 1;  // "F ", digits, '\n'
  char small[kFeatureLine];                    // no room for the NUL
  EXPECT_EQ(vkb().take_log(small, sizeof small), -1);
  char exact[kFeatureLine + 1];
  EXPECT_EQ(vkb().take_log(exact, sizeof exact), 1);
  EXPECT_EQ(std::string(exact), "F 0E00000000000800\n");
  EXPECT_EQ(vkb().take_log(exact, sizeof exact), -1);  // the output line is longer
  char room[512];
  EXPECT_EQ(vkb().take_log(room, sizeof room), 1);
  EXPECT_EQ(vkb().take_log(room, sizeof room), 0);
  EXPECT_STREQ(room, "");
  EXPECT_EQ(vkb().take_log(nullptr, 10), -1);
}

TEST_F(VirtualKeyboardTest, ResetForgetsEverything) {
  PageBytes page{};
  page.fill(0x01);
  Apply(kMacro, 0, page);
  End();  // a violation
  ASSERT_EQ(vkb().reset(), 1);
  auto state = State();
  EXPECT_EQ(state->counters.feature_reports, 0u);
  EXPECT_EQ(state->macro_area[0], 0);
  EXPECT_EQ(state->macro_page_mask, 0u);
  EXPECT_EQ(state->plugged, 1);
  EXPECT_TRUE(Log().empty());
  EXPECT_TRUE(Violations().empty());
  EXPECT_EQ(hid().open_feature(), 0);  // ids are gone too
}

}  // namespace
}  // namespace kb::test
