// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technologies get from a window: the accessible tree reached from the window's
// native widget through Qt's QAccessible API (the objects the AT-SPI bridge serves), per
// control class, and a walk over every layout of the skin.
#include <gtest/gtest.h>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFocusEvent>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "recording_window.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/internal/accessible_control.h"
#include "ui/internal/accessible_naming.h"
#include "ui/internal/combo_drop_window.h"
#include "ui/internal/host_widget.h"
#include "ui/list.h"
#include "ui/menu.h"
#include "ui/resource_manager.h"
#include "ui/slider.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;
using Events = std::vector<std::string>;

namespace {

QAccessibleInterface* WindowObject(CWindowWnd& w) {
  return QAccessible::queryAccessibleInterface(w.NativeHostForTesting());
}

// Depth-first over the accessible tree, as a screen reader reads it.
void Walk(QAccessibleInterface* a, const std::function<void(QAccessibleInterface*)>& fn) {
  if (!a) return;
  fn(a);
  for (int i = 0; i < a->childCount(); ++i) Walk(a->child(i), fn);
}

// The object of `control` as found from its window (so it is reachable), or null.
QAccessibleInterface* Find(CWindowWnd& w, CControlUI* control) {
  QAccessibleInterface* found = nullptr;
  Walk(WindowObject(w), [&](QAccessibleInterface* a) {
    auto* c = dynamic_cast<internal::AccessibleControl*>(a);
    if (c && c->control() == control) found = a;
  });
  return found;
}

std::string Name(QAccessibleInterface* a) { return a->text(QAccessible::Name).toStdString(); }

// The controls a user works with that a screen reader could not name (or that claim to be
// shown while hidden).
std::vector<std::string> NamelessControls(CWindowWnd& w) {
  std::vector<std::string> out;
  Walk(WindowObject(w), [&](QAccessibleInterface* o) {
    if (!internal::IsInteractiveRole(o->role())) return;
    if (o->text(QAccessible::Name).trimmed().isEmpty() || o->state().invisible) {
      auto* c = dynamic_cast<internal::AccessibleControl*>(o);
      out.push_back(c ? c->control()->GetName().ToUtf8() : "?");
    }
  });
  return out;
}

int CountInteractive(CWindowWnd& w) {
  int n = 0;
  Walk(WindowObject(w),
       [&](QAccessibleInterface* o) { n += internal::IsInteractiveRole(o->role()); });
  return n;
}

// Every accessibility event, as "type:name".
std::vector<std::string>* g_updates = nullptr;
void RecordUpdate(QAccessibleEvent* ev) {
  if (!g_updates) return;
  QAccessibleInterface* a = ev->accessibleInterface();
  g_updates->push_back(std::to_string(ev->type()) + ":" + (a ? Name(a) : std::string()));
}
std::string Update(QAccessible::Event type, const std::string& name) {
  return std::to_string(type) + ":" + name;
}

template <class T>
CListLabelElementUI* AddItem(T* owner, const CDuiString& text) {
  auto* item = new CListLabelElementUI;
  item->SetText(text);
  item->SetFixedHeight(20);
  owner->Add(item);
  return item;
}

class AccessibilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto* w : {&a, &b}) {
      ASSERT_TRUE(w->Open());
      for (int i = 0; i < 3; ++i) {
        AddItem(w->Find<CComboUI>(u"combo"), CDuiString::Formatted(u"Profile %d", i));
        AddItem(w->Find<CListUI>(u"list"), CDuiString::Formatted(u"Macro %d", i));
      }
      w->Find<CComboUI>(u"combo")->SetToolTip(u"Profile");
      w->Find<CListUI>(u"list")->SetToolTip(u"Macros");
      w->pm().UpdateLayout();
      w->events.clear();
    }
    // The offscreen platform has no bridge to deliver events to: watch them at the source.
    internal::SetAccessibleEventObserverForTesting(&RecordUpdate);
    g_updates = &updates;
  }
  void TearDown() override {
    g_updates = nullptr;
    internal::SetAccessibleEventObserverForTesting(nullptr);
  }
  QAccessibleInterface* Of(const CDuiString& name) {
    QAccessibleInterface* found = Find(a, a.pm().FindControl(name));
    EXPECT_NE(found, nullptr) << name.ToUtf8();
    return found;
  }

  kbtest::RecordingWindow a{u"controls.xml"};
  kbtest::RecordingWindow b{u"controls.xml"};
  std::vector<std::string> updates;
};

