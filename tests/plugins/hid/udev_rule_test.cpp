// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped udev rule names the same ids as the program and the libraries.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "kb_device_ids.h"

namespace kb::test {
namespace {

std::string RuleText() {
  std::ifstream in(KB_UDEV_RULE_FILE);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool HasRuleFor(const std::string& text, int vendor, int product) {
  char ids[96];
  std::snprintf(ids, sizeof ids, "ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\"", vendor,
                product);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.find(ids) != std::string::npos &&
        line.find("KERNEL==\"hidraw*\"") != std::string::npos &&
        line.find("TAG+=\"uaccess\"") != std::string::npos) {
      return true;
    }
  }
  return false;
}

TEST(UdevRuleTest, GivesSeatAccessToBothModels) {
  std::string text = RuleText();
  ASSERT_FALSE(text.empty()) << KB_UDEV_RULE_FILE;
  EXPECT_TRUE(HasRuleFor(text, KB_VENDOR_ID, KB_3_PRODUCT_ID));
  EXPECT_TRUE(HasRuleFor(text, KB_VENDOR_ID, KB_4_PRODUCT_ID));
  EXPECT_FALSE(HasRuleFor(text, KB_VENDOR_ID, KB_4_ALT_PRODUCT_ID));
}

TEST(UdevRuleTest, SortsBeforeTheSeatRules) {
  // 73-seat-late.rules acts on the uaccess tag; a file sorting after it sets the tag too late.
  std::string path = KB_UDEV_RULE_FILE;
  std::string name = path.substr(path.find_last_of('/') + 1);
  EXPECT_LT(name, "73-seat-late.rules");
}

}  // namespace
}  // namespace kb::test
