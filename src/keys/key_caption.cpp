// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/key_caption.h"

#include "keys/assignment_kind.h"
#include "keys/key_names.h"
#include "keys/media_commands.h"

namespace kb {
namespace {

// A code the user did not give a kind to (a factory code): named by its type.
std::string_view NameOfCode(KeyCode code) {
  if (code == kNoFunction) return "kb_command_4_text";
  const KeyCodeType type = TypeOf(code);
  if (type == KeyCodeType::Keyboard || type == KeyCodeType::Modifier)
    return KeyNameFromUsage(LowByteOf(code));
  if (type == KeyCodeType::Consumer) {
    for (const MediaCommand& command : MediaCommands())
      if (command.code == code) return command.hover_text_key;
    return "key_media_text";
  }
  if (type == KeyCodeType::FnKey) return "key_Fn";
  if (IsDeviceFunction(type)) return "key_device_text";
  return "";
}

}  // namespace

KeyCaption KeyCaptionOf(std::uint8_t kind, KeyCode code) {
  if (kind == KindByte(AssignmentKind::Shortcut))
    return {CaptionForm::Shortcut, KeyNameFromUsage(LowByteOf(code))};
  if (kind == KindByte(AssignmentKind::MacroBinding)) return {CaptionForm::Macro, ""};
  if (kind == KindByte(AssignmentKind::Disabled)) return {CaptionForm::Text, "kb_command_4_text"};
  if (kind == KindByte(AssignmentKind::FixedChord)) return {CaptionForm::Text, "kb_command_7_text"};
  if (const MediaCommand* media = MediaCommandOfKind(kind))
    return {CaptionForm::Text, media->hover_text_key};
  return {CaptionForm::Text, NameOfCode(code)};
}

}  // namespace kb
