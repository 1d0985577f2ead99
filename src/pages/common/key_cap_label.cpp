// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/common/key_cap_label.h"

#include <optional>
#include <string>

#include "common/utf16_text.h"
#include "keys/key_caption.h"
#include "ui/button.h"
#include "ui/resource_manager.h"
#include "ui/text_metrics.h"

using DuiLib::CDuiString;
using DuiLib::LanguageText;

namespace kb {
namespace {

// Cap widths in pixels up to which a font is used (the narrowest cap is a standard key).
constexpr int kNarrowCap = 30;
constexpr int kMiddleCap = 46;

// The short cap form of a language key's text, or empty.
CDuiString CapText(std::string_view key) {
  if (key.empty()) return {};
  const std::u16string* cap =
      DuiLib::CResourceManager::GetInstance()->Texts().Find("cap_" + std::string(key));
  return cap != nullptr ? CDuiString(*cap) : CDuiString();
}

class Fitter {
 public:
  Fitter(const DuiLib::CPaintManagerUI* pm, CDuiString font, int width, int height)
      : pm_(pm), font_(std::move(font)), width_(width) {
    lines_ = std::max(1, std::min(2, height / std::max(1, DuiLib::MeasureLineSpacing(pm_, font_))));
  }
  const CDuiString& font() const { return font_; }
  int lines() const { return lines_; }
  bool Fits(const CDuiString& line) const {
    return DuiLib::MeasureTextWidth(pm_, font_, line) <= width_;
  }
  CDuiString Elide(const CDuiString& line) const {
    return DuiLib::ElideTextToWidth(pm_, font_, line, width_);
  }
  // The text on one line, or on two broken at the space that keeps the wider line narrowest.
  std::optional<CDuiString> Lines(const CDuiString& text) const {
    if (text.IsEmpty()) return std::nullopt;
    if (Fits(text)) return text;
    if (lines_ < 2) return std::nullopt;
    std::optional<CDuiString> best;
    int best_width = 0;
    for (int at = text.Find(u' '); at > 0; at = text.Find(u' ', at + 1)) {
      const CDuiString two = text.Left(at) + u"\n" + text.Mid(at + 1);
      const int width = DuiLib::MeasureTextWidth(pm_, font_, two);
      if (width <= width_ && (!best || width < best_width)) best = two, best_width = width;
    }
    return best;
  }

