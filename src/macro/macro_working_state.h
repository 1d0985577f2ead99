// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The macro page's working copy of the current macro and the edits made on it: the action
// commands, the field rules, and the insertion that recording shares. The page binds these to
// its controls; every edit here is followed there by a commit into the macro and a store save.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "macro/macro_record.h"

namespace kb {

inline constexpr int kMaxMouseMoveInsertCount = 2996;  // a mouse move is refused from here on
inline constexpr int kMouseMoveCode = 0xF6;
inline constexpr int kFirstMouseButtonCode = 0xF0;  // 0xF0..0xF4: left, right, middle, fwd, back
inline constexpr int kLastMouseButtonCode = 0xF4;
inline constexpr std::uint8_t kPressKind = 1;
inline constexpr std::uint8_t kReleaseKind = 2;
inline constexpr std::uint8_t kMouseMoveKind = 0;

// Field rules, applied when a field loses the focus. The text is read as a decimal integer (0
// when it does not start with a number) and brought inside the field's range.
int ReadLeadingInteger(std::string_view text);
int ClampDelayOrLoops(int value);  // 1..65535: action delays, loop times, the default delay
int ClampMoveDistance(int value);  // -127..127
// The distance fields keep digits and '-' only, as the user types.
std::u16string FilterNumberText(std::u16string_view text);

class MacroWorkingState {
 public:
  // The working copy of `macro` (none: an empty state). Insert mode ends; the selection is the
  // last action (none for an empty macro).
  void Load(const MacroRecord* macro);
  // Writes actions, count and loop time into `macro`.
  void CommitTo(MacroRecord& macro) const;

  int count() const { return count_; }
  int loop_time() const { return loop_time_; }
  void set_loop_time(int loops) { loop_time_ = ClampDelayOrLoops(loops); }
  int selected() const { return selected_; }
  void Select(int index) { selected_ = (index >= 0 && index < count_) ? index : -1; }
  const MacroAction& action(int index) const { return actions_[index]; }
  MacroAction& action(int index) { return actions_[index]; }

  bool insert_mode() const { return insert_mode_; }
  int insert_start() const { return insert_start_; }
  int insert_position() const { return insert_position_; }
  // Where actions go: after action `after` (insert mode), or appended when `after` is -1.
  void BeginInsertAfter(int after);
  void EndInsert() { insert_mode_ = false; }
  // The row the action list selects after a rebuild: the last inserted action in insert mode,
  // else the last action; -1 for none.
  int RowToSelectAfterRebuild() const { return (insert_mode_ ? insert_position_ : count_) - 1; }

  // Swap with the neighbour; false (nothing changed) at the ends. The selection follows.
  bool MoveUp(int index);
  bool MoveDown(int index);
  // Removes action `index`; the selection goes to the action now there, or the new last one.
  bool Delete(int index);
  // Every action zeroed, no selection, insert mode off.
  void ClearAll();
  // Inserts `action` at the insert position (or appends); false when 3000 actions are held.
  bool Insert(const MacroAction& action);
  // A mouse move of (x, y), after the selected action or appended; refused from 2996 actions.
  bool InsertMouseMove(int x, int y);
  // The selected action becomes mouse button `button` (0..4); false without a selection.
  bool SetMouseButton(int button);

 private:
  std::array<MacroAction, kMaxMacroActions> actions_{};
  int count_ = 0;
  int loop_time_ = 1;
  int selected_ = -1;
  bool insert_mode_ = false;
  int insert_start_ = -1;
  int insert_position_ = -1;
};

}  // namespace kb
