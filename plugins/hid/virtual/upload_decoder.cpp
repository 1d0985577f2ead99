// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/upload_decoder.h"

#include <cstdio>

namespace kb::hid {
namespace {

using namespace wire;

constexpr uint8_t kMarkA = 0x5A;
constexpr uint8_t kMarkB = 0xA5;
constexpr uint8_t kTailFirst = 0x02;
constexpr uint8_t kFixed248Value = 4;

// One expected byte that the block did not carry. Only the first mismatch of a region is
// reported, so a garbled block gives a readable handful of lines.
class ByteChecker {
 public:
  ByteChecker(Page block, std::vector<std::string>& violations)
      : block_(block), violations_(violations) {}
  void Expect(size_t offset, uint8_t value, const char* what) {
    if (block_[offset] == value) return;
    char text[200];
    std::snprintf(text, sizeof text, "lighting block byte %zu is 0x%02X, expected 0x%02X (%s)",
                  offset, block_[offset], value, what);
    violations_.push_back(text);
    ok_ = false;
  }
  void ExpectZero(size_t first, size_t last, const char* what) {
    for (size_t i = first; i <= last; ++i) {
      if (block_[i] != 0) {
        Expect(i, 0, what);
        return;
      }
    }
  }
  bool ok() const { return ok_; }

 private:
  Page block_;
  std::vector<std::string>& violations_;
  bool ok_ = true;
};

bool IsFirstHalfModeByte(size_t offset) {
  return offset >= kLightingModeByteCustom && offset <= kLightingModeByteSpare;
}

bool CheckZeroTail(Page data, size_t first, const char* what, unsigned number,
                   std::vector<std::string>& violations) {
  for (size_t i = first; i < data.size(); ++i) {
    if (data[i] != 0) {
      char text[200];
      std::snprintf(text, sizeof text, "%s %u byte %zu is 0x%02X where the keyboard keeps zero",
                    what, number, i, data[i]);
      violations.push_back(text);
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<LightingUpload> DecodeLightingBlock(Page block,
                                                  std::vector<std::string>& violations) {
  ByteChecker check(block, violations);
  uint8_t bank = block[kLightingBank];
  if (bank > 1) {
    char text[200];
    std::snprintf(text, sizeof text, "lighting block names bank %u; the keyboard has banks 0 and 1",
                  bank);
    violations.push_back(text);
    return std::nullopt;
  }
  check.ExpectZero(1, 2, "fixed zero");
  check.Expect(kLightingFixed3, kLightingFixed3Value, "fixed value");
  check.ExpectZero(4, kLightingMarkFirst - 1, "fixed zero");
  check.Expect(kLightingMarkFirst, kMarkA, "mark");
  check.Expect(kLightingMarkFirst + 1, kMarkB, "mark");
  for (size_t i = 0; i < kLightingTemplateBytes; ++i) {
    size_t offset = kLightingHalf + i;
    if (!IsFirstHalfModeByte(offset)) check.Expect(offset, kLightingTemplate[i], "template");
  }
  size_t slots_end = kLightingSlots + kLightingSlotCount * kLightingSlotBytes;
  check.ExpectZero(slots_end, kLightingCustomBrightness - 1, "zero after the mode slots");
  check.Expect(kLightingFixed248, kFixed248Value, "fixed value");
  check.Expect(kLightingFixed248 + 1, kFixed248Value, "fixed value");
  check.ExpectZero(kLightingFixed248 + 2, kLightingSecondHalf - 1, "fixed zero");
  // The second half repeats the first from the same bank, but keeps the template where the
  // first half carries the mode bytes.
  for (size_t i = 0; i < kLightingHalfBytes; ++i) {
    size_t first = kLightingHalf + i;
    size_t second = kLightingSecondHalf + i;
    uint8_t expected = IsFirstHalfModeByte(first) ? kLightingTemplate[i] : block[first];
    if (block[second] != expected) {
      check.Expect(second, expected,
                   IsFirstHalfModeByte(first) ? "template" : "copy of the first half");
      break;
    }
  }
  check.ExpectZero(kLightingTailZeroFirst, kLightingTailMark - 1, "fixed zero");
  check.Expect(kLightingTailMark, kTailFirst, "tail mark");
  check.Expect(kLightingTailMark + 1, kMarkA, "tail mark");
  check.Expect(kLightingTailMark + 2, kMarkB, "tail mark");

  LightingUpload upload;
  upload.bank = bank;
  uint8_t custom = block[kLightingModeByteCustom];
  uint8_t effect = block[kLightingModeByteEffect];
  if (block[kLightingModeByteSpare] != 0 || custom > 1 || effect > kLightingSlotCount ||
      (custom == 1 && effect != 0)) {
    char text[200];
    std::snprintf(text, sizeof text, "lighting mode bytes %02X %02X %02X name no light mode",
                  custom, effect, block[kLightingModeByteSpare]);
    violations.push_back(text);
    return std::nullopt;
  }
  if (!check.ok()) return std::nullopt;
  upload.light_mode = custom == 1 ? 18 : effect != 0 ? effect - 1 : 19;
  for (size_t k = 0; k < kLightingSlotCount; ++k) {
    const uint8_t* slot = block.data() + kLightingSlots + k * kLightingSlotBytes;
    upload.slots[k] = vkb_mode_slot{slot[kSlotColorMode], slot[kSlotBrightness], slot[kSlotSpeed],
                                    slot[kSlotBlue],      slot[kSlotRed],        slot[kSlotGreen],
                                    slot[kSlotAux1],      slot[kSlotAux2],       slot[kSlotAux3]};
  }
  upload.custom_brightness = block[kLightingCustomBrightness];
  return upload;
}

bool CheckColorPiece(unsigned piece, Page data, std::vector<std::string>& violations) {
  // Only the last quarter of a half reaches past the five colour sets.
  if (piece % kColorPiecesPerHalf != kColorPiecesPerHalf - 1) return true;
  size_t first = kColorUsedBytes - (kColorPiecesPerHalf - 1) * kPagePayload;
  return CheckZeroTail(data, first, "colour piece", piece, violations);
}

bool CheckKeyMapPage(unsigned page, Page data, std::vector<std::string>& violations) {
  if (page % 2 == 0) return true;
  return CheckZeroTail(data, kKeyMapUsedBytes - kPagePayload, "key map page", page, violations);
}

bool CheckMacroPage(unsigned page, Page data, std::vector<std::string>& violations) {
  if (page != kMacroPages - 1) return true;
  return CheckZeroTail(data, kMacroAreaLimit - page * kPagePayload, "macro page", page, violations);
}

}  // namespace kb::hid
