// SPDX-License-Identifier: GPL-3.0-or-later
#include "macro/macro_working_state.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

namespace kb {

int ReadLeadingInteger(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  // A plus sign counts, as in every C library's reading of a number; from_chars takes only '-'.
  if (start + 1 < text.size() && text[start] == '+' && text[start + 1] >= '0' &&
      text[start + 1] <= '9')
    ++start;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return text[start] == '-' ? -65536 : 65536;
  if (error != std::errc() || end == text.data() + start) return 0;
  // Far past every range: whatever the digits say, the clamp gives the same end.
  return static_cast<int>(std::clamp<long long>(value, -65536, 65536));
}

int ClampDelayOrLoops(int value) { return std::clamp(value, 1, 65535); }

int ClampMoveDistance(int value) { return std::clamp(value, -127, 127); }

std::u16string FilterNumberText(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text)
    if ((c >= u'0' && c <= u'9') || c == u'-') out += c;
  return out;
}

void MacroWorkingState::Load(const MacroRecord* macro) {
  insert_mode_ = false;
  if (macro == nullptr) {
    actions_.fill(MacroAction{});
    count_ = 0;
    loop_time_ = 1;
  } else {
    std::memcpy(actions_.data(), macro->actions, sizeof macro->actions);
    count_ = std::clamp(macro->action_count, 0, kMaxMacroActions);
    loop_time_ = macro->loop_time;
  }
  selected_ = count_ - 1;
}

void MacroWorkingState::CommitTo(MacroRecord& macro) const {
  std::memcpy(macro.actions, actions_.data(), sizeof macro.actions);
  macro.action_count = count_;
  macro.loop_time = loop_time_;
}

void MacroWorkingState::BeginInsertAfter(int after) {
  if (after < 0) {
    insert_mode_ = false;
    insert_start_ = insert_position_ = -1;
  } else {
    insert_mode_ = true;
    insert_start_ = insert_position_ = after + 1;
  }
}

bool MacroWorkingState::MoveUp(int index) {
  if (index < 1 || index >= count_) return false;
  std::swap(actions_[index], actions_[index - 1]);
  selected_ = index - 1;
  return true;
}

bool MacroWorkingState::MoveDown(int index) {
  if (index < 0 || index >= count_ - 1) return false;
  std::swap(actions_[index], actions_[index + 1]);
  selected_ = index + 1;
  return true;
}

bool MacroWorkingState::Delete(int index) {
  if (index < 0 || index >= count_) return false;
  std::move(actions_.begin() + index + 1, actions_.begin() + count_, actions_.begin() + index);
  --count_;
  selected_ = index < count_ ? index : count_ - 1;
  // A recording going in after the deleted action keeps going in between the same neighbours,
  // and its position never runs past the actions it counts in.
  if (insert_position_ > index) --insert_position_;
  if (insert_start_ > index) --insert_start_;
  return true;
}

void MacroWorkingState::ClearAll() {
  actions_.fill(MacroAction{});
  count_ = 0;
  insert_mode_ = false;
  insert_position_ = -1;
  selected_ = -1;
}

bool MacroWorkingState::Insert(const MacroAction& action) {
  if (count_ >= kMaxMacroActions) return false;
  // An insert position past the end (never made here, but cheap to rule out) appends.
  const int at = (insert_position_ < 0 || insert_position_ > count_) ? count_ : insert_position_;
  std::move_backward(actions_.begin() + at, actions_.begin() + count_,
                     actions_.begin() + count_ + 1);
  actions_[at] = action;
  ++count_;
  ++selected_;
  if (insert_position_ >= 0) ++insert_position_;
  return true;
}

bool MacroWorkingState::InsertMouseMove(int x, int y) {
  if (count_ >= kMaxMouseMoveInsertCount) return false;
  BeginInsertAfter(selected_);
  const bool inserted = Insert({.action_code = kMouseMoveCode,
                                .action_kind = kMouseMoveKind,
                                .delay = 1,
                                .x = ClampMoveDistance(x),
                                .y = ClampMoveDistance(y)});
  selected_ = RowToSelectAfterRebuild();
  insert_mode_ = false;
  return inserted;
}

bool MacroWorkingState::SetMouseButton(int button) {
  if (selected_ < 0 || button < 0 || button > kLastMouseButtonCode - kFirstMouseButtonCode)
    return false;
  actions_[selected_].action_code = static_cast<std::uint8_t>(kFirstMouseButtonCode + button);
  return true;
}

}  // namespace kb