TEST_F(AccessibilityTest, EachControlClassHasItsRoleNameAndStates) {
  a.Find<COptionUI>(u"opt1")->SetText(u"Bank 1");
  a.Find<COptionUI>(u"opt2")->SetAccessibleName(u"Bank 2");
  a.Find<CCheckBoxUI>(u"chk")->SetToolTip(u"Loop");
  a.Find<CEditUI>(u"edit1")->SetToolTip(u"Name");
  a.Find<CEditUI>(u"edit1")->SetText(u"Game");
  a.Find<CControlUI>(u"edit2")->SetEnabled(false);
  a.Find<CControlUI>(u"slider")->SetToolTip(u"Brightness");
  a.Find<CControlUI>(u"palette")->SetAccessibleName(u"Colour");
  a.Find<CComboUI>(u"combo")->SelectItem(1);
  a.Find<CControlUI>(u"edit1")->SetFocus();
  struct Row {
    const char16_t* control;
    QAccessible::Role role;
    const char* name;
    const char* value;
    bool focusable, focused, disabled, checked;
  } rows[] = {
      {u"btn", QAccessible::Button, "Go", "", true, false, false, false},
      {u"opt1", QAccessible::RadioButton, "Bank 1", "", true, false, false, true},
      {u"opt2", QAccessible::RadioButton, "Bank 2", "", true, false, false, false},
      {u"chk", QAccessible::CheckBox, "Loop", "", true, false, false, false},
      {u"lbl", QAccessible::StaticText, "label", "", false, false, false, false},
      {u"edit1", QAccessible::EditableText, "Name", "Game", true, true, false, false},
      {u"edit2", QAccessible::EditableText, "", "", false, false, true, false},
      {u"slider", QAccessible::Slider, "Brightness", "10", true, false, false, false},
      {u"progress", QAccessible::ProgressBar, "", "30", false, false, false, false},
      {u"palette", QAccessible::ColorChooser, "Colour", "#FFFFFF", true, false, false, false},
      {u"combo", QAccessible::ComboBox, "Profile", "Profile 1", true, false, false, false},
      {u"list", QAccessible::List, "Macros", "", true, false, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(CDuiString(r.control).ToUtf8());
    QAccessibleInterface* o = Of(r.control);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->role(), r.role);
    EXPECT_EQ(Name(o), r.name);
    EXPECT_EQ(o->text(QAccessible::Value).toStdString(), r.value);
    const QAccessible::State s = o->state();
    EXPECT_EQ(s.focusable, r.focusable);
    EXPECT_EQ(s.focused, r.focused);
    EXPECT_EQ(s.disabled, r.disabled);
    EXPECT_EQ(s.checked, r.checked);
    EXPECT_FALSE(s.invisible);
    // Screen coordinates of the control's rectangle.
    const RECT& pos = a.pm().FindControl(r.control)->GetPos();
    const QPoint origin = a.NativeHostForTesting()->mapToGlobal(QPoint(pos.left, pos.top));
    EXPECT_EQ(o->rect(), QRect(origin, QSize(pos.Width(), pos.Height())));
    EXPECT_EQ(o->parent()->indexOfChild(o) >= 0, true);
  }
  // The window: a dialog (tool window) named by its window text, holding the root layout.
  QAccessibleInterface* win = WindowObject(a);
  EXPECT_EQ(win->role(), QAccessible::Dialog);
  EXPECT_EQ(Name(win), "RecordingWindow");
  ASSERT_EQ(win->childCount(), 1);
  EXPECT_EQ(win->child(0)->role(), QAccessible::Pane);
  EXPECT_EQ(win->focusChild(), Of(u"edit1"));
  // Combo items are its choices; list rows are list items, selectable.
  QAccessibleInterface* combo = Of(u"combo");
  ASSERT_EQ(combo->childCount(), 3);
  EXPECT_EQ(combo->child(1)->role(), QAccessible::ListItem);
  EXPECT_TRUE(combo->child(1)->state().selected);
  // Closed, its items are there to be chosen but not on the screen.
  EXPECT_FALSE(combo->child(1)->state().invisible);
  EXPECT_TRUE(combo->child(1)->state().offscreen);
  EXPECT_TRUE(combo->state().collapsed);
  QAccessibleInterface* list = Of(u"list");
  ASSERT_EQ(list->childCount(), 3);
  EXPECT_EQ(Name(list->child(2)), "Macro 2");
  EXPECT_TRUE(list->child(2)->state().selectable);
}

