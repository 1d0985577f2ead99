// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/profile_record.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"

namespace kb {
namespace {

static_assert(kLayoutKeys == kKeyCount && kLayoutFnSlots == kFnSlotCount);

constexpr int kBuiltInEffects = 18;  // modes 0..17
constexpr int kCustomColorMode = 18;
constexpr std::int32_t kDefaultBrightness = 4;
constexpr std::int32_t kDefaultEffectSpeed = 2;
constexpr std::int32_t kDefaultCustomSpeed = 1;
constexpr std::int32_t kDefaultColorScheme = 8;
constexpr std::uint8_t kDefaultAux1 = 15;
constexpr std::int32_t kPureRed = 0x0000FF;
constexpr std::int32_t kNoMacro = -1;
constexpr std::int32_t kReserved80Default = -1;
constexpr std::int32_t kReserved100Default = 255;

// Keys lit in the first custom-colour set of a new bank, the same on both models.
constexpr int kOrangeKeys[] = {46, 67, 68, 69, 103, 124, 125, 126};
constexpr std::uint32_t kOrangeArgb = 0xFF'FF'40'00;  // red 255, green 64, blue 0

void ResetEntry(KeyEntry& entry, KeyCode code, KeyCode code2) {
  std::memset(&entry, 0, sizeof entry);
  entry.kind = KindByte(AssignmentKind::Default);
  WriteKeyCode(entry.code, code);
  WriteKeyCode(entry.code2, code2);
  entry.macro_loops = 1;
  entry.macro_index = kNoMacro;
  entry.reserved80 = kReserved80Default;
  entry.reserved100 = kReserved100Default;
}

void ResetBanks(ProfileRecord& record, Model model) {
  record.active_bank = 0;
  record.format_tag = InfoOf(model).format_tag;
  for (ProfileBank& bank : record.banks) ResetBank(bank, model);
}

void CheckIndex(int index, int count, const char* what) {
  if (index < 0 || index >= count)
    throw std::out_of_range(std::string(what) + " " + std::to_string(index) + " out of range");
}

}  // namespace

void ResetBank(ProfileBank& bank, Model model) {
  std::memset(&bank, 0, sizeof bank);  // reserved_text becomes the empty string with it
  bank.light_mode = 0;
  for (int mode = 0; mode < kBuiltInEffects; ++mode) {
    bank.light_brightness[mode] = kDefaultBrightness;
    bank.light_speed[mode] = kDefaultEffectSpeed;
    bank.light_color[mode] = kPureRed;
    bank.light_color_mode[mode] = kDefaultColorScheme;
    bank.light_aux1[mode] = kDefaultAux1;
  }
  bank.light_brightness[kCustomColorMode] = kDefaultBrightness;
  bank.light_speed[kCustomColorMode] = kDefaultCustomSpeed;
  bank.light_color[kCustomColorMode] = kPureRed;

  const KeyLayout& layout = LayoutOf(model);
  for (int k = 0; k < kKeyCount; ++k) ResetEntry(bank.keys[k], layout.default_key_codes[k], 0);
  for (int f = 0; f < kFnSlotCount; ++f)
    ResetEntry(bank.fn_keys[f], layout.default_fn_key_codes[f], layout.default_fn_functions[f]);

  for (int k : kOrangeKeys) bank.custom_colors[0][k] = PackColor(kOrangeArgb);
}

ProfileRecord& NewDefaultProfile(std::u16string_view name, Model model, ProfileList& list) {
  auto record = std::make_unique<ProfileRecord>();
  std::memset(record.get(), 0, sizeof(ProfileRecord));
  StoreFieldText(record->name, name);
  ResetBanks(*record, model);
  list.push_back(std::move(record));
  return *list.back();
}

void ResetProfile(ProfileRecord& record, Model model) { ResetBanks(record, model); }

std::int32_t PackColor(std::uint32_t argb) {
  const std::uint32_t r = (argb >> 16) & 0xFF;
  const std::uint32_t g = (argb >> 8) & 0xFF;
  const std::uint32_t b = argb & 0xFF;
  return static_cast<std::int32_t>((b << 16) | (g << 8) | r);
}

std::uint32_t UnpackColor(std::int32_t stored) {
  const std::uint32_t bits = static_cast<std::uint32_t>(stored);
  const std::uint32_t r = bits & 0xFF;
  const std::uint32_t g = (bits >> 8) & 0xFF;
  const std::uint32_t b = (bits >> 16) & 0xFF;
  return 0xFF00'0000u | (r << 16) | (g << 8) | b;
}

int ActiveBankIndex(const ProfileRecord& record) { return record.active_bank == 1 ? 1 : 0; }

ProfileBank& ActiveBank(ProfileRecord& record) { return record.banks[ActiveBankIndex(record)]; }

const ProfileBank& ActiveBank(const ProfileRecord& record) {
  return record.banks[ActiveBankIndex(record)];
}

KeyEntry& KeyAt(ProfileBank& bank, int key_index) {
  CheckIndex(key_index, kKeyCount, "key index");
  return bank.keys[key_index];
}

const KeyEntry& KeyAt(const ProfileBank& bank, int key_index) {
  CheckIndex(key_index, kKeyCount, "key index");
  return bank.keys[key_index];
}

KeyEntry& FnKeyAt(ProfileBank& bank, int slot) {
  CheckIndex(slot, kFnSlotCount, "Fn slot");
  return bank.fn_keys[slot];
}

const KeyEntry& FnKeyAt(const ProfileBank& bank, int slot) {
  CheckIndex(slot, kFnSlotCount, "Fn slot");
  return bank.fn_keys[slot];
}

}  // namespace kb
