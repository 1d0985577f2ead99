// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's side of the transfer protocol: what a KB_3 accepts and where it finds each
// field. Written from the byte tables of the protocol, on purpose apart from the program's
// encoder, so that the virtual keyboard checks the encoder instead of agreeing with it.
#ifndef KB_HID_KEYBOARD_PROTOCOL_H
#define KB_HID_KEYBOARD_PROTOCOL_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace kb::hid::wire {

inline constexpr size_t kFeatureReportBytes = 8;
inline constexpr size_t kOutputReportBytes = 64;

// Transfer header.
inline constexpr size_t kHeaderCommand = 0;
inline constexpr size_t kHeaderIndex = 1;
inline constexpr size_t kHeaderZeroFirst = 2;
inline constexpr size_t kHeaderZeroLast = 5;
inline constexpr size_t kHeaderLengthLow = 6;
inline constexpr size_t kHeaderLengthHigh = 7;
inline constexpr size_t kShortPayload = 8;
inline constexpr size_t kPagePayload = 512;

inline constexpr uint8_t kCommandBegin = 0x0E;
inline constexpr uint8_t kCommandEnd = 0x08;
inline constexpr uint8_t kCommandLighting = 0x01;
inline constexpr uint8_t kCommandKeyMap = 0x02;
inline constexpr uint8_t kCommandColor = 0x03;
inline constexpr uint8_t kCommandMacro = 0x04;
inline constexpr uint8_t kEndIndexResume = 0x66;

inline constexpr size_t kUnlockCodeBytes = 8;

// Lighting block.
inline constexpr size_t kLightingBank = 0;
inline constexpr size_t kLightingFixed3 = 3;
inline constexpr uint8_t kLightingFixed3Value = 3;
inline constexpr size_t kLightingMarkFirst = 14;  // 0x5A, 0xA5
inline constexpr size_t kLightingHalf = 16;       // first half: 16..255
inline constexpr size_t kLightingSecondHalf = 256;
inline constexpr size_t kLightingHalfBytes = 240;
inline constexpr size_t kLightingTemplateBytes = 60;
inline constexpr size_t kLightingModeByteCustom = 18;
inline constexpr size_t kLightingModeByteEffect = 19;
inline constexpr size_t kLightingModeByteSpare = 20;
inline constexpr size_t kLightingSlots = 76;
inline constexpr size_t kLightingSlotBytes = 9;
inline constexpr size_t kLightingSlotCount = 18;
inline constexpr size_t kLightingCustomBrightness = 247;
inline constexpr size_t kLightingFixed248 = 248;  // 4, 4
inline constexpr size_t kLightingTailZeroFirst = 496;
inline constexpr size_t kLightingTailMark = 509;  // 0x02, 0x5A, 0xA5

// Offsets inside a mode slot.
inline constexpr size_t kSlotColorMode = 0;
inline constexpr size_t kSlotBrightness = 1;
inline constexpr size_t kSlotSpeed = 2;
inline constexpr size_t kSlotBlue = 3;
inline constexpr size_t kSlotRed = 4;
inline constexpr size_t kSlotGreen = 5;
inline constexpr size_t kSlotAux1 = 6;
inline constexpr size_t kSlotAux2 = 7;
inline constexpr size_t kSlotAux3 = 8;

inline constexpr std::array<uint8_t, kLightingTemplateBytes> kLightingTemplate = {
    0x02, 0x00, 0x00, 0x01, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x09, 0x05, 0x09, 0x05, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Colour block: two halves, one per bank, of five sets (blue, red, green runs of 132 keys).
inline constexpr size_t kColorPieces = 8;
inline constexpr size_t kColorPiecesPerHalf = 4;
inline constexpr size_t kColorHalfBytes = 2048;
inline constexpr size_t kColorSetBytes = 396;
inline constexpr size_t kColorRunBytes = 132;
inline constexpr size_t kColorUsedBytes = 1980;  // 1980..2047 of each half are zero

// Key map: 1024 bytes per bank, two pages each.
inline constexpr size_t kKeyMapPages = 4;
inline constexpr size_t kKeyMapBankBytes = 1024;
inline constexpr size_t kKeyMapKeyWords = 0;
inline constexpr size_t kKeyMapFnWords = 528;
inline constexpr size_t kKeyMapFn2Words = 752;
inline constexpr size_t kKeyMapUsedBytes = 976;  // 976..1023 of each bank are zero

// Macro area.
inline constexpr size_t kMacroPages = 20;
inline constexpr size_t kMacroAreaLimit = 10000;  // page 19 is only partly inside the area

// Notification codes the keyboard sends in its input reports (the data message's wParam).
inline constexpr uint16_t kNotifyVersion = 0x0000;
inline constexpr uint16_t kNotifyBankSwitch = 0x0508;
inline constexpr uint16_t kNotifyLightMode = 0x030B;

// Macro program elements.
inline constexpr uint8_t kElementControl = 0x00;  // first byte of end mark, long delay, move
inline constexpr uint8_t kElementEnd = 0x00;
inline constexpr uint8_t kElementLongDelay = 0x01;
inline constexpr uint8_t kElementMove = 0x02;
inline constexpr uint8_t kKeyActionFlag = 0x01;
inline constexpr uint8_t kReleaseFlag = 0x80;
inline constexpr uint8_t kKeyDelayMask = 0x7E;
inline constexpr uint32_t kLongDelayUnit = 100;
inline constexpr uint8_t kMoveActionCode = 0xF6;

}  // namespace kb::hid::wire

#endif