TEST_F(AccessibilityTest, NamesComeFromTheSkinTextsLabelsAndTooltips) {
  kbtest::RecordingWindow w{u"accessible.xml", u"NamedWindow"};
  ASSERT_TRUE(w.Open());
  struct Row {
    const char16_t* control;
    const char* name;
  } rows[] = {
      {u"title", "Warning"},       // language text of its key
      {u"close", "Close"},         // image only: the skin's accessible name
      {u"tipped", "Refresh"},      // no text: the tooltip
      {u"keyed", "Add"},           // resource text
      {u"off", "Off"},             // disabled, still named
      {u"tab1", "Keys"},           // an option announced as a page tab
      {u"field", "Profile name"},  // the label the skin points at
      {u"icon", "Keyboard picture"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(CDuiString(r.control).ToUtf8());
    QAccessibleInterface* o = Find(w, w.pm().FindControl(r.control));
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(Name(o), r.name);
  }
  EXPECT_EQ(Find(w, w.pm().FindControl(u"tab1"))->role(), QAccessible::PageTab);
  EXPECT_TRUE(Find(w, w.pm().FindControl(u"tab1"))->state().selected);
  EXPECT_TRUE(Find(w, w.pm().FindControl(u"off"))->state().disabled);
  EXPECT_EQ(Find(w, w.pm().FindControl(u"icon"))->role(), QAccessible::Graphic);
  // Hidden controls and boxes that show nothing are not in the tree.
  EXPECT_EQ(Find(w, w.pm().FindControl(u"gone")), nullptr);
  QAccessibleInterface* root = WindowObject(w)->child(0);
  EXPECT_EQ(root->childCount(), 4);
  // The window takes the title of its caption band.
  EXPECT_EQ(Name(WindowObject(w)), "Warning");
  // Shown, the window says its title again: a reader that asked at creation heard no title.
  EXPECT_EQ(updates, (Events{Update(QAccessible::NameChanged, "Warning")}));
  updates.clear();
  // A page names a key button by what it does now.
  CControlUI* key = w.pm().FindControl(u"close");
  key->SetAccessibleName(u"Left Ctrl");
  key->SetAccessibleDescription(u"changed: Ctrl+A");
  QAccessibleInterface* o = Find(w, key);
  EXPECT_EQ(Name(o), "Left Ctrl");
  EXPECT_EQ(o->text(QAccessible::Description).toStdString(), "changed: Ctrl+A");
  EXPECT_EQ(updates, (Events{Update(QAccessible::NameChanged, "Left Ctrl"),
                             Update(QAccessible::DescriptionChanged, "Left Ctrl")}));
}

// Press acts as a left click: the same notifications in the same order, focus moves included.
TEST_F(AccessibilityTest, PressActsAsAClick) {
  struct Row {
    const char16_t* control;
    int item;  // a row of the list or combo, or -1 for the control itself
  } rows[] = {{u"btn", -1}, {u"opt2", -1}, {u"chk", -1}, {u"list", 1}, {u"combo", -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(CDuiString(r.control).ToUtf8());
    for (auto* w : {&a, &b}) {
      w->Find<CControlUI>(u"edit1")->SetFocus();
      w->events.clear();
    }
    if (r.item >= 0)
      Testing::ClickListItem(a.Find<CListUI>(r.control), r.item);
    else
      Testing::Click(a.pm(), r.control);
    QAccessibleInterface* o = Find(b, b.pm().FindControl(r.control));
    ASSERT_NE(o, nullptr);
    if (r.item >= 0) o = o->child(r.item);
    ASSERT_NE(o->actionInterface(), nullptr);
    o->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The call returns first (a modal window opened by the press would hold the bus's reply).
    EXPECT_TRUE(b.events.empty());
    Testing::ProcessEvents();
    EXPECT_FALSE(a.events.empty());
    EXPECT_EQ(b.events, a.events);
  }
  EXPECT_TRUE(b.Find<CComboUI>(u"combo")->IsDropped());
  // The open drop-down is a list named as its combo, holding the combo's items.
  QAccessibleInterface* drop =
      QAccessible::queryAccessibleInterface(b.Find<CComboUI>(u"combo")->DropWindowForTesting());
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(drop->role(), QAccessible::List);
  EXPECT_EQ(Name(drop), "Profile");
  ASSERT_EQ(drop->childCount(), 3);
  EXPECT_EQ(drop->child(2), Find(b, b.pm().FindControl(u"combo"))->child(2));
  EXPECT_FALSE(drop->child(2)->rect().isEmpty());
  // A combo's item is picked as in its drop-down: it closes and the combo reports the choice.
  b.events.clear();
  Find(b, b.pm().FindControl(u"combo"))
      ->child(2)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  Testing::ProcessEvents();
  EXPECT_FALSE(b.Find<CComboUI>(u"combo")->IsDropped());
  EXPECT_EQ(b.events, Events{"itemselect:combo"});
  EXPECT_EQ(b.Find<CComboUI>(u"combo")->GetCurSel(), 2);
  // Disabled controls do nothing.
  b.Find<CControlUI>(u"btn")->SetEnabled(false);
  b.events.clear();
  Find(b, b.pm().FindControl(u"btn"))
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  Testing::ProcessEvents();
  EXPECT_TRUE(b.events.empty());
}

TEST_F(AccessibilityTest, SliderTakesAValueAsADragAndProgressOnlyShowsOne) {
  auto* slider = a.Find<CSliderUI>(u"slider");
  QAccessibleValueInterface* v = Of(u"slider")->valueInterface();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->minimumValue().toInt(), 0);
  EXPECT_EQ(v->maximumValue().toInt(), 255);
  EXPECT_EQ(v->currentValue().toInt(), 10);
  v->setCurrentValue(100);
  EXPECT_EQ(slider->GetValue(), 100);
  EXPECT_EQ(a.events, Events{"valuechanged:slider"});
  EXPECT_EQ(static_cast<int>(a.last.wParam), 100);
  v->setCurrentValue(999);  // clamped, as a drag past the end
  EXPECT_EQ(slider->GetValue(), 255);
  Of(u"slider")->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
  EXPECT_EQ(slider->GetValue(), 254);
  EXPECT_EQ(a.events.size(), 3u);
  ASSERT_FALSE(updates.empty());
  EXPECT_EQ(updates.back(), Update(QAccessible::ValueChanged, ""));
  slider->SetEnabled(false);
  v->setCurrentValue(5);
  EXPECT_EQ(slider->GetValue(), 254);

  QAccessibleValueInterface* p = Of(u"progress")->valueInterface();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->currentValue().toInt(), 30);
  EXPECT_EQ(p->maximumValue().toInt(), 100);
  p->setCurrentValue(80);
  EXPECT_EQ(a.Find<CProgressUI>(u"progress")->GetValue(), 30);
  EXPECT_EQ(a.events.size(), 3u);
}

TEST_F(AccessibilityTest, EditsShowAndTakeTextAsTyping) {
  auto* edit = a.Find<CEditUI>(u"edit1");
  edit->SetText(u"Game 1");
  QAccessibleInterface* o = Of(u"edit1");
  QAccessibleTextInterface* t = o->textInterface();
  QAccessibleEditableTextInterface* e = o->editableTextInterface();
  ASSERT_NE(t, nullptr);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(t->characterCount(), 6);
  EXPECT_EQ(t->text(0, 4).toStdString(), "Game");
  int s = 0, end = 0;
  EXPECT_EQ(t->textAtOffset(1, QAccessible::WordBoundary, &s, &end).toStdString(), "Game");
  EXPECT_EQ(t->textAfterOffset(1, QAccessible::WordBoundary, &s, &end).toStdString(), " ");
  EXPECT_EQ(t->cursorPosition(), 6);
  t->setSelection(0, 0, 4);
  EXPECT_EQ(t->selectionCount(), 1);
  e->replaceText(0, 4, "Race");
  EXPECT_EQ(edit->GetText(), CDuiString(u"Race 1"));
  e->insertText(6, "2");
  e->deleteText(0, 5);
  EXPECT_EQ(edit->GetText(), CDuiString(u"12"));
  EXPECT_EQ(a.events, (Events{"textchanged:edit1", "textchanged:edit1", "textchanged:edit1"}));
  // The field's own rules hold: length and number-only filters, read-only.
  edit->SetMaxChar(4);
  edit->SetNumberOnly(true);
  o->setText(QAccessible::Value, "1a2b3c4d5");
  EXPECT_EQ(edit->GetText(), CDuiString(u"1234"));
  edit->SetReadOnly(true);
  e->insertText(0, "9");
  EXPECT_EQ(edit->GetText(), CDuiString(u"1234"));
  EXPECT_TRUE(o->state().readOnly);
  EXPECT_EQ(a.events.size(), 4u);
  edit->SetPasswordMode(true);
  EXPECT_EQ(t->text(0, -1).toStdString(), "****");
  EXPECT_EQ(o->text(QAccessible::Value).toStdString(), "****");
}

TEST_F(AccessibilityTest, ChangesAreAnnounced) {
  // A screen reader has read the window.
  Walk(WindowObject(a), [](QAccessibleInterface*) {});
  struct Row {
    std::function<void()> change;
    std::string expected;
  } rows[] = {
      {[&] { Testing::PressKey(a.pm(), VK_TAB); }, Update(QAccessible::Focus, "Go")},
      {[&] { a.Find<CControlUI>(u"btn")->SetText(u"Apply"); },
       Update(QAccessible::NameChanged, "Apply")},
      {[&] { a.Find<CSliderUI>(u"slider")->SetValue(40); }, Update(QAccessible::ValueChanged, "")},
      {[&] { a.Find<CControlUI>(u"lbl")->SetVisible(false); },
       Update(QAccessible::ObjectHide, "label")},
      {[&] { a.Find<CControlUI>(u"lbl")->SetVisible(true); },
       Update(QAccessible::ObjectShow, "label")},
      {[&] { a.Find<CControlUI>(u"btn")->SetEnabled(false); },
       Update(QAccessible::StateChanged, "Apply")},
      {[&] { a.Find<CCheckBoxUI>(u"chk")->SetCheck(true); }, Update(QAccessible::StateChanged, "")},
      {[&] { a.Find<CEditUI>(u"edit1")->SetText(u"x"); }, Update(QAccessible::ValueChanged, "")},
      {[&] { a.Find<CListUI>(u"list")->SelectItem(2); }, Update(QAccessible::Selection, "Macro 2")},
      {[&] { a.Find<CComboUI>(u"combo")->SelectItem(1); },
       Update(QAccessible::NameChanged, "Profile")},
      {[&] { AddItem(a.Find<CListUI>(u"list"), u"Macro 3"); },
       Update(QAccessible::ObjectCreated, "Macro 3")},
      {[&] { a.Find<CListUI>(u"list")->RemoveAt(3); },
       Update(QAccessible::ObjectDestroyed, "Macro 3")},
      // The window coming back to the front leads the reader to its focused control.
      {[&] {
         a.Find<CControlUI>(u"edit1")->SetToolTip(u"Name");
         a.Find<CControlUI>(u"edit1")->SetFocus();
         QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
         QCoreApplication::sendEvent(a.NativeHostForTesting(), &in);
         updates.clear();
         Testing::ProcessEvents();
       },
       Update(QAccessible::Focus, "Name")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.expected);
    updates.clear();
    r.change();
    ASSERT_FALSE(updates.empty());
    EXPECT_EQ(updates.back(), r.expected);
  }
  // Tab moves through the focusable controls in layout order, and the window says where.
  std::vector<std::string> order;
  a.Find<CControlUI>(u"btn")->SetEnabled(true);
  a.pm().SetFocus(nullptr);
  for (int i = 0; i < 5; ++i) {
    Testing::PressKey(a.pm(), VK_TAB);
    auto* focus = dynamic_cast<internal::AccessibleControl*>(WindowObject(a)->focusChild());
    ASSERT_NE(focus, nullptr);
    order.push_back(focus->control()->GetName().ToUtf8());
  }
  EXPECT_EQ(order, (Events{"btn", "opt1", "opt2", "chk", "edit1"}));
}

TEST_F(AccessibilityTest, ObjectsOfDestroyedControlsAnswerAsInvalid) {
  auto* list = a.Find<CListUI>(u"list");
  QAccessibleInterface* row = Of(u"list")->child(0);
  const QAccessible::Id id = QAccessible::uniqueId(row);
  list->RemoveAt(0);
  Testing::ProcessEvents();
  EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
  EXPECT_EQ(Of(u"list")->childCount(), 2);
}

TEST(AccessibleMenu, AMenuIsAWindowOfItsOwn) {
  kbtest::RecordingWindow main{u"controls.xml"};
  ASSERT_TRUE(main.Open());
  CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu.xml", {100, 100}, &main.pm());
  ASSERT_NE(menu, nullptr);
  QAccessibleInterface* win = WindowObject(*menu);
  EXPECT_EQ(win->role(), QAccessible::Window);
  QAccessibleInterface* root = win->child(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->role(), QAccessible::PopupMenu);
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_EQ(root->child(0)->role(), QAccessible::MenuItem);
  EXPECT_EQ(Name(root->child(0)), "Add");
  EXPECT_EQ(root->child(1)->role(), QAccessible::Separator);
  menu->ResponseDefaultKeyEvent(VK_DOWN);
  EXPECT_EQ(win->focusChild(), root->child(0));
  // Pressing an item chooses it as a click does: the main window gets the command.
  root->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  Testing::ProcessEvents();
  ASSERT_EQ(main.messages.size(), 1u);
  EXPECT_EQ(main.messages[0].msg, WM_MENUCLICK);
  auto* cmd = reinterpret_cast<MenuCmd*>(main.messages[0].w);
  EXPECT_EQ(CDuiString(cmd->szName), CDuiString(u"kb_3_profile_del"));
  CPaintManagerUI::DeletePtr(cmd);
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
}

// An item that opens a submenu says so, and pressing it opens the submenu instead of choosing.
TEST(AccessibleMenu, AnItemWithASubmenuHasAPopupAndPressingItOpensIt) {
  kbtest::RecordingWindow main{u"controls.xml"};
  ASSERT_TRUE(main.Open());
  CMenuWnd* menu = CMenuWnd::CreateMenu(u"menu_parent.xml", {100, 100}, &main.pm());
  ASSERT_NE(menu, nullptr);
  QAccessibleInterface* root = WindowObject(*menu)->child(0);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->childCount(), 3);
  EXPECT_FALSE(root->child(0)->state().hasPopup);
  QAccessibleInterface* more = root->child(2);
  EXPECT_EQ(Name(more), "More");
  EXPECT_TRUE(more->state().hasPopup);
  more->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  Testing::ProcessEvents();
  EXPECT_TRUE(main.messages.empty());
  ASSERT_NE(menu->GetOpenSubmenu(), nullptr);
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), menu->GetOpenSubmenu());
  menu->Close(0);
  Testing::ProcessEvents();
  EXPECT_EQ(CMenuWnd::GetTopMenuForTesting(), nullptr);
}