 private:
  const DuiLib::CPaintManagerUI* pm_;
  CDuiString font_;
  int width_;
  int lines_ = 1;
};

CapLabel FitName(const Fitter& fit, const CapCaption& caption) {
  if (caption.text.IsEmpty()) return {{}, fit.font()};
  if (auto lines = fit.Lines(caption.text)) return {*lines, fit.font()};
  if (auto lines = fit.Lines(caption.cap)) return {*lines, fit.font()};
  return {fit.Elide(caption.cap.IsEmpty() ? caption.text : caption.cap), fit.font(), false};
}

// As much of the name as fits on the first line (up to its last space that fits, else up to
// the last character that fits with a hyphen after it), the rest on the second, ending in an
// ellipsis when it is still too long.
CapLabel FitMacroName(const Fitter& fit, const CDuiString& name) {
  if (auto lines = fit.Lines(name)) return {*lines, fit.font()};
  if (fit.lines() < 2) return {fit.Elide(name), fit.font()};
  const int length = name.GetLength();
  int n = 1;
  while (n < length && fit.Fits(name.Left(n + 1))) ++n;
  if (n > 1 && n < length && name[n - 1] >= 0xD800 && name[n - 1] <= 0xDBFF) --n;  // whole chars
  auto high_surrogate = [&](int at) { return name[at] >= 0xD800 && name[at] <= 0xDBFF; };
  for (int at = n; at > 0; --at)
    if (at < length && name[at] == u' ') {
      CDuiString second = name.Mid(at + 1);
      second.TrimLeft();
      return {name.Left(at) + u"\n" + fit.Elide(second), fit.font()};
    }
  // Broken inside a word: a hyphen marks it where one fits after two characters or more.
  for (int at = n; at >= 2; --at)
    if (!high_surrogate(at - 1) && name[at - 1] != u'-' && fit.Fits(name.Left(at) + u"-"))
      return {name.Left(at) + u"-\n" + fit.Elide(name.Mid(at)), fit.font()};
  return {name.Left(n) + u"\n" + fit.Elide(name.Mid(n)), fit.font()};
}

CapLabel FitShortcut(const Fitter& fit, const CapCaption& caption) {
  if (caption.modifiers.empty()) return FitName(fit, caption);
  // The modifiers' line, from the longest form to the shortest: "Ctrl+Shift+", "C+S+", "CS+",
  // "CS".
  CDuiString words, letters_plus, letters;
  for (const CapModifier& m : caption.modifiers) {
    words += m.name + u"+";
    letters_plus += (m.cap.IsEmpty() ? m.name : m.cap) + u"+";
    letters += m.cap.IsEmpty() ? m.name : m.cap;
  }
  const CDuiString bare = letters;
  letters += u"+";
  CDuiString key = caption.text;
  bool fits = true;
  if (!key.IsEmpty() && !fit.Fits(key)) key = caption.cap;
  if (!key.IsEmpty() && !fit.Fits(key)) key = fit.Elide(key), fits = false;
  if (key.IsEmpty()) {
    // Modifiers alone: no "+" after the last.
    words = words.Left(words.GetLength() - 1);
    letters_plus = letters_plus.Left(letters_plus.GetLength() - 1);
    letters = letters.Left(letters.GetLength() - 1);
  }
  if (fit.lines() < 2) {
    for (const CDuiString& mods : {words, letters_plus, letters})
      if (fit.Fits(mods + key)) return {mods + key, fit.font(), fits};
    return {fit.Elide(letters + key), fit.font(), false};
  }
  for (const CDuiString& mods : {words, letters_plus, letters, bare})
    if (fit.Fits(mods)) return {key.IsEmpty() ? mods : mods + u"\n" + key, fit.font(), fits};
  return {fit.Elide(bare) + u"\n" + key, fit.font(), false};
}

}  // namespace

CDuiString CapCaption::Whole() const {
  if (form != Form::Shortcut) return text;
  CDuiString whole;
  for (const CapModifier& m : modifiers) whole += m.name + u"+";
  return whole + text;
}

CapCaption CapCaptionOf(const KeyEntry& entry) {
  const KeyCaption caption = KeyCaptionOf(entry.kind, ReadKeyCode(entry.code));
  CapCaption out;
  switch (caption.form) {
    case CaptionForm::Macro:
      out.form = CapCaption::Form::Macro;
      out.text = CDuiString(FieldText(entry.macro_name));
      return out;
    case CaptionForm::Shortcut:
      out.form = CapCaption::Form::Shortcut;
      for (int bit = 0; bit < 4; ++bit)
        if (entry.kind_param & (1u << bit))
          out.modifiers.push_back(
              {LanguageText(kShortcutModifierKeys[bit]), CapText(kShortcutModifierKeys[bit])});
      break;
    case CaptionForm::Text:
      break;
  }
  if (!caption.text_key.empty()) {
    out.text = LanguageText(caption.text_key);
    out.cap = CapText(caption.text_key);
  }
  return out;
}

CDuiString CapFontFor(int cap_width) {
  if (cap_width <= kNarrowCap) return u"keycap_narrow";
  if (cap_width <= kMiddleCap) return u"keycap";
  return u"keycap_wide";
}

CapLabel FitCapLabel(const DuiLib::CPaintManagerUI* pm, const CapCaption& caption, int cap_width,
                     int width, int height) {
  const Fitter fit(pm, CapFontFor(cap_width), width, height);
  switch (caption.form) {
    case CapCaption::Form::Macro:
      return FitMacroName(fit, caption.text);
    case CapCaption::Form::Shortcut:
      return FitShortcut(fit, caption);
    case CapCaption::Form::Text:
      break;
  }
  return FitName(fit, caption);
}

void ShowCapLabel(DuiLib::CButtonUI& button, const KeyEntry& entry) {
  // A position the model's picture has no key at stays hidden: fitting its label would cost a
  // font's measures before the first frame for a cap nobody sees.
  if (!button.IsOwnVisible()) return;
  const DuiLib::RECT pad = button.GetTextPadding();
  const int width = button.GetFixedWidth();
  const CapLabel label =
      FitCapLabel(button.GetManager(), CapCaptionOf(entry), width, width - pad.left - pad.right,
                  button.GetFixedHeight() - pad.top - pad.bottom);
  button.SetText(label.text);
  button.SetFont(label.font);
}

}  // namespace kb
