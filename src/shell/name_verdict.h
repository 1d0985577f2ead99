// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the OK button of a name dialog does with the entered name. No UI here, so the rule can be
// read (and tested) apart from the dialog.

#include <functional>
#include <string_view>

#include "common/utf16_text.h"

namespace kb::app {

enum class NameVerdict {
  kUnchanged,  // the current name again (in any case, or empty for a new name): close with 0
  kEmpty,      // nothing entered: warn and stay open
  kTaken,      // another record already has it: warn and stay open
  kAccepted,   // close with 1 and hand the name back
};

// `taken` answers whether a record of the dialog's list has the name, ignoring case.
inline NameVerdict JudgeName(std::u16string_view entered, std::u16string_view current,
                             const std::function<bool(std::u16string_view)>& taken) {
  if (EqualsIgnoreCase(entered, current)) return NameVerdict::kUnchanged;
  if (entered.empty()) return NameVerdict::kEmpty;
  if (taken(entered)) return NameVerdict::kTaken;
  return NameVerdict::kAccepted;
}

}  // namespace kb::app
