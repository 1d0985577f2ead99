// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "recording_window.h"
#include "ui/combo.h"
#include "ui/list.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;
using Events = std::vector<std::string>;

namespace {

template <class T>
CListLabelElementUI* AddItem(T* owner, const CDuiString& text) {
  auto* item = new CListLabelElementUI;
  item->SetText(text);
  item->SetFixedHeight(20);
  owner->Add(item);
  return item;
}

class ListComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w.Open());
    combo = w.Find<CComboUI>(u"combo");
    list = w.Find<CListUI>(u"list");
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(list, nullptr);
  }
  kbtest::RecordingWindow w{u"controls.xml"};
  CComboUI* combo = nullptr;
  CListUI* list = nullptr;
};

TEST_F(ListComboTest, SelectItemRaisesItemSelectOnlyWhenAsked) {
  for (IListOwnerUI* owner :
       {static_cast<IListOwnerUI*>(combo), static_cast<IListOwnerUI*>(list)}) {
    CContainerUI* c = dynamic_cast<CContainerUI*>(owner);
    for (auto* t : {u"a", u"b", u"c"}) {
      auto* item = new CListLabelElementUI;
      item->SetText(t);
      c->Add(item);
    }
    w.events.clear();
    EXPECT_TRUE(owner->SelectItem(1, false));
    EXPECT_EQ(owner->GetCurSel(), 1);
    EXPECT_TRUE(w.events.empty());
    EXPECT_TRUE(owner->SelectItem(2, true));
    ASSERT_EQ(w.events.size(), 1u);
    EXPECT_EQ(w.events[0], "itemselect:" + c->GetName().ToUtf8());
    EXPECT_EQ(static_cast<int>(w.last.wParam), 2);
    EXPECT_EQ(static_cast<int>(w.last.lParam), 1);
    EXPECT_TRUE(owner->SelectItem(2, true));
    EXPECT_EQ(w.events.size(), 1u);
    EXPECT_FALSE(owner->SelectItem(3, true));
    EXPECT_EQ(owner->GetCurSel(), 2);
    EXPECT_TRUE(owner->SelectItem(-1, false));
    EXPECT_EQ(owner->GetCurSel(), -1);
  }
}

struct RemovalCase {
  int count;
  int selected;
  int removed;
  int new_selection;
  const char16_t* new_text;  // text of the selected item afterwards
  bool raises;
};

const RemovalCase kRemovals[] = {
    {3, 1, 1, 1, u"item2", true},  // the item that took its place
    {3, 2, 2, 1, u"item1", true},  // the new last item
    {3, 0, 0, 0, u"item1", true},
    {3, 2, 0, 1, u"item2", false},   // an item before the selection: same item, new index
    {3, 0, 2, 0, u"item0", false},   // an item after it
    {1, 0, 0, -1, nullptr, true},    // emptied
    {3, -1, 1, -1, nullptr, false},  // nothing selected
};

template <class Owner>
void CheckRemovals(kbtest::RecordingWindow& w, Owner* owner) {
  for (const auto& c : kRemovals) {
    owner->RemoveAll();
    for (int i = 0; i < c.count; ++i) AddItem(owner, CDuiString::Formatted(u"item%d", i));
    owner->SelectItem(c.selected, false);
    w.events.clear();
    ASSERT_TRUE(owner->RemoveAt(c.removed));
    std::string what =
        "selected " + std::to_string(c.selected) + " removed " + std::to_string(c.removed);
    EXPECT_EQ(owner->GetCurSel(), c.new_selection) << what;
    if (c.new_text) {
      ASSERT_NE(owner->GetItemAt(c.new_selection), nullptr);
      EXPECT_EQ(owner->GetItemAt(c.new_selection)->GetText(), CDuiString(c.new_text)) << what;
      EXPECT_TRUE(dynamic_cast<IListItemUI*>(owner->GetItemAt(c.new_selection))->IsSelected())
          << what;
    }
    if (c.raises) {
      ASSERT_EQ(w.events, (Events{"itemselect:" + owner->GetName().ToUtf8()})) << what;
      EXPECT_EQ(static_cast<int>(w.last.wParam), c.new_selection) << what;
    } else {
      EXPECT_TRUE(w.events.empty()) << what;
    }
    for (int i = 0; i < owner->GetCount(); ++i)
      EXPECT_EQ(dynamic_cast<IListItemUI*>(owner->GetItemAt(i))->GetIndex(), i) << what;
  }
}

TEST_F(ListComboTest, RemovingTheSelectedComboItemSelectsANeighbour) { CheckRemovals(w, combo); }
TEST_F(ListComboTest, RemovingTheSelectedListItemSelectsANeighbour) { CheckRemovals(w, list); }

TEST_F(ListComboTest, RemoveAllClearsTheSelectionSilently) {
  AddItem(list, u"x");
  list->SelectItem(0);
  w.events.clear();
  list->RemoveAll();
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_TRUE(w.events.empty());
}

TEST_F(ListComboTest, InsertingBeforeTheSelectionKeepsTheSelectedItem) {
  AddItem(combo, u"a");
  AddItem(combo, u"b");
  combo->SelectItem(1);
  auto* item = new CListLabelElementUI;
  item->SetText(u"first");
  combo->AddAt(item, 0);
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(combo->GetText(), CDuiString(u"b"));
}

