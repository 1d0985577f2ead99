// SPDX-License-Identifier: GPL-3.0-or-later
#include "record_json.h"

#include <cstdio>
#include <memory>
#include <string>

#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_code.h"
#include "keys/key_names.h"
#include "names/name_rules.h"

namespace kbctl {
namespace {

using kb::AssignmentKind;
using kb::KeyEntry;

std::string Hex32(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", value);
  return buffer;
}

// A stored colour, (B << 16) | (G << 8) | R, as "#RRGGBB".
std::string ColorText(std::int32_t stored) {
  const auto v = static_cast<std::uint32_t>(stored);
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF,
                (v >> 16) & 0xFF);
  return buffer;
}

std::string KindName(std::uint8_t kind) {
  switch (static_cast<AssignmentKind>(kind)) {
    case AssignmentKind::Disabled:
      return "Disabled";
    case AssignmentKind::Shortcut:
      return "Shortcut";
    case AssignmentKind::MacroBinding:
      return "MacroBinding";
    case AssignmentKind::MacroOffset18:
    case AssignmentKind::MacroOffset25:
      return "MacroOffset";
    case AssignmentKind::Default:
      return "Default";
    case AssignmentKind::SingleKey:
      return "SingleKey";
    case AssignmentKind::FixedChord:
      return "FixedChord";
    default:
      return kb::IsMediaFunction(kind) ? "MediaFunction" : "Unknown";
  }
}

// The name key of a code whose low byte is a keyboard usage; empty for other code types.
std::string_view UsageNameOf(kb::KeyCode code) {
  const kb::KeyCodeType type = kb::TypeOf(code);
  if (code == kb::kNoFunction) return {};
  if (type != kb::KeyCodeType::Keyboard && type != kb::KeyCodeType::Modifier) return {};
  return kb::KeyNameFromUsage(kb::LowByteOf(code));
}

// The fields the key commands write: what makes an entry's function differ from the factory.
bool DiffersFromFactory(const KeyEntry& entry, const KeyEntry& factory) {
  return entry.kind != factory.kind || entry.kind_param != factory.kind_param ||
         kb::ReadKeyCode(entry.code) != kb::ReadKeyCode(factory.code) ||
         kb::ReadKeyCode(entry.code2) != kb::ReadKeyCode(factory.code2);
}

void WriteEntry(JsonWriter& json, const KeyEntry& entry, int number, bool fn_slot) {
  const kb::KeyCode code = kb::ReadKeyCode(entry.code);
  json.BeginObject();
  json.Field(fn_slot ? "slot" : "index", number);
  json.Field("kind", int{entry.kind});
  json.Field("kind_name", KindName(entry.kind));
  json.Field("code", Hex32(code));
  if (std::string_view name = UsageNameOf(code); !name.empty()) json.Field("key_name", name);
  if (entry.kind == kb::KindByte(AssignmentKind::Shortcut))
    json.Field("modifiers", int{entry.kind_param});
  if (fn_slot) json.Field("code2", Hex32(kb::ReadKeyCode(entry.code2)));
  if (entry.kind == kb::KindByte(AssignmentKind::MacroBinding)) {
    json.Key("macro").BeginObject();
    json.Field("index", entry.macro_index);
    json.Field("name", kb::ToUtf8(kb::FieldText(entry.macro_name)));
    json.Field("loops", entry.macro_loops);
    json.Field("repeat_mode", entry.macro_repeat_mode);
    json.EndObject();
  }
  json.EndObject();
}

void WriteLighting(JsonWriter& json, const kb::ProfileBank& bank, const kb::ProfileBank& factory) {
  json.Field("light_mode", bank.light_mode);
  json.Key("modes").BeginArray();
  for (int mode = 0; mode < kb::kLightModeCount; ++mode) {
    json.BeginObject();
    json.Field("mode", mode);
    json.Field("brightness", bank.light_brightness[mode]);
    json.Field("speed", bank.light_speed[mode]);
    json.Field("color", ColorText(bank.light_color[mode]));
    json.Field("color_mode", bank.light_color_mode[mode]);
    json.Key("aux").BeginArray();
    json.Int(bank.light_aux1[mode]).Int(bank.light_aux2[mode]).Int(bank.light_aux3[mode]);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("custom_colors").BeginArray();
  for (int set = 0; set < kb::kCustomColorSets; ++set) {
    for (int key = 0; key < kb::kKeyCount; ++key) {
      if (bank.custom_colors[set][key] == factory.custom_colors[set][key]) continue;
      json.BeginObject();
      json.Field("set", set);
      json.Field("index", key);
      json.Field("color", ColorText(bank.custom_colors[set][key]));
      json.EndObject();
    }
  }
  json.EndArray();
}

}  // namespace

void WriteProfileJson(JsonWriter& json, const kb::ProfileRecord& profile, std::size_t index,
                      bool selected, kb::Model model) {
  auto factory = std::make_unique<kb::ProfileBank>();
  kb::ResetBank(*factory, model);

  json.BeginObject();
  json.Field("index", static_cast<std::int64_t>(index));
  json.Field("name", kb::ToUtf8(kb::NameOf(profile)));
  json.Field("selected", selected);
  json.Field("active_bank", profile.active_bank);
  json.Field("format_tag", profile.format_tag);
  json.Key("banks").BeginArray();
  for (const kb::ProfileBank& bank : profile.banks) {
    json.BeginObject();
    WriteLighting(json, bank, *factory);
    json.Key("keys").BeginArray();
    for (int key = 0; key < kb::kKeyCount; ++key)
      if (DiffersFromFactory(bank.keys[key], factory->keys[key]))
        WriteEntry(json, bank.keys[key], key, false);
    json.EndArray();
    json.Key("fn_keys").BeginArray();
    for (int slot = 0; slot < kb::kFnSlotCount; ++slot)
      if (DiffersFromFactory(bank.fn_keys[slot], factory->fn_keys[slot]))
        WriteEntry(json, bank.fn_keys[slot], slot, true);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteMacroJson(JsonWriter& json, const kb::MacroRecord& macro, std::size_t index,
                    const kb::LanguageTexts& texts) {
  json.BeginObject();
  json.Field("index", static_cast<std::int64_t>(index));
  json.Field("name", kb::ToUtf8(kb::NameOf(macro)));
  json.Field("loop_time", macro.loop_time);
  json.Field("action_count", macro.action_count);
  json.Key("actions").BeginArray();
  for (int i = 0; i < macro.action_count && i < kb::kMaxMacroActions; ++i) {
    const kb::MacroAction& action = macro.actions[i];
    json.BeginObject();
    json.Field("code", int{action.action_code});
    const char* kind = action.action_kind == 1   ? "press"
                       : action.action_kind == 2 ? "release"
                       : action.action_kind == 0 ? "move"
                                                 : "unknown";
    json.Field("kind", kind);
    json.Field("delay", int{action.delay});
    if (action.action_kind == 0) {
      json.Field("x", action.x);
      json.Field("y", action.y);
    } else if (std::string_view key = kb::KeyNameFromUsage(action.action_code); !key.empty()) {
      json.Field("key_name", key);
      if (texts.Has(key)) json.Field("text", kb::ToUtf8(texts.Text(key)));
    }
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

}  // namespace kbctl
