// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keyboard picture's scale on screen, shared by the key page and the lighting page so that a
// key sits at the same place on both: buttons go where the model's picture puts the keys, the
// picture centred on its plate. UI thread only.

#include <optional>

#include "keys/key_picture.h"
#include "ui/button.h"

namespace kb {

inline constexpr int kPixelsPerQuarter = 8;   // a standard key is 32 px wide
inline constexpr int kPixelsPerQuarterY = 9;  // and a little taller, as a key cap looks from above
inline constexpr int kKeyGap = 2;             // px between neighbouring caps
inline constexpr int kPlateInset = 14;        // px of plate around the keys

class KeyPlate {
 public:
  KeyPlate(const KeyPicture& picture, int plate_width);
  // Floats the button over the rectangle, or hides it when there is none.
  void Place(DuiLib::CButtonUI* button, const std::optional<KeyRect>& rect) const;

 private:
  int left_;
};

}  // namespace kb
