// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CComboUI: a drop-down list. Its items (CListLabelElementUI) are shown in a popup drawn by the
// library; the closed combo shows the selected item's text.

#include "ui/list.h"

namespace DuiLib {

namespace internal {
class ComboDropWindow;
}

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;
  CDuiString GetClass() const override { return u"ComboUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool TakesFocus() const override { return IsEnabled(); }

  const TListInfoUI& GetListInfo() const override { return m_info; }
  int GetCurSel() const override { return m_iCurSel; }
  bool SelectItem(int index, bool trigger_event = false, bool take_focus = false) override;
  bool IsItemHot(const CControlUI* item) const override;
  // The text of the selected item (empty without a selection).
  CDuiString GetText() const override;

  // Same rules as CListUI: removing the selected item selects the item that took its place (or
  // the new last one) and raises "itemselect"; an emptied combo raises it with -1.
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool do_not_destroy = false) override;
  bool RemoveAt(int index, bool do_not_destroy = false) override;
  void RemoveAll() override;

  // A short text in the "notetextcolor" drawn after the selected item's text, inside the box (for
  // example what chose the item); it is no item and the drop-down does not show it. Empty: none.
  // What a screen reader should hear of it is the caller's to put in the accessible description.
  void SetNote(const CDuiString& note);
  const CDuiString& GetNote() const { return m_sNote; }

  // Opens or closes the drop-down (a user click does the same).
  void Activate(bool open);
  bool Activate() override;
  bool IsDropped() const;
  internal::ComboDropWindow* DropWindowForTesting() const { return m_pDrop; }
  // Drop-down height limit in pixels ("dropboxsize" attribute: width,height; 0 = as the combo).
  SIZE GetDropBoxSize() const { return m_szDropBox; }

  void SetPos(RECT rc) override;
  CControlUI* FindControlAt(POINT pt) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;
  void SetEnabled(bool enabled = true) override;

 protected:
  friend class internal::ComboDropWindow;
  bool HidesChildNames() const override { return true; }
  void PaintStatusImage(CPaintContext& ctx) override;
  void PaintText(CPaintContext& ctx) override;
  void PaintItems(CPaintContext&, const RECT&) override {}

  TListInfoUI m_info;
  int m_iCurSel = -1;
  internal::ComboDropWindow* m_pDrop = nullptr;
  SIZE m_szDropBox{0, 150};
  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sPushedImage;
  CDuiString m_sDisabledImage;
  CDuiString m_sNote;
  DWORD m_dwTextColor = 0xFF000000;
  DWORD m_dwNoteColor = 0xFF808080;
  DWORD m_dwDropBkColor = 0xFFFFFFFF;
  DWORD m_dwDropBorderColor = 0xFF808080;
  RECT m_rcTextPadding{4, 0, 20, 0};
  bool m_bHot = false;
};

}  // namespace DuiLib
