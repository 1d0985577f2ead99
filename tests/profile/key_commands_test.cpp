// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/key_commands.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"
#include "macro/test_files.h"

namespace kb {
namespace {

KeyEntry EntryOf(AssignmentKind kind, KeyCode code) {
  KeyEntry entry;
  std::memset(&entry, 0x5C, sizeof entry);  // every byte a command does not name must stay
  entry.kind = KindByte(kind);
  WriteKeyCode(entry.code, code);
  return entry;
}

// Everything but kind, code and `except...` offsets is as it was.
void ExpectUntouchedBesides(const KeyEntry& before, const KeyEntry& after,
                            std::initializer_list<std::pair<std::size_t, std::size_t>> fields) {
  const auto* a = reinterpret_cast<const std::uint8_t*>(&before);
  const auto* b = reinterpret_cast<const std::uint8_t*>(&after);
  for (std::size_t i = 0; i < sizeof(KeyEntry); ++i) {
    bool named = i == offsetof(KeyEntry, kind) ||
                 (i >= offsetof(KeyEntry, code) && i < offsetof(KeyEntry, code) + 4);
    for (auto [start, size] : fields) named |= i >= start && i < start + size;
    if (!named) {
      EXPECT_EQ(a[i], b[i]) << "byte " << i;
    }
  }
}

TEST(KeyCommands, ItemNamesOnBothModels) {
  const struct {
    const ModelInfo* model;
    const char* item;
    KeyCommand command;
    int media;
  } rows[] = {
      {&kKb3Info, "kb_3_command_1", KeyCommand::SingleKey, 0},
      {&kKb3Info, "KB_3_Command_2", KeyCommand::Shortcut, 0},
      {&kKb3Info, "kb_3_command_3", KeyCommand::Macro, 0},
      {&kKb3Info, "kb_3_command_4", KeyCommand::Disable, 0},
      {&kKb3Info, "kb_3_command_5", KeyCommand::Unknown, 0},
      {&kKb3Info, "kb_3_command_6", KeyCommand::RestoreDefault, 0},
      {&kKb3Info, "kb_3_command_7", KeyCommand::FixedChord, 0},
      {&kKb4Info, "kb_4_command_7", KeyCommand::Unknown, 0},
      {&kKb3Info, "kb_3_command_media_19", KeyCommand::Media, 19},
      {&kKb3Info, "kb_3_command_media_20", KeyCommand::Unknown, 0},
      {&kKb3Info, "kb_3_command_media_x", KeyCommand::Unknown, 0},
      {&kKb4Info, "kb_3_command_1", KeyCommand::Unknown, 0},
  };
  for (const auto& row : rows) {
    const ParsedKeyCommand parsed = ParseKeyCommand(*row.model, row.item);
    EXPECT_EQ(parsed.command, row.command) << row.item;
    EXPECT_EQ(parsed.media, row.media) << row.item;
  }
}

TEST(KeyCommands, WhatEachCommandWrites) {
  const KeyEntry macro_key = EntryOf(AssignmentKind::MacroBinding, kMacroCode);
  KeyEntry e = macro_key;
  PrepareShortcut(e);
  EXPECT_EQ(e.kind, KindByte(AssignmentKind::MacroBinding)) << "a cancelled dialog keeps kind 17";
  EXPECT_EQ(e.kind_param, 0) << "but the modifiers are cleared at once";

  WriteShortcut(e, 0b0101, 0x04);  // check boxes 1 and 3, key A
  EXPECT_EQ(e.kind, KindByte(AssignmentKind::Shortcut));
  EXPECT_EQ(e.kind_param, 0x05);
  EXPECT_EQ(ReadKeyCode(e.code), 0x0000'0504u);
  ExpectUntouchedBesides(macro_key, e, {{offsetof(KeyEntry, kind_param), 1}});
  WriteShortcut(e, 0, 0);
  EXPECT_EQ(e.kind, KindByte(AssignmentKind::Disabled));
  EXPECT_EQ(ReadKeyCode(e.code), kNoFunction);

  e = EntryOf(AssignmentKind::Default, 0x0600'00E0);  // Left Ctrl
  WriteSingleKey(e, InitialUsageOf(e));
  EXPECT_EQ(ReadKeyCode(e.code), 0x0000'00E0u);
  EXPECT_EQ(e.kind, KindByte(AssignmentKind::SingleKey));

  const KeyEntry fn_before = EntryOf(AssignmentKind::Disabled, kNoFunction);
  e = fn_before;
  ASSERT_TRUE(ApplyDirectKeyCommand(e, {KeyCommand::RestoreDefault}, kKb3Info, true, 10));
  EXPECT_EQ(ReadKeyCode(e.code), LayoutOf(Model::KB_3).default_fn_key_codes[10]);
  ExpectUntouchedBesides(fn_before, e, {});  // code2 among the untouched bytes

  ASSERT_TRUE(ApplyDirectKeyCommand(e, {KeyCommand::Media, 4}, kKb3Info, false, 0));
  EXPECT_EQ(e.kind, 72);
  EXPECT_EQ(ReadKeyCode(e.code), 0u);
  ASSERT_TRUE(ApplyDirectKeyCommand(e, {KeyCommand::FixedChord}, kKb3Info, false, 0));
  EXPECT_EQ(ReadKeyCode(e.code), 0x0000'0A72u);
  ASSERT_TRUE(ApplyDirectKeyCommand(e, {KeyCommand::Unknown}, kKb4Info, false, 0));
  EXPECT_EQ(e.kind, KindByte(AssignmentKind::Default));
  EXPECT_EQ(ReadKeyCode(e.code), kNoFunction);
  EXPECT_FALSE(ApplyDirectKeyCommand(e, {KeyCommand::Shortcut}, kKb3Info, false, 0));
}

TEST(KeyCommands, APickerResultThatNamesNoMacroChangesNothing) {
  MacroList macros;
  macros.push_back(testing::MakeMacro(std::u16string(40, u'M')));
  const KeyEntry before = EntryOf(AssignmentKind::SingleKey, 0x04);
  KeyEntry e = before;
  for (int index : {-1, 1, 5}) {
    EXPECT_FALSE(WriteMacroBinding(e, macros, index, 1, 3)) << index;
    EXPECT_EQ(std::memcmp(&e, &before, sizeof e), 0) << index;
  }
  EXPECT_FALSE(WriteMacroBinding(e, MacroList{}, 0, 1, 3));
  ASSERT_TRUE(WriteMacroBinding(e, macros, 0, 2, 7));
  EXPECT_EQ(e.kind, KindByte(AssignmentKind::MacroBinding));
  EXPECT_EQ(ReadKeyCode(e.code), kMacroCode);
  EXPECT_EQ(e.macro_index, 0);
  EXPECT_EQ(e.macro_repeat_mode, 2);
  EXPECT_EQ(e.macro_loops, 7);
  EXPECT_EQ(FieldText(e.macro_name), std::u16string(23, u'M')) << "bounded to the field";
}

}  // namespace
}  // namespace kb
