// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_names.h"

#include <array>
#include <utility>

namespace kb {
namespace {

using NameRow = std::pair<std::uint8_t, std::string_view>;

// clang-format off
constexpr NameRow kNames[] = {
    {0x04, "key_A"}, {0x05, "key_B"}, {0x06, "key_C"}, {0x07, "key_D"}, {0x08, "key_E"},
    {0x09, "key_F"}, {0x0A, "key_G"}, {0x0B, "key_H"}, {0x0C, "key_I"}, {0x0D, "key_J"},
    {0x0E, "key_K"}, {0x0F, "key_L"}, {0x10, "key_M"}, {0x11, "key_N"}, {0x12, "key_O"},
    {0x13, "key_P"}, {0x14, "key_Q"}, {0x15, "key_R"}, {0x16, "key_S"}, {0x17, "key_T"},
    {0x18, "key_U"}, {0x19, "key_V"}, {0x1A, "key_W"}, {0x1B, "key_X"}, {0x1C, "key_Y"},
    {0x1D, "key_Z"},
    {0x1E, "key_1"}, {0x1F, "key_2"}, {0x20, "key_3"}, {0x21, "key_4"}, {0x22, "key_5"},
    {0x23, "key_6"}, {0x24, "key_7"}, {0x25, "key_8"}, {0x26, "key_9"}, {0x27, "key_0"},
    {0x28, "key_Enter"}, {0x29, "key_Esc"}, {0x2A, "key_BackSpace"}, {0x2B, "key_Tab"},
    {0x2C, "key_Space"}, {0x2D, "key_-"}, {0x2E, "key_="}, {0x2F, "key_["}, {0x30, "key_]"},
    {0x31, "key_Xiexian"},
    {0x32, "\xEF\xBF\xA5"},  // U+FFE5 FULLWIDTH YEN SIGN, in UTF-8; a key of its own
    {0x33, "key_;"}, {0x34, "key_'"}, {0x35, "key_`"}, {0x36, "key_,"}, {0x37, "key_."},
    {0x38, "key_/"}, {0x39, "key_Caplk"},
    {0x3A, "key_F1"}, {0x3B, "key_F2"}, {0x3C, "key_F3"}, {0x3D, "key_F4"}, {0x3E, "key_F5"},
    {0x3F, "key_F6"}, {0x40, "key_F7"}, {0x41, "key_F8"}, {0x42, "key_F9"}, {0x43, "key_F10"},
    {0x44, "key_F11"}, {0x45, "key_F12"},
    {0x46, "key_Print Scr"}, {0x47, "key_Scroll Lock"}, {0x48, "key_Pause"},
    {0x49, "key_Insert"}, {0x4A, "key_Home"}, {0x4B, "key_Page Up"}, {0x4C, "key_Delete"},
    {0x4D, "key_End"}, {0x4E, "key_Page Down"}, {0x4F, "key_Right"}, {0x50, "key_Left"},
    {0x51, "key_Down"}, {0x52, "key_Up"}, {0x53, "key_Num Lock"}, {0x54, "key_Num_/"},
    {0x55, "key_Num_*"}, {0x56, "key_Num_-"}, {0x57, "key_Num_+"}, {0x58, "key_Num_Enter"},
    {0x59, "key_Num_1"}, {0x5A, "key_Num_2"}, {0x5B, "key_Num_3"}, {0x5C, "key_Num_4"},
    {0x5D, "key_Num_5"}, {0x5E, "key_Num_6"}, {0x5F, "key_Num_7"}, {0x60, "key_Num_8"},
    {0x61, "key_Num_9"}, {0x62, "key_Num_0"}, {0x63, "key_Num_."}, {0x64, "key_64"},
    {0x65, "key_App"},
    {0x82, "Sleep"}, {0x88, "Kana/Roma"}, {0xDD, "`"},
    {0xE0, "key_LCtrl"}, {0xE1, "key_LShift"}, {0xE2, "key_LAlt"}, {0xE3, "key_LWin"},
    {0xE4, "key_RCtrl"}, {0xE5, "key_RShift"}, {0xE6, "key_RAlt"}, {0xE7, "key_RWin"},
    {0xF0, "L_Button"}, {0xF1, "R_Button"}, {0xF2, "M_Button"}, {0xF3, "Forward_Button"},
    {0xF4, "Backward_Button"},
};
// clang-format on

constexpr std::array<std::string_view, 256> MakeNameTable() {
  std::array<std::string_view, 256> table{};
  for (const NameRow& row : kNames) table[row.first] = row.second;
  return table;
}

constexpr std::array<std::string_view, 256> kNameByUsage = MakeNameTable();

}  // namespace

std::string_view KeyNameFromUsage(std::uint32_t usage) {
  return usage < kNameByUsage.size() ? kNameByUsage[usage] : std::string_view();
}

}  // namespace kb
