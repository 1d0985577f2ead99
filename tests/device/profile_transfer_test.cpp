// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/profile_transfer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <vector>

#include "device/device_test_profiles.h"
#include "device/transfer_log.h"
#include "device/transfer_parser.h"
#include "kb_device_ids.h"
#include "keys/key_code.h"
#include "session/recording_sleeper.h"

namespace kb {
namespace {

using test::Action;
using test::BindMacro;
using test::DefaultProfile;
using test::ParseTransfers;
using test::RecordingSleeper;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kBegin = 0x0E, kEnd = 0x08, kLight = 0x01, kKeys = 0x02, kColors = 0x03,
                       kMacros = 0x04;

struct Sent {
  TransferLog log;
  RecordingSleeper sleeper;
  ProfileTransferResult result;
  test::ParsedTransfers parsed;
};

std::unique_ptr<Sent> Send(ProfileRecord& record, const MacroList& list, ChangedFlags changed) {
  auto sent = std::make_unique<Sent>();
  TransferWriter writer(sent->log, sent->sleeper);
  sent->result = SendProfileTransfer(record, MacroSnapshot::Take(record, list), changed, writer);
  sent->parsed = ParseTransfers(sent->log.reports());
  return sent;
}

Bytes UnlockBytes() {
  const std::string code = std::string(KB_UNLOCK_CODE_HIGH) + KB_UNLOCK_CODE_LOW;
  return Bytes(code.begin(), code.end());
}

TEST(ProfileTransfer, FullApplyOfDefaultProfileIs123PacedReports) {
  auto record = DefaultProfile();
  const MacroList none;
  const auto sent = Send(*record, none, ChangedFlags::All());
  ASSERT_TRUE(sent->result.status.ok());
  EXPECT_EQ(sent->log.size(), 2u + 9u + 72u + 36u + 2u + 2u);
  EXPECT_EQ(sent->result.reports, 123u);
  EXPECT_EQ(sent->sleeper.sleeps(),
            std::vector<std::chrono::milliseconds>(123, std::chrono::milliseconds(20)));
  ASSERT_TRUE(sent->parsed.error.empty()) << sent->parsed.error;

  const auto& t = sent->parsed.transfers;
  ASSERT_EQ(t.size(), 1u + 1u + 8u + 4u + 1u + 1u);
  // Begin: 0E 00 00 00 00 00 08 00, the unlock code padded to 64 bytes.
  EXPECT_EQ(t[0].header, (Bytes{0x0E, 0, 0, 0, 0, 0, 0x08, 0x00}));
  EXPECT_EQ(t[0].data, UnlockBytes());
  EXPECT_EQ(t[0].padding, Bytes(56, 0));
  // Lighting: one 512-byte block, index 0.
  EXPECT_EQ(t[1].header, (Bytes{0x01, 0, 0, 0, 0, 0, 0x00, 0x02}));
  EXPECT_EQ(t[1].data[0], 0) << "active bank";
  EXPECT_EQ(t[1].data[19], 1) << "mode 0 + 1";
  EXPECT_EQ(Bytes(t[1].data.begin() + 76, t[1].data.begin() + 85),
            (Bytes{0x08, 0x05, 0x02, 0x00, 0xFF, 0x00, 0x0F, 0x00, 0x00}));
  EXPECT_EQ(Bytes(t[1].data.begin() + 509, t[1].data.end()), (Bytes{0x02, 0x5A, 0xA5}));
  // Colours: pieces 0..7; key 46 of set 0 is orange (blue 0, red 255, green 64) in both halves.
  Bytes colors;
  for (int p = 0; p < 8; ++p) {
    EXPECT_EQ(t[2 + p].header, (Bytes{0x03, static_cast<std::uint8_t>(p), 0, 0, 0, 0, 0x00, 0x02}));
    colors.insert(colors.end(), t[2 + p].data.begin(), t[2 + p].data.end());
  }
  for (std::size_t half : {0u, 2048u}) {
    EXPECT_EQ(colors[half + 0 + 46], 0);
    EXPECT_EQ(colors[half + 132 + 46], 255);
    EXPECT_EQ(colors[half + 264 + 46], 64);
  }
  // No macros: the key map pages follow the colours at once.
  Bytes keys;
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(t[10 + p].header,
              (Bytes{0x02, static_cast<std::uint8_t>(p), 0, 0, 0, 0, 0x00, 0x02}));
    keys.insert(keys.end(), t[10 + p].data.begin(), t[10 + p].data.end());
  }
  for (int b = 0; b < 2; ++b) {
    for (int k = 0; k < kKeyCount; ++k) {
      const KeyCode code = ReadKeyCode(record->banks[b].keys[k].code);
      const std::size_t at = 1024 * b + 4 * k;
      ASSERT_EQ(keys[at] | (keys[at + 1] << 8) | (keys[at + 2] << 16) |
                    (static_cast<KeyCode>(keys[at + 3]) << 24),
                code);
    }
  }
  EXPECT_EQ(t[14].header, (Bytes{0x0E, 0, 0, 0, 0, 0, 0x08, 0x00}));
  EXPECT_EQ(t[14].data, UnlockBytes());
  EXPECT_EQ(t[15].header, (Bytes{0x08, 0, 0, 0, 0, 0, 0x08, 0x00}));
  EXPECT_EQ(t[15].data, Bytes(8, 0));
  EXPECT_EQ(t[15].padding, Bytes(56, 0));
}

TEST(ProfileTransfer, NoChangeSendsBeginBeginEnd) {
  auto record = DefaultProfile();
  const auto sent = Send(*record, {}, ChangedFlags{});
  EXPECT_EQ(sent->log.size(), 6u);
  EXPECT_EQ(test::Commands(sent->parsed), (Bytes{kBegin, kBegin, kEnd}));
}

struct PartsCase {
  const char* name;
  ChangedFlags changed;
  Bytes commands;
  std::size_t reports;
};

class ProfileTransferParts : public ::testing::TestWithParam<PartsCase> {};

TEST_P(ProfileTransferParts, SendsOnlyTheChangedParts) {
  auto record = DefaultProfile();
  const auto sent = Send(*record, {}, GetParam().changed);
  EXPECT_EQ(test::Commands(sent->parsed), GetParam().commands);
  EXPECT_EQ(sent->log.size(), GetParam().reports);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ProfileTransferParts,
    ::testing::Values(
        PartsCase{"Lighting", {true, false, false}, {kBegin, kLight, kBegin, kEnd}, 15},
        PartsCase{"Colors",
                  {false, true, false},
                  {kBegin, kColors, kColors, kColors, kColors, kColors, kColors, kColors, kColors,
                   kBegin, kEnd},
                  78},
        PartsCase{
            "Keys", {false, false, true}, {kBegin, kKeys, kKeys, kKeys, kKeys, kBegin, kEnd}, 42}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileTransfer, MacroPagesPrecedeTheKeyMapWhichCarriesTheNewOffsets) {
  MacroList list;
  auto macro = test::EmptyMacro();
  for (int i = 0; i < 255; ++i) test::AddAction(*macro, Action(0x04, 1, 10));  // 2 + 510 + 2 = 514
  list.push_back(std::move(macro));
  auto record = DefaultProfile();
  record->banks[0].keys[3].device_macro_offset[1] = 0x77;  // stale; a default key keeps it
  BindMacro(record->banks[0].keys[5], 0);
  BindMacro(record->banks[1].fn_keys[0], 0);  // 514 + 514 = 1028: three pages
  const auto sent = Send(*record, list, {false, false, true});
  ASSERT_TRUE(sent->parsed.error.empty()) << sent->parsed.error;
  EXPECT_EQ(test::Commands(sent->parsed),
            (Bytes{kBegin, kMacros, kMacros, kMacros, kKeys, kKeys, kKeys, kKeys, kBegin, kEnd}));
  const auto& t = sent->parsed.transfers;
  for (int p = 0; p < 3; ++p) EXPECT_EQ(t[1 + p].index, p);
  EXPECT_EQ(sent->result.macro_pages, 3);
  // Page 2 holds bytes 1024..1027 (the end of the second program) and zeros.
  EXPECT_EQ(Bytes(t[3].data.begin(), t[3].data.begin() + 4), (Bytes{0x0B, 0x04, 0x00, 0x00}));
  EXPECT_EQ(Bytes(t[3].data.begin() + 4, t[3].data.end()), Bytes(508, 0));
  // Key map words of the two bound keys: offset high, low, repeat mode, type 0x10.
  EXPECT_EQ(Bytes(t[4].data.begin() + 4 * 5, t[4].data.begin() + 4 * 5 + 4),
            (Bytes{0x00, 0x00, 0x00, 0x10}));
  // fn_keys[0] of bank 1 is at 1024 + 528: page 3, byte 528 - 512 = 16... of the bank's half.
  EXPECT_EQ(Bytes(t[7].data.begin() + 16, t[7].data.begin() + 20), (Bytes{0x02, 0x02, 0x00, 0x10}));
  EXPECT_EQ(record->banks[1].fn_keys[0].device_macro_offset[0], 0x02);
  EXPECT_EQ(record->banks[1].fn_keys[0].device_macro_offset[1], 0x02);
}

TEST(ResumeTransfer, BeginThenEndWithIndex66) {
  TransferLog log;
  RecordingSleeper sleeper;
  TransferWriter writer(log, sleeper);
  ASSERT_TRUE(SendResumeTransfer(writer).ok());
  const auto parsed = ParseTransfers(log.reports());
  ASSERT_EQ(parsed.transfers.size(), 2u);
  EXPECT_EQ(parsed.transfers[0].header, (Bytes{0x0E, 0, 0, 0, 0, 0, 0x08, 0x00}));
  EXPECT_EQ(parsed.transfers[0].data, UnlockBytes());
  EXPECT_EQ(parsed.transfers[1].header, (Bytes{0x08, 0x66, 0, 0, 0, 0, 0x08, 0x00}));
  EXPECT_EQ(parsed.transfers[1].data, Bytes(8, 0));
  EXPECT_EQ(sleeper.count(), 4u);
}

}  // namespace
}  // namespace kb
