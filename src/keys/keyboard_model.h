// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two keyboard models and every fact that tells them apart. Twins are written once and
// read these fields; nothing else switches on the model.

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <span>
#include <string_view>

#include "kb_device_ids.h"

namespace kb {

enum class Model { KB_3, KB_4 };

struct KeyLayout;
namespace layout_tables {
const KeyLayout& Kb3();
const KeyLayout& Kb4();
}  // namespace layout_tables

struct ModelInfo {
  Model model;
  std::string_view id;                 // "kb_3": prefix of control names, menu items, paths
  std::string_view name;               // "KB_3": prefix of class names and layout folders
  std::int32_t format_tag;             // written into every record the model's page makes
  std::string_view model_text_key;     // language key of the model tag of profile files
  std::string_view first_profile_key;  // language key of the first profile's name
  std::string_view profile_store;      // relative to the data root
  std::string_view macro_store;
  std::string_view macro_filter_label;  // label of the macro file dialogs' filter
  // A missing or empty profile store is created with one default profile. The KB_4 page is
  // never started, so it keeps what its file holds and nothing is invented for it.
  bool creates_default_store;
  // Only KB_3 is reached over USB; KB_4 keeps ids of its own but opens nothing.
  bool has_device_link;
  int usb_vendor_id;
  int usb_product_id;
  std::uint32_t worker_message;  // thread message that requests a transfer
  const KeyLayout& (*key_layout)();
  // The lighting page's rows, bit m for light mode m (see lighting/light_rows.h): effects without
  // a speed, and effects with nothing but brightness and speed.
  std::uint32_t light_modes_without_speed;
  std::uint32_t light_modes_with_brightness_and_speed_only;
  // The key menu's command 7 (a fixed chord of modifiers and F23); without it the item name is
  // an unknown command.
  bool has_fixed_chord_command;
  // The macro picker's OK with macros listed and none chosen offers the first one instead of
  // closing.
  bool picker_warns_without_choice;
  // The bytes of the program's capture flags that the model's macro page sets while it records
  // and while its key field captures; the main window hands hook events to that page then.
  int recording_capture_byte;
  int key_capture_byte;
  // The model's page in the main window's device tabs (0 is the page without a keyboard).
  int device_tab;
};

constexpr std::uint32_t LightModeBits(std::initializer_list<int> modes) {
  std::uint32_t bits = 0;
  for (int mode : modes) bits |= std::uint32_t{1} << mode;
  return bits;
}

inline constexpr ModelInfo kKb3Info{
    .model = Model::KB_3,
    .id = "kb_3",
    .name = "KB_3",
    .format_tag = 6,
    .model_text_key = "kb_3_text",
    .first_profile_key = "kb_3_1_text",
    .profile_store = "Data/kb/kb_3/data.pros",
    .macro_store = "Data/kb/kb_3/macro.mcos",
    // Misspelt, and kept so: it is the text the KB_3 software has always shown in its macro
    // file dialogs, and users and their documentation know it by it.
    .macro_filter_label = "Macro Flie",
    .creates_default_store = true,
    .has_device_link = true,
    .usb_vendor_id = KB_VENDOR_ID,
    .usb_product_id = KB_3_PRODUCT_ID,
    .worker_message = 1906,
    .key_layout = layout_tables::Kb3,
    .light_modes_without_speed = LightModeBits({5}),
    .light_modes_with_brightness_and_speed_only = LightModeBits({1, 3, 9, 11, 17}),
    .has_fixed_chord_command = true,
    .picker_warns_without_choice = false,
    .recording_capture_byte = 12,
    .key_capture_byte = 13,
    .device_tab = 1,
};
inline constexpr ModelInfo kKb4Info{
    .model = Model::KB_4,
    .id = "kb_4",
    .name = "KB_4",
    .format_tag = 7,
    .model_text_key = "kb_4_text",
    .first_profile_key = "kb_4_1_text",
    .profile_store = "Data/kb/kb_4/data.pros",
    .macro_store = "Data/kb/kb_4/macro.mcos",
    .macro_filter_label = "Macro File",
    .creates_default_store = false,
    .has_device_link = false,
    .usb_vendor_id = KB_VENDOR_ID,
    .usb_product_id = KB_4_PRODUCT_ID,
    .worker_message = 1907,
    .key_layout = layout_tables::Kb4,
    .light_modes_without_speed = LightModeBits({12}),
    .light_modes_with_brightness_and_speed_only = LightModeBits({2, 6, 9, 10}),
    .has_fixed_chord_command = false,
    .picker_warns_without_choice = true,
    .recording_capture_byte = 14,
    .key_capture_byte = 15,
    .device_tab = 2,
};

inline constexpr const ModelInfo* kModels[] = {&kKb3Info, &kKb4Info};
inline constexpr int kModelCount = static_cast<int>(std::size(kModels));

constexpr const ModelInfo& InfoOf(Model model) { return *kModels[static_cast<int>(model)]; }

// The model whose id is `id` ("kb_3"), or null.
constexpr const ModelInfo* FindModel(std::string_view id) {
  for (const ModelInfo* info : kModels)
    if (info->id == id) return info;
  return nullptr;
}

}  // namespace kb
