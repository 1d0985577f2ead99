// SPDX-License-Identifier: GPL-3.0-or-later
#include "lighting/light_rows.h"

namespace kb {

LightRows RowsForLightMode(const ModelInfo& model, int mode, int color_scheme) {
  if (mode < 0 || mode == kLightsOffMode || mode > kLightsOffMode) return {};
  if (mode == kCustomColorsMode) return {.brightness = true, .color = true, .key_picture = true};
  const std::uint32_t bit = std::uint32_t{1} << mode;
  if (model.light_modes_with_brightness_and_speed_only & bit)
    return {.brightness = true, .speed = true};
  return {.brightness = true,
          .speed = (model.light_modes_without_speed & bit) == 0,
          .color_scheme = true,
          .color = color_scheme == kSingleColorScheme};
}

}  // namespace kb
