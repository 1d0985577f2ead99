#pragma once
// The two keyboard models and what distinguishes them outside the key tables. Twins are written
// once and take one of these descriptors; nothing else switches on the model.

#include <cstdint>
#include <string_view>

namespace kb {

enum class Model { KB_3, KB_4 };

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
  std::uint32_t worker_message;         // thread message that requests a transfer
};

inline constexpr ModelInfo kKb3Info{Model::KB_3,
                                    "kb_3",
                                    "KB_3",
                                    6,
                                    "kb_3_text",
                                    "kb_3_1_text",
                                    "Data/kb/kb_3/data.pros",
                                    "Data/kb/kb_3/macro.mcos",
                                    "Macro Flie",
                                    1906};
inline constexpr ModelInfo kKb4Info{Model::KB_4,
                                    "kb_4",
                                    "KB_4",
                                    7,
                                    "kb_4_text",
                                    "kb_4_1_text",
                                    "Data/kb/kb_4/data.pros",
                                    "Data/kb/kb_4/macro.mcos",
                                    "Macro File",
                                    1907};

constexpr const ModelInfo& InfoOf(Model model) {
  return model == Model::KB_3 ? kKb3Info : kKb4Info;
}

}  // namespace kb
