// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How much room a text takes in a theme font, for controls that must choose what to show before
// it is drawn (a key cap that may not cut its label). Measured with the same fonts and metrics
// the painter uses. UI thread only.

#include "ui/dui_string.h"

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

}  // namespace DuiLib
