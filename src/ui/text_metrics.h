// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How much room a text takes in a theme font, for controls that must choose what to show before
// it is drawn (a key cap that may not cut its label). Measured with the same fonts and metrics
// the painter uses. UI thread only.

#include <filesystem>

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CPaintManagerUI;

// The width `text` takes in the font `font_id` as the window of `pm` resolves it (its own theme,
// then the global one, then the default font), in pixels, rounded up; where a screen is of a
// scale above 1, the wider of scale 1 and 2. A text of several lines ("\n") is as wide as its
// widest line.
int MeasureTextWidth(const CPaintManagerUI* pm, const CDuiString& font_id, const CDuiString& text);
// The height of one line of that font, rounded up (the taller of scale 1 and 2 as above).
int MeasureLineSpacing(const CPaintManagerUI* pm, const CDuiString& font_id);
// `text` shortened at its end with an ellipsis so that it takes at most `width` pixels; the text
// itself when it fits.
CDuiString ElideTextToWidth(const CPaintManagerUI* pm, const CDuiString& font_id,
                            const CDuiString& text, int width);

// Measures kept between runs in `file`, so that a start fitting the texts it fitted before, in
// the same fonts, takes their measures from there and loads no font before its window shows.
// The first measure asked for starts a check a second later, once the window is up: what was
// taken from the file is measured again, and where a measure changed (another font
// configuration, another Qt) the new one holds and `hwnd` is posted `msg`, for the window to
// fit its texts again. Then the file is rewritten with what this run measured, where that
// differs from what it held. A file that cannot be read is measured anew; one that cannot be
// written is reported on standard error. Before the first measure; UI thread only.
void KeepTextMeasuresIn(const std::filesystem::path& file, HWND hwnd, UINT msg);

// For tests: the check at once, instead of a second after the first measure; and a new run,
// with nothing measured and nothing kept.
void CheckKeptTextMeasuresForTesting();
void ForgetTextMeasuresForTesting();

}  // namespace DuiLib
