// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/key_map.h"

#include <algorithm>

#include "keys/assignment_kind.h"

namespace kb {
namespace {

static_assert(kKeyMapFnWords == kKeyMapKeyWords + kKeyCount * kKeyMapWordSize);
static_assert(kKeyMapFn2Words == kKeyMapFnWords + kFnSlotCount * kKeyMapWordSize);
static_assert(kKeyMapBankPadding == kKeyMapFn2Words + kFnSlotCount * kKeyMapWordSize);

using Word = std::array<std::uint8_t, kKeyMapWordSize>;

Word Reversed(const std::uint8_t (&big_endian)[4]) {
  return {big_endian[3], big_endian[2], big_endian[1], big_endian[0]};
}

void Put(std::uint8_t* at, const Word& word) { std::copy(word.begin(), word.end(), at); }

}  // namespace

std::array<std::uint8_t, kKeyMapWordSize> CodeWord(const KeyEntry& entry) {
  if (entry.kind != KindByte(AssignmentKind::MacroBinding)) return Reversed(entry.code);
  Word word{};
  word[kMacroWordOffsetHigh] = entry.device_macro_offset[0];
  word[kMacroWordOffsetLow] = entry.device_macro_offset[1];
  word[kMacroWordRepeatMode] = static_cast<std::uint8_t>(entry.macro_repeat_mode & 0xFF);
  word[kMacroWordCodeType] = entry.code[0];
  return word;
}

KeyMap BuildKeyMap(const ProfileRecord& record) {
  KeyMap map{};
  for (std::size_t b = 0; b < 2; ++b) {
    const ProfileBank& bank = record.banks[b];
    std::uint8_t* base = &map[b * kKeyMapBankSize];
    for (std::size_t k = 0; k < kKeyCount; ++k) {
      Put(base + kKeyMapKeyWords + k * kKeyMapWordSize, CodeWord(bank.keys[k]));
    }
    for (std::size_t f = 0; f < kFnSlotCount; ++f) {
      Put(base + kKeyMapFnWords + f * kKeyMapWordSize, CodeWord(bank.fn_keys[f]));
      Put(base + kKeyMapFn2Words + f * kKeyMapWordSize, Reversed(bank.fn_keys[f].code2));
    }
  }
  return map;
}

}  // namespace kb
