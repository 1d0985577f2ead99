// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/change_detection.h"

#include <cstring>

namespace kb {
namespace {

template <class T>
bool Differs(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) != 0;
}

bool LightingDiffers(const ProfileBank& a, const ProfileBank& b) {
  return a.light_mode != b.light_mode || Differs(a.light_brightness, b.light_brightness) ||
         Differs(a.light_speed, b.light_speed) || Differs(a.light_color, b.light_color) ||
         Differs(a.light_color_mode, b.light_color_mode) || Differs(a.light_aux1, b.light_aux1) ||
         Differs(a.light_aux2, b.light_aux2) || Differs(a.light_aux3, b.light_aux3);
}

bool KeysDiffer(const ProfileBank& a, const ProfileBank& b) {
  return Differs(a.keys, b.keys) || Differs(a.fn_keys, b.fn_keys);
}

bool BoundMacroChanged(const ProfileRecord& current, const MacroSnapshot& macros,
                       const MacroSnapshot& last_macros) {
  bool changed = false;
  ForEachEntry(current, [&](const KeyEntry& entry) {
    if (changed || entry.macro_index < 0) return;
    const MacroRecord* now = macros.Find(entry.macro_index);
    const MacroRecord* then = last_macros.Find(entry.macro_index);
    changed = now == nullptr || then == nullptr || Differs(*now, *then);
  });
  return changed;
}

}  // namespace

ChangedFlags DetectChanges(const ProfileRecord& last_applied, const ProfileRecord& current,
                           const MacroSnapshot& macros, const MacroSnapshot& last_macros) {
  ChangedFlags flags;
  for (int b = 0; b < 2; ++b) {
    const ProfileBank& then = last_applied.banks[b];
    const ProfileBank& now = current.banks[b];
    flags.lighting = flags.lighting || LightingDiffers(then, now);
    flags.colors = flags.colors || Differs(then.custom_colors, now.custom_colors);
    flags.keys = flags.keys || KeysDiffer(then, now);
  }
  flags.keys = flags.keys || BoundMacroChanged(current, macros, last_macros);
  return flags;
}

}  // namespace kb
