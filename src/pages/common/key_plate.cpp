// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/common/key_plate.h"

#include <algorithm>

namespace kb {

KeyPlate::KeyPlate(const KeyPicture& picture, int plate_width)
    : left_(std::max(kPlateInset, (plate_width - picture.width * kPixelsPerQuarter) / 2)) {}

void KeyPlate::Place(DuiLib::CButtonUI* button, const std::optional<KeyRect>& rect) const {
  if (button == nullptr) return;
  button->SetVisible(rect.has_value());
  if (!rect) return;
  const int x = left_ + rect->x * kPixelsPerQuarter;
  const int y = kPlateInset + rect->y * kPixelsPerQuarterY;
  DuiLib::CDuiString pos;
  pos.Format(u"%d,%d,%d,%d", x, y, x + rect->width * kPixelsPerQuarter - kKeyGap,
             y + rect->height * kPixelsPerQuarterY - kKeyGap);
  button->SetFloat(true);
  button->SetAttribute(u"pos", pos);
}

}  // namespace kb