// Every layout of the skin that can be built on its own: each control a user works with has a
// name. Texts the program sets at run time (a dialog's title and prompt) are stood in for.
TEST(AccessibleSkin, EveryInteractiveControlOfEveryLayoutHasAName) {
  const std::filesystem::path res = KB_RES_DIR;
  CPaintManagerUI::SetResourcePath(CDuiString(res.string()));
  ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(u"text.xml").ok());
  int layouts = 0, checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(res)) {
    if (entry.path().extension() != ".xml" || entry.path().parent_path() == res / "skins") continue;
    const std::string rel = std::filesystem::relative(entry.path(), res).string();
    if (rel == "text.xml" || rel == "theme.xml") continue;
    SCOPED_TRACE(rel);
    std::unique_ptr<kbtest::RecordingWindow> window;
    CWindowWnd* shown = nullptr;
    CMenuWnd* menu = CMenuWnd::CreateMenu(CDuiString(rel), {50, 50}, nullptr);
    if (menu) {
      shown = menu;
    } else {
      window = std::make_unique<kbtest::RecordingWindow>(CDuiString(rel), u"SkinWalk");
      window->Create(nullptr, u"SkinWalk", UI_WNDSTYLE_DIALOG, WS_EX_TOOLWINDOW);
      ASSERT_TRUE(window->IsLayoutBuilt()) << window->LayoutStatus().reason();
      window->pm().GetRoot()->ForEach(
          [](CControlUI* c, void*) {
            if (c->IsResourceText() && c->GetText().IsEmpty() && c->GetInterface(u"Label") &&
                !c->GetInterface(u"Button"))
              c->SetText(u"warning_1_text");
          },
          nullptr);
      shown = window.get();
    }
    ++layouts;
    checked += CountInteractive(*shown);
    EXPECT_EQ(NamelessControls(*shown), Events{});
    EXPECT_FALSE(Name(WindowObject(*shown)).empty());
    if (menu) menu->Close(0);
    window.reset();
    Testing::ProcessEvents();
  }
  EXPECT_GE(layouts, 5);
  EXPECT_GE(checked, 15);
  // The check sees a nameless control: the test layout's options and edits have no names.
  kbtest::RecordingWindow bare{u"controls.xml"};
  ASSERT_TRUE(bare.Open());
  EXPECT_EQ(NamelessControls(bare), (Events{"opt1", "opt2", "chk", "edit1", "edit2", "slider",
                                            "palette", "combo", "list"}));
}

}  // namespace
