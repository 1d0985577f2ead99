// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the lighting page shows for a light mode, and the ranges its sliders offer. The page
// only applies these; the rules live here so that both models' pages share them.

#include "keys/keyboard_model.h"

namespace kb {

inline constexpr int kCustomColorsMode = 18;  // per-key colours of custom colour set 0
inline constexpr int kLightsOffMode = 19;
inline constexpr int kSingleColorScheme = 9;  // the colour scheme that takes the user's colour
inline constexpr int kColorSchemeCount = 10;  // light_color_mode 0..9

// Slider ranges. The lighting block carries brightness + 1 and speed in one byte each; the
// keyboard's own defaults (a new profile: brightness 4, speed 2) sit at the top and in the
// middle of five steps, and the block's template announces 5 levels, so both sliders offer
// 0..4. Colours are 0..255 per channel.
inline constexpr int kMinBrightness = 0;
inline constexpr int kMaxBrightness = 4;
inline constexpr int kMinSpeed = 0;
inline constexpr int kMaxSpeed = 4;

struct LightRows {
  bool brightness = false;
  bool speed = false;         // the breath-speed row
  bool color_scheme = false;  // the ten scheme buttons
  bool color = false;         // palette, R/G/B sliders, preview
  bool key_picture = false;   // the per-key colour buttons

  friend bool operator==(const LightRows&, const LightRows&) = default;
};

// The rows of light mode `mode` of `model` whose colour scheme is `color_scheme`. A mode outside
// 0..19 shows nothing.
LightRows RowsForLightMode(const ModelInfo& model, int mode, int color_scheme);

}  // namespace kb
