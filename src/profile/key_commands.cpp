// SPDX-License-Identifier: GPL-3.0-or-later
#include "profile/key_commands.h"

#include <charconv>
#include <string>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_layout.h"
#include "keys/media_commands.h"

namespace kb {
namespace {

constexpr KeyCode kFixedChordCode = 0x0000'0A72;  // modifier mask 0x0A with usage 0x72 (F23)

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

void Write(KeyEntry& entry, AssignmentKind kind, KeyCode code) {
  entry.kind = KindByte(kind);
  WriteKeyCode(entry.code, code);
}

}  // namespace

ParsedKeyCommand ParseKeyCommand(const ModelInfo& model, std::string_view item) {
  const std::string prefix = std::string(model.id) + "_command_";
  if (item.size() <= prefix.size() || !EqualsIgnoringCase(item.substr(0, prefix.size()), prefix))
    return {};
  const std::string_view rest = item.substr(prefix.size());
  struct Named {
    std::string_view suffix;
    KeyCommand command;
  };
  constexpr Named kNamed[] = {{"1", KeyCommand::SingleKey},      {"2", KeyCommand::Shortcut},
                              {"3", KeyCommand::Macro},          {"4", KeyCommand::Disable},
                              {"6", KeyCommand::RestoreDefault}, {"7", KeyCommand::FixedChord}};
  for (const Named& named : kNamed) {
    if (rest != named.suffix) continue;
    if (named.command == KeyCommand::FixedChord && !model.has_fixed_chord_command) return {};
    return {named.command};
  }
  constexpr std::string_view kMedia = "media_";
  if (rest.size() > kMedia.size() && EqualsIgnoringCase(rest.substr(0, kMedia.size()), kMedia)) {
    const std::string_view digits = rest.substr(kMedia.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error == std::errc() && end == digits.data() + digits.size() &&
        MediaCommandByNumber(number) != nullptr)
      return {KeyCommand::Media, number};
  }
  return {};
}

std::uint8_t InitialUsageOf(const KeyEntry& entry) {
  return static_cast<std::uint8_t>(ReadKeyCode(entry.code) & 0xFF);
}

void WriteSingleKey(KeyEntry& entry, std::uint8_t usage) {
  Write(entry, AssignmentKind::SingleKey, usage);
}

void PrepareShortcut(KeyEntry& entry) {
  if (entry.kind != KindByte(AssignmentKind::Shortcut)) entry.kind_param = 0;
}

void WriteShortcut(KeyEntry& entry, std::uint8_t mask, std::uint8_t usage) {
  mask &= 0x0F;
  entry.kind_param = mask;
  if (mask == 0 && usage == 0) {
    Write(entry, AssignmentKind::Disabled, kNoFunction);
    return;
  }
  Write(entry, AssignmentKind::Shortcut, (KeyCode{mask} << 8) | usage);
}

bool WriteMacroBinding(KeyEntry& entry, const MacroList& macros, int index, int repeat_mode,
                       int loops) {
  if (index < 0 || static_cast<std::size_t>(index) >= macros.size() || !macros[index]) return false;
  entry.macro_index = index;
  entry.macro_repeat_mode = repeat_mode;
  entry.macro_loops = loops;
  StoreFieldText(entry.macro_name, FieldText(macros[index]->name));
  Write(entry, AssignmentKind::MacroBinding, kMacroCode);
  return true;
}

void WriteDisabled(KeyEntry& entry) { Write(entry, AssignmentKind::Disabled, kNoFunction); }

void WriteFactoryDefault(KeyEntry& entry, const ModelInfo& model, bool fn, int index) {
  const KeyLayout& layout = model.key_layout();
  Write(entry, AssignmentKind::Default,
        fn ? layout.default_fn_key_codes[index] : layout.default_key_codes[index]);
}

bool WriteMediaCommand(KeyEntry& entry, int media) {
  const MediaCommand* command = MediaCommandByNumber(media);
  if (command == nullptr) return false;
  Write(entry, command->kind, command->code);
  return true;
}

void WriteFixedChord(KeyEntry& entry) { Write(entry, AssignmentKind::FixedChord, kFixedChordCode); }

void WriteUnknownCommand(KeyEntry& entry) { Write(entry, AssignmentKind::Default, kNoFunction); }

bool ApplyDirectKeyCommand(KeyEntry& entry, const ParsedKeyCommand& command, const ModelInfo& model,
                           bool fn, int index) {
  switch (command.command) {
    case KeyCommand::Disable:
      WriteDisabled(entry);
      return true;
    case KeyCommand::RestoreDefault:
      WriteFactoryDefault(entry, model, fn, index);
      return true;
    case KeyCommand::Media:
      return WriteMediaCommand(entry, command.media);
    case KeyCommand::FixedChord:
      WriteFixedChord(entry);
      return true;
    case KeyCommand::Unknown:
      WriteUnknownCommand(entry);
      return true;
    case KeyCommand::SingleKey:
    case KeyCommand::Shortcut:
    case KeyCommand::Macro:
      return false;
  }
  return false;
}

}  // namespace kb
