// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/profile_transfer.h"

#include <span>

#include "device/color_block.h"
#include "device/key_map.h"
#include "device/lighting_block.h"
#include "device/macro_area.h"
#include "device/unlock_code.h"

namespace kb {
namespace {

using Bytes512 = std::span<const std::uint8_t>;

void SendBegin(TransferWriter& writer) {
  const UnlockCode code = MakeUnlockCode();
  (void)writer.Send(DeviceCommand::Begin, 0, code);
}

void SendEnd(TransferWriter& writer, std::uint8_t index) {
  const std::array<std::uint8_t, kShortTransferSize> zeros{};
  (void)writer.Send(DeviceCommand::End, index, zeros);
}

// Piece `index` of a block that travels as consecutive 512-byte transfers.
Bytes512 Piece(std::span<const std::uint8_t> block, int index) {
  return block.subspan(static_cast<std::size_t>(index) * kBlockTransferSize, kBlockTransferSize);
}

}  // namespace

ProfileTransferResult SendProfileTransfer(ProfileRecord& record, const MacroSnapshot& macros,
                                          ChangedFlags changed, TransferWriter& writer) {
  ProfileTransferResult result;
  result.changed = changed;
  SendBegin(writer);
  if (changed.lighting) {
    const LightingBlock block = BuildLightingBlock(record);
    (void)writer.Send(DeviceCommand::Lighting, 0, block);
  }
  if (changed.colors) {
    const ColorBlock block = BuildColorBlock(record);
    for (int p = 0; p < kColorPieces; ++p) {
      (void)writer.Send(DeviceCommand::Colors, static_cast<std::uint8_t>(p), Piece(block, p));
    }
  }
  if (changed.keys) {
    const MacroArea area = BuildMacroArea(record, macros);
    result.macro_pages = area.pages();
    result.macro_programs = area.programs;
    result.skipped_programs = area.skipped_programs;
    result.skipped_macros = area.skipped_macros;
    for (int p = 0; p < area.pages(); ++p) {
      (void)writer.Send(DeviceCommand::Macros, static_cast<std::uint8_t>(p), area.Page(p));
    }
    const KeyMap map = BuildKeyMap(record);
    for (int p = 0; p < kKeyMapPages; ++p) {
      (void)writer.Send(DeviceCommand::KeyMap, static_cast<std::uint8_t>(p), Piece(map, p));
    }
  }
  SendBegin(writer);
  SendEnd(writer, 0);
  result.reports = writer.reports_sent();
  result.status = writer.status();
  return result;
}

Status SendResumeTransfer(TransferWriter& writer) {
  SendBegin(writer);
  SendEnd(writer, kResumeEndIndex);
  return writer.status();
}

}  // namespace kb
