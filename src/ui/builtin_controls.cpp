// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/internal/builtin_controls.h"

#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/list.h"
#include "ui/menu.h"
#include "ui/slider.h"

namespace DuiLib::internal {

void RegisterMoreBuiltins(std::map<CDuiString, CControlFactory::Creator>& b) {
  b[u"Combo"] = [] { return new CComboUI; };
  b[u"List"] = [] { return new CListUI; };
  b[u"ListElement"] = [] { return new CListElementUI; };
  b[u"ListLabelElement"] = [] { return new CListLabelElementUI; };
  b[u"ListContainerElement"] = [] { return new CListContainerElementUI; };
  b[u"Progress"] = [] { return new CProgressUI; };
  b[u"Slider"] = [] { return new CSliderUI; };
  b[u"ColorPalette"] = [] { return new CColorPaletteUI; };
  b[u"Menu"] = [] { return new CMenuUI; };
  b[u"MenuElement"] = [] { return new CMenuElementUI; };
}

}  // namespace DuiLib::internal
