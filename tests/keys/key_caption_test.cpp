// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_caption.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

struct CaptionRow {
  std::uint8_t kind;
  KeyCode code;
  CaptionForm form;
  std::string_view text_key;
};

const CaptionRow kRows[] = {
    {120, 0x0000'0004, CaptionForm::Text, "key_A"},                    // factory letter
    {120, 0x0600'00E0, CaptionForm::Text, "key_LCtrl"},                // factory modifier
    {120, 0x0400'00E9, CaptionForm::Text, "kb_command_media_7_text"},  // factory volume key
    {120, 0x2000'0000, CaptionForm::Text, "key_Fn"},
    {120, 0x0E00'0029, CaptionForm::Text, "key_device_text"},
    {120, kNoFunction, CaptionForm::Text, "kb_command_4_text"},
    {121, 0x0000'0029, CaptionForm::Text, "key_Esc"},          // single key
    {0, kNoFunction, CaptionForm::Text, "kb_command_4_text"},  // disabled
    {68, 0x0400'00B5, CaptionForm::Text, "kb_command_media_1_text"},
    {72, 0x0000'0000, CaptionForm::Text, "kb_command_media_4_text"},
    {122, 0x0000'0A72, CaptionForm::Text, "kb_command_7_text"},
    {16, 0x0000'0504, CaptionForm::Shortcut, "key_A"},
    {17, 0x1000'0000, CaptionForm::Macro, ""},
};

TEST(KeyCaptionTest, AKeyIsNamedAfterWhatItIsAssigned) {
  for (const CaptionRow& row : kRows) {
    const KeyCaption caption = KeyCaptionOf(row.kind, row.code);
    EXPECT_EQ(caption.form, row.form) << int(row.kind) << " " << std::hex << row.code;
    EXPECT_EQ(caption.text_key, row.text_key) << int(row.kind) << " " << std::hex << row.code;
  }
}

}  // namespace
}  // namespace kb
