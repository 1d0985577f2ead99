// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The nineteen media commands of the key menu ("kb_3_command_media_1" ... "_19"): what each
// stores in a KeyEntry and which text describes it. One table serves both the command and the
// description of an entry of that kind.

#include <cstdint>
#include <span>
#include <string_view>

#include "keys/assignment_kind.h"
#include "keys/key_code.h"

namespace kb {

struct MediaCommand {
  int number;  // K of "kb_3_command_media_K"
  AssignmentKind kind;
  KeyCode code;  // a consumer code; command 4 stores 0
  std::string_view hover_text_key;
};

inline constexpr int kMediaCommandCount = 19;

// The rows in command order, number 1 first.
std::span<const MediaCommand> MediaCommands();

// The command with `number` (1..19), or nullptr.
const MediaCommand* MediaCommandByNumber(int number);

// The command that makes `kind`, or nullptr when `kind` is no media kind.
const MediaCommand* MediaCommandOfKind(std::uint8_t kind);

}  // namespace kb
