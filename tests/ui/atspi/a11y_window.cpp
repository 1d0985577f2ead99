// SPDX-License-Identifier: GPL-3.0-or-later
// A window of the test skin shown for the AT-SPI check: every control named, a few list and
// combo items, and each notification written to standard output ("type:sender:wParam") so the
// check can see what its actions did. A click on "btn" renames it, as a page renames a key
// button that changed. Not a test itself: it runs until it is killed.
#include <cstdio>

#include "recording_window.h"
#include "ui/combo.h"
#include "ui/list.h"
#include "ui/paint_manager.h"

using namespace DuiLib;

namespace {

template <class T>
void AddItems(T* owner, const char16_t* pattern) {
  for (int i = 0; i < 3; ++i) {
    auto* item = new CListLabelElementUI;
    item->SetText(CDuiString::Formatted(pattern, i));
    item->SetFixedHeight(20);
    owner->Add(item);
  }
}

}  // namespace

int main() {
  kbtest::RecordingWindow w{u"controls.xml", u"AccessibleWindow"};
  w.on_notify = [](TNotifyUI& msg) {
    if (msg.sType == u"mouseenter" || msg.sType == u"mouseleave") return;
    // As a key button of the keyboard picture says what it does now.
    if (msg.sType == u"click" && msg.pSender && msg.pSender->GetName() == u"btn")
      msg.pSender->SetAccessibleName(u"Left Ctrl, changed: Ctrl+A");
    std::printf("%s:%s:%d\n", msg.sType.ToUtf8().c_str(),
                msg.pSender ? msg.pSender->GetName().ToUtf8().c_str() : "",
                static_cast<int>(msg.wParam));
    std::fflush(stdout);
  };
  if (!w.Open()) return 1;
  w.SetWindowText(u"Accessible window");
  struct {
    const char16_t* control;
    const char16_t* name;
  } names[] = {{u"opt1", u"Bank 1"},    {u"opt2", u"Bank 2"},   {u"chk", u"Loop"},
               {u"edit1", u"Name"},     {u"edit2", u"Delay"},   {u"slider", u"Brightness"},
               {u"palette", u"Colour"}, {u"combo", u"Profile"}, {u"list", u"Macros"}};
  for (const auto& n : names) w.pm().FindControl(n.control)->SetToolTip(n.name);
  AddItems(w.Find<CComboUI>(u"combo"), u"Profile %d");
  AddItems(w.Find<CListUI>(u"list"), u"Macro %d");
  w.Find<CComboUI>(u"combo")->SelectItem(0);
  std::printf("ready\n");
  std::fflush(stdout);
  return CPaintManagerUI::MessageLoop();
}
