// SPDX-License-Identifier: GPL-3.0-or-later
#include "keys/media_commands.h"

#include <array>

namespace kb {
namespace {

constexpr std::array<MediaCommand, kMediaCommandCount> kCommands{{
    {1, AssignmentKind::MediaNextTrack, 0x0400'00B5, "kb_command_media_1_text"},
    {2, AssignmentKind::MediaPreviousTrack, 0x0400'00B6, "kb_command_media_2_text"},
    {3, AssignmentKind::MediaStop, 0x0400'00B7, "kb_command_media_3_text"},
    {4, AssignmentKind::MediaCommand4, 0x0000'0000, "kb_command_media_4_text"},
    {5, AssignmentKind::MediaPlayPause, 0x0400'00CD, "kb_command_media_5_text"},
    {6, AssignmentKind::MediaMute, 0x0400'00E2, "kb_command_media_6_text"},
    {7, AssignmentKind::MediaVolumeUp, 0x0400'00E9, "kb_command_media_7_text"},
    {8, AssignmentKind::MediaVolumeDown, 0x0400'00EA, "kb_command_media_8_text"},
    {9, AssignmentKind::MediaConsumerControlConfig, 0x0400'0183, "kb_command_media_9_text"},
    {10, AssignmentKind::MediaCalculator, 0x0400'0192, "kb_command_media_10_text"},
    {11, AssignmentKind::MediaEmail, 0x0400'018A, "kb_command_media_11_text"},
    {12, AssignmentKind::MediaLocalBrowser, 0x0400'0194, "kb_command_media_12_text"},
    {13, AssignmentKind::MediaSearch, 0x0400'0221, "kb_command_media_13_text"},
    {14, AssignmentKind::MediaHome, 0x0400'0223, "kb_command_media_14_text"},
    {15, AssignmentKind::MediaBack, 0x0400'0224, "kb_command_media_15_text"},
    {16, AssignmentKind::MediaForward, 0x0400'0225, "kb_command_media_16_text"},
    {17, AssignmentKind::MediaBrowserStop, 0x0400'0226, "kb_command_media_17_text"},
    {18, AssignmentKind::MediaRefresh, 0x0400'0227, "kb_command_media_18_text"},
    {19, AssignmentKind::MediaBookmarks, 0x0400'022A, "kb_command_media_19_text"},
}};

}  // namespace

std::span<const MediaCommand> MediaCommands() { return kCommands; }

const MediaCommand* MediaCommandByNumber(int number) {
  if (number < 1 || number > kMediaCommandCount) return nullptr;
  return &kCommands[number - 1];
}

const MediaCommand* MediaCommandOfKind(std::uint8_t kind) {
  for (const MediaCommand& command : kCommands)
    if (KindByte(command.kind) == kind) return &command;
  return nullptr;
}

}  // namespace kb
