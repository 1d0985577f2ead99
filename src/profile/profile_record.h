// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One profile as one fixed-size record. The layout is a file format: the record is copied,
// compared and written as raw bytes, so every offset below is pinned.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "keys/keyboard_model.h"
#include "names/name_units.h"

namespace kb {

static_assert(std::endian::native == std::endian::little,
              "records are stored as little-endian memory images");

inline constexpr int kKeyMacroNameUnits = 24;  // the copy of a macro's name in a KeyEntry
inline constexpr int kMaxKeyMacroNameLength = kKeyMacroNameUnits - 1;
inline constexpr int kKeyCount = 132;
inline constexpr int kFnSlotCount = 56;
inline constexpr int kModeSlots = 21;  // per-mode arrays; modes 0..19 use 0..19
inline constexpr int kLightModeCount = 20;
inline constexpr int kCustomColorSets = 5;

struct KeyEntry {
  std::uint8_t reserved0;
  std::uint8_t kind;  // AssignmentKind
  std::uint8_t reserved2;
  std::uint8_t kind_param;  // modifier mask of a shortcut
  std::uint8_t code[4];     // KeyCode, most significant byte first
  std::uint8_t code2[4];    // Fn-layer function of an Fn slot, most significant byte first
  char16_t macro_name[kKeyMacroNameUnits];
  std::int32_t reserved60;
  std::int32_t macro_loops;
  std::int32_t macro_repeat_mode;
  std::int32_t macro_index;  // position in the model's macro list, -1 = none
  std::int32_t reserved76;
  std::int32_t reserved80;
  std::uint8_t reserved84[14];
  std::uint8_t device_macro_offset[2];  // big-endian
  std::int32_t reserved100;
};

static_assert(sizeof(KeyEntry) == 104);
static_assert(offsetof(KeyEntry, reserved0) == 0);
static_assert(offsetof(KeyEntry, kind) == 1);
static_assert(offsetof(KeyEntry, reserved2) == 2);
static_assert(offsetof(KeyEntry, kind_param) == 3);
static_assert(offsetof(KeyEntry, code) == 4);
static_assert(offsetof(KeyEntry, code2) == 8);
static_assert(offsetof(KeyEntry, macro_name) == 12);
static_assert(offsetof(KeyEntry, reserved60) == 60);
static_assert(offsetof(KeyEntry, macro_loops) == 64);
static_assert(offsetof(KeyEntry, macro_repeat_mode) == 68);
static_assert(offsetof(KeyEntry, macro_index) == 72);
static_assert(offsetof(KeyEntry, reserved76) == 76);
static_assert(offsetof(KeyEntry, reserved80) == 80);
static_assert(offsetof(KeyEntry, reserved84) == 84);
static_assert(offsetof(KeyEntry, device_macro_offset) == 98);
static_assert(offsetof(KeyEntry, reserved100) == 100);

struct ProfileBank {
  std::uint8_t reserved_a[200];
  char16_t reserved_text[500];
  std::uint8_t reserved_b[132];
  std::int32_t light_mode;
  std::int32_t light_brightness[kModeSlots];
  std::int32_t light_speed[kModeSlots];
  std::int32_t light_color[kModeSlots];  // (B << 16) | (G << 8) | R
  std::int32_t light_color_mode[kModeSlots];
  std::uint8_t light_aux1[kModeSlots];
  std::uint8_t light_aux2[kModeSlots];
  std::uint8_t light_aux3[kModeSlots];
  std::uint8_t reserved_c[85];
  std::int32_t custom_colors[kCustomColorSets][kKeyCount];  // packed like light_color
  std::uint8_t reserved_d[208];
  KeyEntry keys[kKeyCount];
  KeyEntry fn_keys[kFnSlotCount];
};

static_assert(sizeof(ProfileBank) == 24220);
static_assert(offsetof(ProfileBank, reserved_a) == 0);
static_assert(offsetof(ProfileBank, reserved_text) == 200);
static_assert(offsetof(ProfileBank, reserved_b) == 1200);
static_assert(offsetof(ProfileBank, light_mode) == 1332);
static_assert(offsetof(ProfileBank, light_brightness) == 1336);
static_assert(offsetof(ProfileBank, light_speed) == 1420);
static_assert(offsetof(ProfileBank, light_color) == 1504);
static_assert(offsetof(ProfileBank, light_color_mode) == 1588);
static_assert(offsetof(ProfileBank, light_aux1) == 1672);
static_assert(offsetof(ProfileBank, light_aux2) == 1693);
static_assert(offsetof(ProfileBank, light_aux3) == 1714);
static_assert(offsetof(ProfileBank, reserved_c) == 1735);
static_assert(offsetof(ProfileBank, custom_colors) == 1820);
static_assert(offsetof(ProfileBank, reserved_d) == 4460);
static_assert(offsetof(ProfileBank, keys) == 4668);
static_assert(offsetof(ProfileBank, fn_keys) == 18396);

struct ProfileRecord {
  char16_t name[kNameUnits];
  std::int32_t active_bank;
  std::int32_t format_tag;
  std::uint8_t reserved_head[36];
  ProfileBank banks[2];
};

static_assert(sizeof(ProfileRecord) == 48584);
static_assert(offsetof(ProfileRecord, name) == 0);
static_assert(offsetof(ProfileRecord, active_bank) == 100);
static_assert(offsetof(ProfileRecord, format_tag) == 104);
static_assert(offsetof(ProfileRecord, reserved_head) == 108);
static_assert(offsetof(ProfileRecord, banks) == 144);
static_assert(offsetof(ProfileRecord, banks) + sizeof(ProfileBank) == 24364);

// Records are owned by their list and never move, so a reference to the current profile stays
// valid while other records are added or removed.
using ProfileList = std::vector<std::unique_ptr<ProfileRecord>>;

// Record functions. They touch only the record they are given; callers that share a record
// with the device worker hold the lock that guards it.

// Fills one bank with the factory settings of `model`: lighting defaults, the orange custom
// colours, every key and Fn slot at its factory code.
void ResetBank(ProfileBank& bank, Model model);

// Appends a new record to `list` and returns it: zero everywhere but the name (shortened to
// kMaxNameLength units, a surrogate pair never split), active_bank 0, the model's format_tag and
// both banks at their defaults.
ProfileRecord& NewDefaultProfile(std::u16string_view name, Model model, ProfileList& list);

// The reset command: active_bank 0, the model's format_tag, both banks at their defaults. The
// name and reserved_head keep their bytes.
void ResetProfile(ProfileRecord& record, Model model);

// A colour from the UI library (0xAARRGGBB) as a record stores it: (B << 16) | (G << 8) | R.
std::int32_t PackColor(std::uint32_t argb);
// A stored colour for the UI library: opaque 0xFFRRGGBB; the stored top byte is ignored.
std::uint32_t UnpackColor(std::int32_t stored);

// The bank that every page edits and the lighting upload sends. active_bank is 0 or 1 in every
// record this program writes; a file may hold anything, and any value other than 1 selects the
// first bank, so a stray value never indexes past the two banks and the record is left as read.
int ActiveBankIndex(const ProfileRecord& record);
ProfileBank& ActiveBank(ProfileRecord& record);
const ProfileBank& ActiveBank(const ProfileRecord& record);

// Entry `key_index` (0..131) of a bank's keys, entry `slot` (0..55) of its fn_keys. An index out
// of range is a programming error and throws std::out_of_range.
KeyEntry& KeyAt(ProfileBank& bank, int key_index);
const KeyEntry& KeyAt(const ProfileBank& bank, int key_index);
KeyEntry& FnKeyAt(ProfileBank& bank, int slot);
const KeyEntry& FnKeyAt(const ProfileBank& bank, int slot);

}  // namespace kb
