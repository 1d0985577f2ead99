// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What combo boxes and lists share about the items they own: each item knows its owner and its
// index, and the selection follows its item while others come and go. `Base` is the container
// class the owner derives from, which holds the items.

#include <algorithm>

#include "ui/container.h"
#include "ui/list.h"
#include "ui/ui_messages.h"

namespace DuiLib::internal {

// The control as a list item (a plain or container list element), or null.
IListItemUI* AsListItem(CControlUI* control);

inline void RenumberItems(CContainerUI& owner, int from) {
  for (int i = std::max(0, from); i < owner.GetCount(); ++i)
    if (IListItemUI* item = AsListItem(owner.GetItemAt(i))) item->SetIndex(i);
}

template <class Base, class Owner>
bool InsertOwnedItem(Owner& owner, int& cur_sel, CControlUI* control, int index) {
  IListItemUI* item = AsListItem(control);
  if (!item || !owner.Base::AddAt(control, index)) return false;
  item->SetOwner(&owner);
  RenumberItems(owner, index);
  if (cur_sel >= index && index < owner.GetCount() - 1) ++cur_sel;
  return true;
}

// Removing the selected item selects the one that took its place (or the new last one) and
// raises "itemselect"; removing the last remaining one raises it with -1.
template <class Base, class Owner>
bool RemoveOwnedItem(Owner& owner, int& cur_sel, int index, bool do_not_destroy) {
  CControlUI* control = owner.GetItemAt(index);
  if (!control) return false;
  if (IListItemUI* item = AsListItem(control)) {
    item->SetOwner(nullptr);
    item->SetSelectedState(false);
  }
  const int old = cur_sel;
  if (!owner.Base::RemoveAt(index, do_not_destroy)) return false;
  RenumberItems(owner, index);
  if (old == index) {
    cur_sel = -1;
    const int next = std::min(index, owner.GetCount() - 1);
    if (next >= 0)
      owner.SelectItem(next, true);
    else
      owner.SendNotify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(-1), old);
  } else if (old > index) {
    cur_sel = old - 1;
  }
  return true;
}

}  // namespace DuiLib::internal