TEST_F(ListComboTest, UserChoosesAComboItemFromTheDropDown) {
  for (auto* t : {u"p0", u"p1", u"p2"}) AddItem(combo, t);
  combo->SelectItem(0);
  w.events.clear();
  ASSERT_TRUE(Testing::SelectComboItem(combo, 2));
  EXPECT_FALSE(combo->IsDropped());
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(combo->GetText(), CDuiString(u"p2"));
  Events want{"setfocus:combo", "itemselect:combo"};
  EXPECT_EQ(w.events, want);
  EXPECT_EQ(static_cast<int>(w.last.wParam), 2);
  w.events.clear();
  Testing::PressKey(w.pm(), VK_UP);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(w.events, (Events{"itemselect:combo"}));
  Testing::ProcessEvents();
}

TEST_F(ListComboTest, UserClicksAndKeysSelectListRows) {
  for (int i = 0; i < 5; ++i) AddItem(list, CDuiString::Formatted(u"row%d", i));
  w.events.clear();
  ASSERT_TRUE(Testing::ClickListItem(list, 3));
  EXPECT_EQ(list->GetCurSel(), 3);
  EXPECT_EQ(w.events, (Events{"setfocus:list", "itemselect:list"}));
  w.events.clear();
  Testing::PressKey(w.pm(), VK_DOWN);
  EXPECT_EQ(list->GetCurSel(), 4);
  Testing::PressKey(w.pm(), VK_DOWN);
  EXPECT_EQ(list->GetCurSel(), 4);
  EXPECT_EQ(w.events, (Events{"itemselect:list"}));
}

TEST_F(ListComboTest, RowsBuiltFromARowLayoutAreVirtualised) {
  constexpr int kRows = 3000;
  for (int i = 0; i < kRows; ++i) {
    CDialogBuilder builder;
    CControlUI* row = builder.Create(u"KB/KB_3/macrolistitem.xml", {}, nullptr, &w.pm());
    ASSERT_NE(row, nullptr) << builder.GetLastStatus().reason();
    row->SetFixedHeight(23);
    ASSERT_TRUE(list->Add(row));
    auto* r = dynamic_cast<CListContainerElementUI*>(row);
    r->FindSubControl(u"key")->SetText(u"key_A");
    r->FindSubControl(u"key")->SetBkImage(u"res='skins/swatch.png' dest='5,2,21,20'");
    r->FindSubControl(u"delay")->SetText(CDuiString::Formatted(u"%d", i));
  }
  EXPECT_EQ(list->GetCount(), kRows);
  EXPECT_EQ(w.pm().FindControl(u"key"), nullptr);
  w.pm().UpdateLayout();
  auto [first, last] = list->VisibleRange();
  EXPECT_EQ(first, 0);
  EXPECT_LE(last - first, list->GetHeight() / 23 + 1);
  EXPECT_EQ(list->GetContentHeight(), kRows * 23);
  auto* row0 = dynamic_cast<CListContainerElementUI*>(list->GetItemAt(0));
  EXPECT_EQ(row0->FindSubControl(u"key")->GetShownText(), CDuiString(u"A"));
  EXPECT_EQ(row0->FindSubControl(u"key")->GetPos().Width(), 120);
  w.events.clear();
  ASSERT_TRUE(list->SelectItem(kRows - 1, true));
  w.pm().UpdateLayout();
  std::tie(first, last) = list->VisibleRange();
  EXPECT_EQ(last, kRows);
  EXPECT_GT(first, kRows - 20);
  EXPECT_EQ(w.events, (Events{"itemselect:list"}));
  ASSERT_TRUE(Testing::ClickListItem(list, kRows - 2));
  EXPECT_EQ(list->GetCurSel(), kRows - 2);
  Testing::Wheel(list, 120);
  EXPECT_LT(list->GetScrollPos(), (kRows - 2) * 23);
}

TEST_F(ListComboTest, RowsRemovedByANotificationHandlerDieAfterTheEvent) {
  for (int i = 0; i < 4; ++i) AddItem(list, CDuiString::Formatted(u"row%d", i));
  int rebuilt = 0;
  w.on_notify = [&](TNotifyUI& msg) {
    if (msg.sType != u"itemselect" || rebuilt++ > 0) return;
    list->RemoveAll();
    for (int i = 0; i < 2; ++i) AddItem(list, CDuiString::Formatted(u"new%d", i));
  };
  ASSERT_TRUE(Testing::ClickListItem(list, 2));
  EXPECT_EQ(list->GetCount(), 2);
  EXPECT_EQ(list->GetItemAt(1)->GetText(), CDuiString(u"new1"));
}

TEST(ListLayoutTest, ARowSelectedBeforeTheFirstLayoutScrollsOnlyAsFarAsNeeded) {
  kbtest::UseTestSkin();
  CPaintManagerUI pm;
  pm.Init(nullptr);
  pm.SetClientSize({100, 100});
  CDialogBuilder builder;
  auto* list =
      dynamic_cast<CListUI*>(builder.CreateFromString(R"(<List itemheight="20"/>)", nullptr, &pm));
  ASSERT_NE(list, nullptr);
  pm.AttachDialog(list);
  for (int i = 0; i < 30; ++i) AddItem(list, CDuiString::Formatted(u"row%d", i));
  list->SelectItem(2);
  pm.UpdateLayout();
  EXPECT_EQ(list->GetScrollPos(), 0);
  list->SelectItem(9);
  pm.UpdateLayout();
  EXPECT_EQ(list->GetScrollPos(), 100);
  EXPECT_EQ(list->GetItemAt(9)->GetPos(), (RECT{0, 80, 92, 100}));
}

}  // namespace
