// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CListUI and its rows. A list draws its rows itself and lays out and paints only the rows in
// view, so rebuilding thousands of rows stays cheap. Rows are CListLabelElementUI (one text)
// or CListContainerElementUI (children laid out left to right, built from a row layout).

#include <vector>

#include "ui/container.h"

namespace DuiLib {

// How a list or combo draws its items.
struct TListInfoUI {
  CDuiString font;
  DWORD textcolor = 0xFF000000;
  DWORD bkcolor = 0;
  DWORD selectedtextcolor = 0;
  DWORD selectedbkcolor = 0xFFC1E3FF;
  DWORD hottextcolor = 0;
  DWORD hotbkcolor = 0xFFE9F5FF;
  DWORD disabledtextcolor = 0xFF808080;
  RECT textpadding{4, 0, 4, 0};
  unsigned textstyle = 0;  // internal::TextStyle bits; 0 = left, vertically centred
  int itemheight = 22;     // rows without a height of their own
  // Applies an item* attribute ("itemtextcolor" ...); false when `name` is not one.
  bool SetAttribute(const CDuiString& name, const CDuiString& value,
                    const class CPaintManagerUI* pm);
};

class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual const TListInfoUI& GetListInfo() const = 0;
  virtual int GetCurSel() const = 0;
  // Selects item `index` (-1: none). With `trigger_event`, raises "itemselect" (wParam = new
  // index, lParam = old index) when the selection changed. False when out of range.
  virtual bool SelectItem(int index, bool trigger_event = false, bool take_focus = false) = 0;
  virtual bool IsItemHot(const CControlUI* item) const = 0;
};

class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  int GetIndex() const { return m_iIndex; }
  void SetIndex(int index) { m_iIndex = index; }
  IListOwnerUI* GetOwner() const { return m_pOwner; }
  void SetOwner(IListOwnerUI* owner) { m_pOwner = owner; }
  bool IsSelected() const { return m_bSelected; }
  virtual void SetSelectedState(bool selected) { m_bSelected = selected; }
  // Selects this item through its owner with a notification (as a user click does).
  bool Select(bool trigger_event = true);

 protected:
  int m_iIndex = -1;
  IListOwnerUI* m_pOwner = nullptr;
  bool m_bSelected = false;
};

// A row that shows its text in the owner's item style.
class CListElementUI : public CControlUI, public IListItemUI {
 public:
  CDuiString GetClass() const override { return u"ListElementUI"; }
  void* GetInterface(const CDuiString& name) override;
  void SetSelectedState(bool selected) override;
  void DoEvent(TEventUI& event) override;

 protected:
  void PaintBkColor(CPaintContext& ctx) override;
  void PaintText(CPaintContext& ctx) override;
};

class CListLabelElementUI : public CListElementUI {
 public:
  CDuiString GetClass() const override { return u"ListLabelElementUI"; }
  void* GetInterface(const CDuiString& name) override;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  CDuiString GetClass() const override { return u"ListContainerElementUI"; }
  void* GetInterface(const CDuiString& name) override;
  void SetSelectedState(bool selected) override;
  void DoEvent(TEventUI& event) override;
  // Clicks anywhere on the row select it; only buttons inside the row keep their own clicks.
  CControlUI* FindControlAt(POINT pt) override;

 protected:
  void PaintBkColor(CPaintContext& ctx) override;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
 public:
  CListUI();
  CDuiString GetClass() const override { return u"ListUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool TakesFocus() const override { return IsEnabled(); }

  const TListInfoUI& GetListInfo() const override { return m_info; }
  TListInfoUI& ListInfo() { return m_info; }
  int GetCurSel() const override { return m_iCurSel; }
  bool SelectItem(int index, bool trigger_event = false, bool take_focus = false) override;
  bool IsItemHot(const CControlUI* item) const override;

  // Items must be list items (CListLabelElementUI, CListContainerElementUI). Removing the
  // selected item selects the item that took its place (or the new last one) and raises
  // "itemselect"; an emptied list raises it with -1. RemoveAll clears the selection silently.
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool do_not_destroy = false) override;
  bool RemoveAt(int index, bool do_not_destroy = false) override;
  void RemoveAll() override;

  // Scrolling: rows are placed at their offset minus the scroll position.
  int GetScrollPos() const { return m_iScrollY; }
  void SetScrollPos(int y);
  int GetContentHeight() const;
  void EnsureVisible(int index);
  // Scrolls to the end of the list.
  void EndDown();
  // The rows currently laid out and painted [first, last).
  std::pair<int, int> VisibleRange() const { return {m_iFirstVisible, m_iLastVisible}; }

  void SetPos(RECT rc) override;
  CControlUI* FindControlAt(POINT pt) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  bool HidesChildNames() const override { return true; }
  void PaintItems(CPaintContext& ctx, const RECT& dirty) override;
  void ComputeOffsets() const;
  int RowHeight(CControlUI* item) const;
  void ScrollbarGeometry(RECT& track, RECT& thumb) const;

  TListInfoUI m_info;
  int m_iCurSel = -1;
  int m_iScrollY = 0;
  int m_iPendingEnsure = -1;  // a row to bring into view once the list has a size
  int m_iFirstVisible = 0;
  int m_iLastVisible = 0;
  int m_iScrollbarWidth = 8;
  DWORD m_dwScrollTrackColor = 0x30FFFFFF;
  DWORD m_dwScrollThumbColor = 0x90FFFFFF;
  bool m_bDraggingThumb = false;
  int m_iDragStartY = 0;
  int m_iDragStartScroll = 0;
  mutable std::vector<int> m_offsets;
};

}  // namespace DuiLib
