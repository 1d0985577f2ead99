// SPDX-License-Identifier: GPL-3.0-or-later
// The rule behind a name dialog's OK button, case by case.

#include "shell/name_verdict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kb::app {
namespace {

struct VerdictRow {
  const char16_t* entered;
  const char16_t* current;
  NameVerdict verdict;
};

class NameVerdictTest : public ::testing::TestWithParam<VerdictRow> {};

TEST_P(NameVerdictTest, JudgesTheEnteredName) {
  const std::vector<std::u16string> taken{u"game", u"Work"};
  auto is_taken = [&](std::u16string_view name) {
    for (const auto& t : taken)
      if (EqualsIgnoreCase(t, name)) return true;
    return false;
  };
  EXPECT_EQ(JudgeName(GetParam().entered, GetParam().current, is_taken), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NameVerdictTest,
    ::testing::Values(VerdictRow{u"", u"", NameVerdict::kUnchanged},          // new, nothing typed
                      VerdictRow{u"game", u"game", NameVerdict::kUnchanged},  // rename, untouched
                      VerdictRow{u"GAME", u"game", NameVerdict::kUnchanged},  // case only
                      VerdictRow{u"", u"game", NameVerdict::kEmpty},          // rename, emptied
                      VerdictRow{u"work", u"game", NameVerdict::kTaken},
                      VerdictRow{u"WORK", u"", NameVerdict::kTaken},
                      VerdictRow{u"racing", u"game", NameVerdict::kAccepted},
                      VerdictRow{u"racing", u"", NameVerdict::kAccepted},
                      VerdictRow{u" game", u"game", NameVerdict::kAccepted}));

}  // namespace
}  // namespace kb::app
