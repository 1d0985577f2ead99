// SPDX-License-Identifier: GPL-3.0-or-later
#include "lighting/light_rows.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

// B brightness, S speed, C colour scheme, K colour, P key picture.
LightRows Rows(const char* letters) {
  const std::string_view s = letters;
  return {.brightness = s.find('B') != s.npos,
          .speed = s.find('S') != s.npos,
          .color_scheme = s.find('C') != s.npos,
          .color = s.find('K') != s.npos,
          .key_picture = s.find('P') != s.npos};
}

struct Row {
  int mode;
  int scheme;
  const char* kb3;
  const char* kb4;
};

TEST(LightRows, EachModeShowsItsRowsOnBothModels) {
  const Row rows[] = {
      {0, 0, "BSC", "BSC"},  {0, 9, "BSCK", "BSCK"},  // the common rule
      {5, 0, "BC", "BSC"},   {5, 9, "BCK", "BSCK"},  {12, 0, "BSC", "BC"},  {1, 9, "BS", "BSCK"},
      {3, 0, "BS", "BSC"},   {11, 0, "BS", "BSC"},   {17, 9, "BS", "BSCK"}, {2, 0, "BSC", "BS"},
      {6, 9, "BSCK", "BS"},  {10, 0, "BSC", "BS"},   {9, 9, "BS", "BS"},    {4, 8, "BSC", "BSC"},
      {18, 0, "BKP", "BKP"}, {18, 9, "BKP", "BKP"},  {19, 9, "", ""},       {-1, 9, "", ""},
      {20, 0, "", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(RowsForLightMode(kKb3Info, r.mode, r.scheme), Rows(r.kb3))
        << "KB_3 mode " << r.mode << " scheme " << r.scheme;
    EXPECT_EQ(RowsForLightMode(kKb4Info, r.mode, r.scheme), Rows(r.kb4))
        << "KB_4 mode " << r.mode << " scheme " << r.scheme;
  }
}

}  // namespace
}  // namespace kb
