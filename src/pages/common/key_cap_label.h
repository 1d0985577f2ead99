// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a key cap of the keyboard picture shows, fitted to the cap: never cut. Every cap of one
// width has one font; the label takes up to two lines, broken between words. A name too long
// for a cap takes its short cap form from the language file ("cap_" + its key: "PrtSc" for
// "Print Screen"); a shortcut puts its modifiers on the first line (shortened to letters when
// the words do not fit) and its key on the second; a macro's name, chosen by the user, ends in
// an ellipsis where it does not fit (the hover panel and the accessible name carry it whole).
// UI thread only.

#include <vector>

#include "profile/profile_record.h"
#include "ui/dui_string.h"

namespace DuiLib {
class CButtonUI;
class CPaintManagerUI;
}  // namespace DuiLib

namespace kb {

struct CapModifier {
  DuiLib::CDuiString name;  // "Ctrl"
  DuiLib::CDuiString cap;   // its short cap form, "C"
};

// An assignment's caption in words, before it is fitted to a cap.
struct CapCaption {
  enum class Form { Text, Shortcut, Macro };
  Form form = Form::Text;
  DuiLib::CDuiString text;             // the name, the shortcut's key name, the macro's name
  DuiLib::CDuiString cap;              // the name's short cap form, or empty
  std::vector<CapModifier> modifiers;  // a shortcut's, in the order of their bits
  // The whole caption in one line, as the hover panel and a screen reader say it.
  DuiLib::CDuiString Whole() const;
};

// The caption of an entry, its texts from the language file.
CapCaption CapCaptionOf(const KeyEntry& entry);

struct CapLabel {
  DuiLib::CDuiString text;  // lines separated by "\n"
  DuiLib::CDuiString font;  // a font id of the theme
  bool fits = true;         // false only when even the shortest form is too wide
};

// The font of every cap `cap_width` pixels wide.
DuiLib::CDuiString CapFontFor(int cap_width);
// The label for a cap whose text has `width` x `height` pixels of room, measured in the fonts
// of `pm`'s window. `cap_width` chooses the font.
CapLabel FitCapLabel(const DuiLib::CPaintManagerUI* pm, const CapCaption& caption, int cap_width,
                     int width, int height);
// `entry`'s caption fitted into the room `button` has inside its text padding, shown on it; a
// hidden button (a position without a key) is left as it is.
void ShowCapLabel(DuiLib::CButtonUI& button, const KeyEntry& entry);

}  // namespace kb
