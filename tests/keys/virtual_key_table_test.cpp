// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/virtual_key_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "keys/scan_code_source.h"

namespace kb {
namespace {

// Restores the platform scan codes after each test that stands in for a layout.
class VirtualKeyTest : public ::testing::Test {
 protected:
  void TearDown() override { SetScanCodeSourceForTesting({}); }

  // A layout that differs from US only in `moved` (virtual key -> scan code it has there).
  static void UseLayout(std::map<std::uint32_t, std::uint32_t> moved) {
    SetScanCodeSourceForTesting([moved](std::uint32_t vk) -> std::uint32_t {
      if (auto it = moved.find(vk); it != moved.end()) return it->second;
      for (const VirtualKeyRow& row : VirtualKeyTable())
        if (row.virtual_key == vk) return row.scan_code;
      return 0;
    });
  }
};

TEST_F(VirtualKeyTest, TableHas111RowsWithUniqueColumns) {
  const auto table = VirtualKeyTable();
  ASSERT_EQ(table.size(), 111u);
  std::set<std::uint32_t> vks, usages, scans;
  int with_scan = 0;
  for (const VirtualKeyRow& row : table) {
    vks.insert(row.virtual_key);
    usages.insert(row.usage);
    if (row.scan_code != 0) {
      scans.insert(row.scan_code);
      ++with_scan;
    }
  }
  EXPECT_EQ(vks.size(), 111u);
  EXPECT_EQ(usages.size(), 111u);
  EXPECT_EQ(with_scan, 65);
  EXPECT_EQ(scans.size(), 65u);
}

TEST_F(VirtualKeyTest, RowsWithScanCodesAreExactlyUsages04To45) {
  std::set<std::uint32_t> scanned;
  for (const VirtualKeyRow& row : VirtualKeyTable()) {
    const bool in_range = row.usage >= 0x04 && row.usage <= 0x45;
    EXPECT_EQ(row.scan_code != 0, in_range) << "usage " << row.usage;
    if (row.scan_code != 0) scanned.insert(row.usage);
  }
  std::set<std::uint32_t> expected;
  for (std::uint32_t u = 0x04; u <= 0x45; ++u)
    if (u != 0x32) expected.insert(u);
  EXPECT_EQ(scanned, expected);
}

TEST_F(VirtualKeyTest, NoVirtualKeyLeadsToUsage32Or64) {
  for (std::uint32_t vk = 0; vk <= 0xFFFF; ++vk) {
    const UsageLookup r = UsageFromVirtualKey(vk);
    ASSERT_NE(r.usage, 0x32u) << vk;
    ASSERT_NE(r.usage, 0x64u) << vk;
  }
}

TEST_F(VirtualKeyTest, LettersAndTheirUsScanCodes) {
  const std::uint32_t scan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                  0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                  0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  for (std::uint32_t i = 0; i < 26; ++i) {
    const UsageLookup r = UsageFromVirtualKey(0x41 + i);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.usage, 0x04 + i) << char('A' + i);
    EXPECT_EQ(ScanCodeOfVirtualKey(0x41 + i), scan[i]) << char('A' + i);
  }
}

TEST_F(VirtualKeyTest, DigitsAndFunctionKeys) {
  for (std::uint32_t i = 0; i < 9; ++i) {
    EXPECT_EQ(UsageFromVirtualKey(0x31 + i).usage, 0x1E + i);
    EXPECT_EQ(ScanCodeOfVirtualKey(0x31 + i), 0x02 + i);
  }
  EXPECT_EQ(UsageFromVirtualKey(0x30).usage, 0x27u);
  EXPECT_EQ(ScanCodeOfVirtualKey(0x30), 0x0Bu);
  for (std::uint32_t i = 0; i < 12; ++i) EXPECT_EQ(UsageFromVirtualKey(0x70 + i).usage, 0x3A + i);
  for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(ScanCodeOfVirtualKey(0x70 + i), 0x3B + i);
  EXPECT_EQ(ScanCodeOfVirtualKey(0x7A), 0x57u);
  EXPECT_EQ(ScanCodeOfVirtualKey(0x7B), 0x58u);
}

struct Lookup {
  std::uint32_t virtual_key;
  bool found;
  std::uint32_t usage;
};

class VirtualKeyLookupTest : public ::testing::TestWithParam<Lookup> {};

TEST_P(VirtualKeyLookupTest, UsLayout) {
  const UsageLookup r = UsageFromVirtualKey(GetParam().virtual_key);
  EXPECT_EQ(r.found, GetParam().found);
  EXPECT_EQ(r.usage, GetParam().usage);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VirtualKeyLookupTest,
    ::testing::Values(Lookup{0x0D, true, 0x28}, Lookup{0x1B, true, 0x29}, Lookup{0x08, true, 0x2A},
                      Lookup{0x09, true, 0x2B}, Lookup{0x20, true, 0x2C}, Lookup{0xBD, true, 0x2D},
                      Lookup{0xBB, true, 0x2E}, Lookup{0xDB, true, 0x2F}, Lookup{0xDD, true, 0x30},
                      Lookup{0xDC, true, 0x31}, Lookup{0xBA, true, 0x33}, Lookup{0xDE, true, 0x34},
                      Lookup{0xC0, true, 0x35}, Lookup{0xBC, true, 0x36}, Lookup{0xBE, true, 0x37},
                      Lookup{0xBF, true, 0x38}, Lookup{0x14, true, 0x39}, Lookup{0x2C, true, 0x46},
                      Lookup{0x91, true, 0x47}, Lookup{0x13, true, 0x48}, Lookup{0x2D, true, 0x49},
                      Lookup{0x24, true, 0x4A}, Lookup{0x21, true, 0x4B}, Lookup{0x2E, true, 0x4C},
                      Lookup{0x23, true, 0x4D}, Lookup{0x22, true, 0x4E}, Lookup{0x27, true, 0x4F},
                      Lookup{0x25, true, 0x50}, Lookup{0x28, true, 0x51}, Lookup{0x26, true, 0x52},
                      Lookup{0x90, true, 0x53}, Lookup{0x6F, true, 0x54}, Lookup{0x6A, true, 0x55},
                      Lookup{0x6D, true, 0x56}, Lookup{0x6B, true, 0x57}, Lookup{0x6C, true, 0x58},
                      Lookup{0x61, true, 0x59}, Lookup{0x69, true, 0x61}, Lookup{0x60, true, 0x62},
                      Lookup{0x6E, true, 0x63}, Lookup{0x5D, true, 0x65}, Lookup{0xA2, true, 0xE0},
                      Lookup{0xA0, true, 0xE1}, Lookup{0xA4, true, 0xE2}, Lookup{0x5B, true, 0xE3},
                      Lookup{0xA3, true, 0xE4}, Lookup{0xA1, true, 0xE5}, Lookup{0xA5, true, 0xE6},
                      Lookup{0x5C, true, 0xE7}, Lookup{0xF0, true, 0xF0}, Lookup{0xF3, true, 0xF3},
                      Lookup{0xF4, true, 0xF4}, Lookup{0xF7, true, 0xF7}, Lookup{0xF8, true, 0xF8},
                      Lookup{0x41, true, 0x04}, Lookup{0x70, true, 0x3A},
                      // Not in the table.
                      Lookup{0xE2, false, 0}, Lookup{0x00, false, 0}, Lookup{0xF5, false, 0},
                      Lookup{0x6C00, false, 0}, Lookup{0xFFFF'FFFF, false, 0}));

TEST_F(VirtualKeyTest, LayoutThatMovesLettersYieldsThePhysicalPosition) {
  // An AZERTY layout: 'A' sits where US has Q, 'Q' where US has A, 'Z' and 'W' swap, 'M' sits
  // on the US semicolon key.
  UseLayout({{0x41, 0x10}, {0x51, 0x1E}, {0x5A, 0x11}, {0x57, 0x2C}, {0x4D, 0x27}});
  EXPECT_EQ(UsageFromVirtualKey(0x41).usage, 0x14u);  // Q position
  EXPECT_EQ(UsageFromVirtualKey(0x51).usage, 0x04u);  // A position
  EXPECT_EQ(UsageFromVirtualKey(0x5A).usage, 0x1Au);  // W position
  EXPECT_EQ(UsageFromVirtualKey(0x57).usage, 0x1Du);  // Z position
  EXPECT_EQ(UsageFromVirtualKey(0x4D).usage, 0x33u);  // semicolon position
  EXPECT_EQ(UsageFromVirtualKey(0x42).usage, 0x05u);  // B stays
  EXPECT_TRUE(UsageFromVirtualKey(0x41).found);
}

TEST_F(VirtualKeyTest, ScanCodeWithoutARowLeavesTheFirstAnswer) {
  UseLayout(
      {{0x41, 0}, {0x42, 0x7F}, {0x43, 0x47}});  // no translation, unknown, a keypad scan code
  EXPECT_EQ(UsageFromVirtualKey(0x41).usage, 0x04u);
  EXPECT_EQ(UsageFromVirtualKey(0x42).usage, 0x05u);
  EXPECT_EQ(UsageFromVirtualKey(0x43).usage, 0x06u);
}

TEST_F(VirtualKeyTest, KeysAbove45AreNeverCorrected) {
  std::vector<std::uint32_t> asked;
  SetScanCodeSourceForTesting([&asked](std::uint32_t vk) -> std::uint32_t {
    asked.push_back(vk);
    return 0x1E;  // would turn anything corrected into A
  });
  for (const VirtualKeyRow& row : VirtualKeyTable()) {
    const UsageLookup r = UsageFromVirtualKey(row.virtual_key);
    const std::uint32_t expected = row.usage > 0x45 ? row.usage : 0x04u;
    EXPECT_EQ(r.usage, expected) << row.virtual_key;
  }
  EXPECT_EQ(asked.size(), 65u);
  asked.clear();
  EXPECT_EQ(UsageFromVirtualKey(0xA2).usage, 0xE0u);
  EXPECT_EQ(UsageFromVirtualKey(0x0D).usage, 0x04u);  // Enter is in the corrected range
  EXPECT_EQ(asked, (std::vector<std::uint32_t>{0x0D}));
}

TEST_F(VirtualKeyTest, EmptySourceRestoresThePlatform) {
  UseLayout({{0x41, 0x10}});
  EXPECT_EQ(UsageFromVirtualKey(0x41).usage, 0x14u);
  SetScanCodeSourceForTesting({});
  EXPECT_EQ(UsageFromVirtualKey(0x41).usage, 0x04u);
}

}  // namespace
}  // namespace kb
