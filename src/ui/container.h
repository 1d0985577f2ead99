// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Containers and layouts. A container owns its items and deletes them with itself.
// CContainerUI stacks every item over its whole inner area (fixed sizes place an item at the
// top left); the layouts place items one after another; CTabLayoutUI shows one item.

#include <vector>

#include "ui/control.h"

namespace DuiLib {

class CContainerUI : public CControlUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  CDuiString GetClass() const override { return u"ContainerUI"; }
  void* GetInterface(const CDuiString& name) override;

  virtual CControlUI* GetItemAt(int index) const;
  virtual int GetItemIndex(CControlUI* control) const;
  virtual bool SetItemIndex(CControlUI* control, int index);
  virtual int GetCount() const;
  // Takes ownership. Items added to a container that is part of a window join it at once
  // (names registered, DoInit run).
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Deletes the item unless `do_not_destroy` (then the caller owns it again).
  virtual bool Remove(CControlUI* control, bool do_not_destroy = false);
  virtual bool RemoveAt(int index, bool do_not_destroy = false);
  virtual void RemoveAll();

  // The first descendant with that name (searching item subtrees too), or null.
  CControlUI* FindSubControl(const CDuiString& name) const;

  RECT GetInset() const { return m_rcInset; }
  void SetInset(RECT rc);
  int GetChildPadding() const { return m_iChildPadding; }
  void SetChildPadding(int padding);
  // A focus group ("focusgroup" attribute) is one stop of Tab however many focusable controls
  // it holds: Tab lands on the one that had the focus last (else the first), and the arrow keys
  // move the focus among them by their position.
  bool IsFocusGroup() const { return m_bFocusGroup; }
  void SetFocusGroup(bool group) { m_bFocusGroup = group; }

  void SetPos(RECT rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  CControlUI* FindControlAt(POINT pt) override;
  void ForEach(void (*fn)(CControlUI*, void*), void* data) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;
  void DoPaint(CPaintContext& ctx, const RECT& dirty) override;

 protected:
  // Places a floating item by its "pos" relative to this container's top left.
  void SetFloatPos(int index);
  // Lays the children out one after another, top to bottom or left to right.
  void StackItems(RECT rc, bool vertical);
  RECT InnerRect() const;
  void DetachItem(CControlUI* control, bool destroy);
  virtual void PaintItems(CPaintContext& ctx, const RECT& dirty);

  std::vector<CControlUI*> m_items;
  RECT m_rcInset;
  int m_iChildPadding = 0;
  bool m_bFocusGroup = false;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  CDuiString GetClass() const override { return u"VerticalLayoutUI"; }
  void* GetInterface(const CDuiString& name) override;
  void SetPos(RECT rc) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  CDuiString GetClass() const override { return u"HorizontalLayoutUI"; }
  void* GetInterface(const CDuiString& name) override;
  void SetPos(RECT rc) override;
};

class CTabLayoutUI : public CContainerUI {
 public:
  CDuiString GetClass() const override { return u"TabLayoutUI"; }
  void* GetInterface(const CDuiString& name) override;

  int GetCurSel() const { return m_iCurSel; }
  // Shows item `index` and hides the others; raises no notification. False when out of range.
  bool SelectItem(int index);
  bool SelectItem(CControlUI* control);

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool do_not_destroy = false) override;
  void RemoveAll() override;
  void SetPos(RECT rc) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;
  void DoInit() override;

 private:
  int m_iCurSel = -1;
  int m_iInitSel = 0;
};

}  // namespace DuiLib
