// SPDX-License-Identifier: GPL-3.0-or-later
// Key caps never cut their labels. Every text a key can show (every key name of the tables, the
// media texts, the longest macro name, the longest shortcut) is fitted to every cap size of both
// keyboard pictures and then measured, line by line, with the font's own metrics (QFontMetricsF
// of the theme's font) at scale 1, and also at 2 where a screen has that scale; and the real key
// page shows long assignments that way. CTest runs this also with QT_SCALE_FACTOR=2.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "app/app_fixture.h"
#include "common/utf16_text.h"
#include "keys/assignment_kind.h"
#include "keys/key_layout.h"
#include "keys/key_names.h"
#include "keys/key_picture.h"
#include "keys/media_commands.h"
#include "pages/common/key_cap_label.h"
#include "pages/common/key_plate.h"
#include "pages/keys/key_custom_page.h"
#include "profile/profile_record.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/theme.h"

namespace kb::test {
namespace {

// A key button's room for text: its size less its text padding (the layout's, 1 px each side).
constexpr int kTextPadding = 1;

struct CapSize {
  int width = 0;
  int height = 0;
  friend auto operator<=>(const CapSize&, const CapSize&) = default;
};

// Every cap size of both keyboard pictures, keys and Fn slots, in pixels.
std::set<CapSize> AllCapSizes() {
  std::set<CapSize> sizes;
  for (Model model : {Model::KB_3, Model::KB_4}) {
    const KeyPicture& picture = KeyPictureOf(model);
    auto add = [&](const std::optional<KeyRect>& rect) {
      if (rect)
        sizes.insert({rect->width * kPixelsPerQuarter - kKeyGap,
                      rect->height * kPixelsPerQuarterY - kKeyGap});
    };
    for (const auto& rect : picture.keys) add(rect);
    for (const auto& rect : picture.fn_slots) add(rect);
    for (const auto& rect : picture.positions) add(rect);  // the lighting page's caps
  }
  return sizes;
}

KeyEntry Entry(std::uint8_t kind, KeyCode code, std::uint8_t modifiers = 0) {
  KeyEntry entry{};
  entry.kind = kind;
  entry.kind_param = modifiers;
  WriteKeyCode(entry.code, code);
  return entry;
}

KeyEntry MacroEntry(std::u16string_view name) {
  KeyEntry entry = Entry(KindByte(AssignmentKind::MacroBinding), 0x1000'0000);
  StoreFieldText(entry.macro_name, name);
  return entry;
}

// The longest name a key entry holds (23 units), of the widest letter, and one of words.
const std::u16string kWidestMacroName(kKeyMacroNameUnits - 1, u'W');
const std::u16string kLongMacroName = u"Greeting for new people";

// Every assignment whose caption a key can show.
std::vector<KeyEntry> EveryCaption() {
  std::vector<KeyEntry> entries;
  for (std::uint32_t usage = 0; usage < 256; ++usage) {
    if (KeyNameFromUsage(usage).empty()) continue;
    entries.push_back(Entry(KindByte(AssignmentKind::SingleKey), usage));
    // The longest shortcuts: all four modifiers with every key.
    entries.push_back(Entry(KindByte(AssignmentKind::Shortcut), 0x0F00 | usage, 0x0F));
  }
  for (std::uint8_t mask = 1; mask < 16; ++mask)
    entries.push_back(Entry(KindByte(AssignmentKind::Shortcut), (mask << 8) | 0x04, mask));
  entries.push_back(Entry(KindByte(AssignmentKind::Shortcut), 0x0F00, 0x0F));  // modifiers alone
  for (const MediaCommand& media : MediaCommands())
    entries.push_back(Entry(KindByte(media.kind), media.code));
  entries.push_back(Entry(KindByte(AssignmentKind::Disabled), kNoFunction));
  entries.push_back(Entry(KindByte(AssignmentKind::FixedChord), 0x0000'0A72));
  // Factory codes of every kind: keys, modifiers, Fn, device functions, consumer codes.
  for (Model model : {Model::KB_3, Model::KB_4}) {
    for (KeyCode code : LayoutOf(model).default_key_codes)
      entries.push_back(Entry(KindByte(AssignmentKind::Default), code));
    for (KeyCode code : LayoutOf(model).default_fn_key_codes)
      entries.push_back(Entry(KindByte(AssignmentKind::Default), code));
  }
  entries.push_back(Entry(KindByte(AssignmentKind::Default), 0x0400'0001));  // unnamed consumer
  entries.push_back(MacroEntry(kWidestMacroName));
  entries.push_back(MacroEntry(kLongMacroName));
  entries.push_back(MacroEntry(u"Greeting"));
  return entries;
}

QFont ThemeFont(const DuiLib::CDuiString& id, int scale) {
  const DuiLib::FontSpec* theme_font = DuiLib::CTheme::Global().FindFont(id);
  QFont font;
  if (theme_font == nullptr) return font;
  font.setFamily(QString::fromStdString(theme_font->family.ToUtf8()));
  font.setPixelSize(theme_font->size * scale);
  font.setBold(theme_font->bold);
  return font;
}

QString Q(const DuiLib::CDuiString& text) { return QString::fromStdString(text.ToUtf8()); }

// The scales a cap is drawn at: 1, and 2 where a screen is of a higher scale.
std::vector<int> ScalesOfTheScreens() {
  const QList<QScreen*> screens = QGuiApplication::screens();
  const bool above_one = std::any_of(screens.begin(), screens.end(),
                                     [](const QScreen* s) { return s->devicePixelRatio() > 1.0; });
  return above_one ? std::vector<int>{1, 2} : std::vector<int>{1};
}

class KeyLabelFitTest : public AppFixture {
 protected:
  CKeyCustomPage& Keys() {
    return *dynamic_cast<CKeyCustomPage*>(pm().FindControl(u"kb_3_custom"));
  }
  DuiLib::CButtonUI* Button(int index) { return Keys().KeyButton(index); }
  void Assign(int index, const KeyEntry& entry) {
    {
      auto edit = Data().Lock();
      KeyAt(ActiveBank(*edit.current()), index) = entry;
    }
    Keys().RefreshKeyHighlights();
  }
  // The button that shows the key whose factory name is `name` ("key_End"): a key's own or, for
  // a key that hands itself to an Fn slot, the slot's.
  DuiLib::CButtonUI* Named(std::string_view name) {
    const KeyLayout& layout = LayoutOf(Model::KB_3);
    const KeyPicture& picture = KeyPictureOf(Model::KB_3);
    auto is = [&](KeyCode code) {
      return TypeOf(code) == KeyCodeType::Keyboard && KeyNameFromUsage(LowByteOf(code)) == name;
    };
    for (int k = 0; k < kLayoutKeys; ++k)
      if (picture.keys[k] && is(layout.default_key_codes[k])) return Keys().KeyButton(k);
    for (int j = 0; j < kLayoutFnSlots; ++j)
      if (picture.fn_slots[j] && is(layout.default_fn_key_codes[j])) return Keys().FnButton(j);
    return nullptr;
  }
  // The index of the key whose factory name is `name` and that shows its own button.
  int KeyNamed(std::string_view name) {
    const KeyLayout& layout = LayoutOf(Model::KB_3);
    for (int k = 0; k < kLayoutKeys; ++k)
      if (KeyPictureOf(Model::KB_3).keys[k] &&
          KeyNameFromUsage(LowByteOf(layout.default_key_codes[k])) == name)
        return k;
    return -1;
  }
};

// Fitted to each cap and measured with the font's metrics at the screens' scales: no line wider
// than the cap's room, at most two lines and no more than its height holds, one font per cap width,
// and nothing but a macro's name ever shortened.
TEST_F(KeyLabelFitTest, EveryTextFitsEveryCapAtScaleOneAndTwo) {
  Start();
  const std::set<CapSize> sizes = AllCapSizes();
  ASSERT_GE(sizes.size(), 5u);
  const std::vector<KeyEntry> entries = EveryCaption();
  std::map<int, DuiLib::CDuiString> font_of_width;
  int measured = 0;
  for (const CapSize& cap : sizes) {
    const int room_w = cap.width - 2 * kTextPadding;
    const int room_h = cap.height - 2 * kTextPadding;
    for (const KeyEntry& entry : entries) {
      const CapCaption caption = CapCaptionOf(entry);
      const CapLabel label = FitCapLabel(&pm(), caption, cap.width, room_w, room_h);
      const std::string what = caption.Whole().ToUtf8() + " on " + std::to_string(cap.width) + "x" +
                               std::to_string(cap.height) + " as \"" + label.text.ToUtf8() + "\"";
      SCOPED_TRACE(what);
      EXPECT_TRUE(label.fits);
      auto [it, inserted] = font_of_width.emplace(cap.width, label.font);
      EXPECT_EQ(it->second, label.font) << "one font per cap width";
      const QStringList lines = Q(label.text).split(u'\n');
      EXPECT_LE(lines.size(), 2);
      for (int scale : ScalesOfTheScreens()) {
        const QFontMetricsF metrics(ThemeFont(label.font, scale));
        for (const QString& line : lines) {
          EXPECT_LE(std::ceil(metrics.horizontalAdvance(line)), room_w * scale)
              << line.toStdString() << " at scale " << scale;
          ++measured;
        }
        EXPECT_LE(lines.size() * metrics.height(), room_h * scale) << "at scale " << scale;
      }
      const bool elided = Q(label.text).contains(QChar(0x2026));
      if (caption.form == CapCaption::Form::Macro) {
        // A macro's name is shown whole or from its start up to an ellipsis.
        QString shown = Q(label.text);
        // A hyphen the cap put where it broke a word is no part of the name.
        if (const auto at = shown.indexOf(u"-\n"); at > 0 && !Q(caption.text).contains(u'-'))
          shown.remove(at, 1);
        shown.remove(u'\n').remove(QChar(0x2026));
        QString whole = Q(caption.text);
        whole.remove(u' ');
        shown.remove(u' ');
        EXPECT_TRUE(elided ? whole.startsWith(shown) : whole == shown);
        continue;
      }
      EXPECT_FALSE(elided);
      if (caption.form == CapCaption::Form::Text) {
        // The whole name or its cap form, broken at a space at most.
        QString shown = Q(label.text);
        shown.replace(u'\n', u' ');
        EXPECT_TRUE(shown == Q(caption.text) || shown == Q(caption.cap));
      } else if (!caption.text.IsEmpty()) {
        // The key's name (or its cap form) on a line of its own, after the modifiers.
        EXPECT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines.back() == Q(caption.text) || lines.back() == Q(caption.cap));
        EXPECT_FALSE(lines.front().isEmpty());
      }
    }
  }
  EXPECT_GT(measured, 5000 * static_cast<int>(ScalesOfTheScreens().size()));
}

// The key page as the user sees it: a shortcut in its short form with its modifiers on the
// first line, a macro's name cut at its end while the accessible name and the hover panel say it
// whole, long key names on two lines, and one size for the caps of one width.
TEST_F(KeyLabelFitTest, TheKeyPageShowsLongAssignmentsWhole) {
  Start();
  const int key_a = KeyNamed("key_A");
  ASSERT_GE(key_a, 0);
  DuiLib::CButtonUI* end = Named("key_End");
  DuiLib::CButtonUI* home = Named("key_Home");
  DuiLib::CButtonUI* up = Named("key_Up");
  DuiLib::CButtonUI* down = Named("key_Down");
  DuiLib::CButtonUI* print = Named("key_Print Scr");
  DuiLib::CButtonUI* scroll = Named("key_Scroll Lock");
  for (auto* button : {end, home, up, down, print, scroll}) ASSERT_NE(button, nullptr);

  // Ctrl+Shift+A on the widest cap (room for the words) and on A (a standard cap: the short
  // form).
  const KeyEntry shortcut = Entry(KindByte(AssignmentKind::Shortcut), 0x0304, 0x03);
  int space = 0;
  for (int k = 0; k < kLayoutKeys; ++k)
    if (Button(k) != nullptr && Button(k)->IsVisible() &&
        Button(k)->GetFixedWidth() > Button(space)->GetFixedWidth())
      space = k;
  Assign(space, shortcut);
  Assign(key_a, shortcut);
  EXPECT_EQ(Button(space)->GetText().ToUtf8(), "Ctrl+Shift+\nA");
  EXPECT_EQ(Button(key_a)->GetText().ToUtf8(), "C+S+\nA");
  EXPECT_EQ(Button(key_a)->GetAccessibleName(), u"A, changed: Ctrl+Shift+A");

  // A macro's name on a standard cap: its start, then an ellipsis; whole everywhere else.
  Assign(key_a, MacroEntry(kLongMacroName));
  const DuiLib::CDuiString shown = Button(key_a)->GetText();
  EXPECT_TRUE(shown.view().starts_with(u"Gree")) << shown.ToUtf8();
  EXPECT_NE(shown.Find(u"-\n"), -1) << "a word broken with a hyphen: " << shown.ToUtf8();
  EXPECT_TRUE(shown.view().ends_with(u"\u2026")) << shown.ToUtf8();
  EXPECT_EQ(Button(key_a)->GetAccessibleName(),
            DuiLib::CDuiString(u"A, changed: ") + DuiLib::CDuiString(kLongMacroName));
  Keys().DescribeAssignment(MacroEntry(kLongMacroName));
  EXPECT_EQ(pm().FindControl(u"label_kb_3_function")->GetShownText(),
            DuiLib::CDuiString(u"Macro-") + DuiLib::CDuiString(kLongMacroName));

  // Factory names: whole, on two lines where they need them; one font for the standard caps.
  Keys().RefreshKeyHighlights();
  EXPECT_EQ(print->GetText().ToUtf8(), "PrtSc");  // "Screen" is wider than a standard cap
  EXPECT_EQ(scroll->GetText().ToUtf8(), "Scroll\nLock");
  for (auto* button : {end, up, down}) EXPECT_EQ(button->GetFont(), home->GetFont());
  EXPECT_EQ(home->GetFont(), u"keycap_narrow");
  // The lighting page's caps, placed when the page is first shown, are fitted the same way.
  ASSERT_TRUE(DuiLib::Testing::Click(pm(), u"option_kb_3_light"));
  EXPECT_EQ(pm().FindControl(u"btn_kb_3_custom_5")->GetText().ToUtf8(), "Left\nCtrl");
  EXPECT_EQ(pm().FindControl(u"btn_kb_3_custom_84")->GetText().ToUtf8(), "PrtSc");
}

}  // namespace
}  // namespace kb::test
