// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual/keyboard_emulator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/input_report_layout.h"
#include "kb_device_ids.h"
#include "virtual/upload_decoder.h"

namespace kb::hid {
namespace {

constexpr size_t kMaxInputReports = 64;

std::string HexLine(char kind, std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string line;
  line.reserve(2 + 2 * bytes.size());
  line += kind;
  line += ' ';
  for (uint8_t b : bytes) {
    line += kDigits[b >> 4];
    line += kDigits[b & 0x0F];
  }
  return line;
}

// So that a demo can show what an apply sent: with KB_VIRTUAL_LOG naming a file, every log
// line and every violation (marked "violation: ") is also appended to it.
void Mirror(const char* mark, const std::string& line) {
  static const char* const path = std::getenv("KB_VIRTUAL_LOG");
  if (path == nullptr || *path == '\0') return;
  if (FILE* file = std::fopen(path, "a")) {
    std::fprintf(file, "%s%s\n", mark, line.c_str());
    std::fclose(file);
  }
}

uint32_t LittleEndianWord(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

KeyboardEmulator::KeyboardEmulator() { Reset(); }

void KeyboardEmulator::Reset() {
  framer_.Drop();
  unlocked_ = false;
  active_bank_ = 0;
  last_end_index_ = -1;
  for (vkb_bank_lighting& l : lighting_) {
    l = vkb_bank_lighting{};
    l.light_mode = VKB_LIGHT_MODE_NONE;
  }
  for (auto& c : colors_) c.fill(0);
  for (auto& k : key_map_) k.fill(0);
  macro_area_.fill(0);
  macro_page_mask_ = 0;
  counters_ = {};
  last_feature_.fill(0);
  input_reports_.clear();
  log_.Clear();
  violations_.Clear();
}

void KeyboardEmulator::AddViolations(std::vector<std::string>& lines) {
  for (std::string& line : lines) {
    Mirror("violation: ", line);
    violations_.Add(std::move(line));
    ++counters_.violations;
  }
  lines.clear();
}

void KeyboardEmulator::OnRefused(const char* violation) {
  ++counters_.refused_calls;
  if (violation == nullptr) return;
  Mirror("violation: ", violation);
  violations_.Add(violation);
  ++counters_.violations;
}

void KeyboardEmulator::OnFeatureReport(std::span<const uint8_t, wire::kFeatureReportBytes> report) {
  ++counters_.feature_reports;
  std::string line = HexLine('F', report);
  Mirror("", line);
  log_.Add(std::move(line));
  std::copy(report.begin(), report.end(), last_feature_.begin());
  std::vector<std::string> lines;
  framer_.OnHeader(report, unlocked_, lines);
  AddViolations(lines);
}

void KeyboardEmulator::OnOutputReport(std::span<const uint8_t, wire::kOutputReportBytes> report) {
  ++counters_.output_reports;
  std::string line = HexLine('O', report);
  Mirror("", line);
  log_.Add(std::move(line));
  std::vector<std::string> lines;
  std::optional<Transfer> transfer = framer_.OnOutput(report, lines);
  if (transfer) Apply(*transfer, lines);
  AddViolations(lines);
}

void KeyboardEmulator::Apply(const Transfer& t, std::vector<std::string>& violations) {
  Page page(t.payload.data(), wire::kPagePayload);
  switch (t.command) {
    case wire::kCommandBegin: {
      ++counters_.begins;
      const std::string code = std::string(KB_UNLOCK_CODE_HIGH) + KB_UNLOCK_CODE_LOW;
      if (code.size() == wire::kUnlockCodeBytes &&
          std::memcmp(t.payload.data(), code.data(), wire::kUnlockCodeBytes) == 0) {
        unlocked_ = true;
        ++counters_.unlocks_accepted;
      } else {
        // A wrong code locks the keyboard even inside a session.
        unlocked_ = false;
        violations.push_back("begin command with a wrong unlock code");
      }
      return;
    }
    case wire::kCommandEnd: {
      if (!std::all_of(t.payload.begin(), t.payload.begin() + wire::kShortPayload,
                       [](uint8_t b) { return b == 0; })) {
        violations.push_back("end command data is not 8 zero bytes");
      }
      ++counters_.ends;
      last_end_index_ = t.index;
      unlocked_ = false;
      return;
    }
    case wire::kCommandLighting: {
      std::optional<LightingUpload> upload = DecodeLightingBlock(page, violations);
      if (!upload) return;
      vkb_bank_lighting& l = lighting_[upload->bank];
      l.light_mode = upload->light_mode;
      std::memcpy(l.slots, upload->slots, sizeof l.slots);
      l.custom_brightness = upload->custom_brightness;
      ++l.uploads;
      active_bank_ = upload->bank;
      ++counters_.lighting_blocks;
      return;
    }
    case wire::kCommandColor: {
      if (!CheckColorPiece(t.index, page, violations)) return;
      unsigned half = t.index / wire::kColorPiecesPerHalf;
      unsigned quarter = t.index % wire::kColorPiecesPerHalf;
      std::copy(page.begin(), page.end(), colors_[half].begin() + quarter * wire::kPagePayload);
      ++counters_.color_pieces;
      return;
    }
    case wire::kCommandKeyMap: {
      if (!CheckKeyMapPage(t.index, page, violations)) return;
      unsigned bank = t.index / 2;
      unsigned part = t.index % 2;
      std::copy(page.begin(), page.end(), key_map_[bank].begin() + part * wire::kPagePayload);
      ++counters_.key_map_pages;
      return;
    }
    case wire::kCommandMacro: {
      if (!CheckMacroPage(t.index, page, violations)) return;
      std::copy(page.begin(), page.end(), macro_area_.begin() + t.index * wire::kPagePayload);
      macro_page_mask_ |= uint32_t{1} << t.index;
      ++counters_.macro_pages;
      return;
    }
    default:
      return;
  }
}

void KeyboardEmulator::SwitchBank(int bank) {
  active_bank_ = bank;
  QueueInputReport(wire::kNotifyBankSwitch,
                   static_cast<uint16_t>((1u << 8) | static_cast<unsigned>(bank)));
}

void KeyboardEmulator::SwitchLightMode(int mode) {
  lighting_[active_bank_].light_mode = mode;
  QueueInputReport(wire::kNotifyLightMode,
                   static_cast<uint16_t>(static_cast<unsigned>(mode + 1) << 8));
}

void KeyboardEmulator::Unplug() {
  framer_.Drop();
  unlocked_ = false;
  input_reports_.clear();
}

void KeyboardEmulator::QueueInputReport(uint16_t code, uint16_t value) {
  if (input_reports_.size() >= kMaxInputReports) input_reports_.pop_front();
  InputReport report{};
  report[kInputReportCodeHigh] = static_cast<uint8_t>(code >> 8);
  report[kInputReportCodeLow] = static_cast<uint8_t>(code);
  report[kInputReportValueHigh] = static_cast<uint8_t>(value >> 8);
  report[kInputReportValueLow] = static_cast<uint8_t>(value);
  input_reports_.push_back(report);
}

bool KeyboardEmulator::TakeInputReport(InputReport& report) {
  if (input_reports_.empty()) return false;
  report = input_reports_.front();
  input_reports_.pop_front();
  return true;
}

void KeyboardEmulator::FillState(vkb_state& out, bool plugged) const {
  std::memset(&out, 0, sizeof out);
  out.plugged = plugged ? 1 : 0;
  out.unlocked = unlocked_ ? 1 : 0;
  out.active_bank = active_bank_;
  out.last_end_index = last_end_index_;
  for (int b = 0; b < VKB_BANKS; ++b) {
    vkb_bank_state& bank = out.banks[b];
    bank.lighting = lighting_[b];
    for (size_t s = 0; s < VKB_COLOR_SETS; ++s) {
      const uint8_t* set = colors_[b].data() + s * wire::kColorSetBytes;
      std::memcpy(bank.colors[s].blue, set, wire::kColorRunBytes);
      std::memcpy(bank.colors[s].red, set + wire::kColorRunBytes, wire::kColorRunBytes);
      std::memcpy(bank.colors[s].green, set + 2 * wire::kColorRunBytes, wire::kColorRunBytes);
    }
    const uint8_t* map = key_map_[b].data();
    for (size_t k = 0; k < VKB_KEYS; ++k)
      bank.key_words[k] = LittleEndianWord(map + wire::kKeyMapKeyWords + 4 * k);
    for (size_t f = 0; f < VKB_FN_KEYS; ++f) {
      bank.fn_words[f] = LittleEndianWord(map + wire::kKeyMapFnWords + 4 * f);
      bank.fn2_words[f] = LittleEndianWord(map + wire::kKeyMapFn2Words + 4 * f);
    }
  }
  std::memcpy(out.macro_area, macro_area_.data(), macro_area_.size());
  out.macro_page_mask = macro_page_mask_;
  out.counters = counters_;
}

}  // namespace kb::hid
