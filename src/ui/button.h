// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CButtonUI raises "click" when released over itself (or on Space/Enter while focused).
// COptionUI and CCheckBoxUI keep a selected state; see src/ui/README.md for which
// notifications a user click raises.

#include "ui/label.h"

namespace DuiLib {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  CDuiString GetClass() const override { return u"ButtonUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool TakesFocus() const override { return IsKeyboardEnabled(); }

  bool Activate() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;
  void SetEnabled(bool enabled = true) override;

  void SetNormalImage(const CDuiString& image);
  const CDuiString& GetNormalImage() const { return m_sNormalImage; }
  void SetHotImage(const CDuiString& image);
  void SetPushedImage(const CDuiString& image);
  void SetDisabledImage(const CDuiString& image);
  bool IsHot() const { return m_bHot; }
  bool IsPushed() const { return m_bPushed; }

 protected:
  void PaintStatusImage(CPaintContext& ctx) override;
  void PaintBkColor(CPaintContext& ctx) override;
  void PaintText(CPaintContext& ctx) override;

  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sPushedImage;
  CDuiString m_sFocusedImage;
  CDuiString m_sDisabledImage;
  DWORD m_dwHotTextColor = 0;
  DWORD m_dwPushedTextColor = 0;
  DWORD m_dwHotBkColor = 0;
  DWORD m_dwPushedBkColor = 0;
  bool m_bHot = false;
  bool m_bPushed = false;
  bool m_bPressInside = false;
};

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  CDuiString GetClass() const override { return u"OptionUI"; }
  void* GetInterface(const CDuiString& name) override;

  bool IsSelected() const { return m_bSelected; }
  // Changes the state; with `trigger_event` raises "selectchanged" as a user click would.
  // Selecting an option of a group unselects the others (they raise nothing).
  virtual void Selected(bool selected, bool trigger_event = false);
  const CDuiString& GetGroup() const { return m_sGroupName; }
  void SetGroup(const CDuiString& group);

  bool Activate() override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  void PaintStatusImage(CPaintContext& ctx) override;
  void PaintBkColor(CPaintContext& ctx) override;
  void PaintText(CPaintContext& ctx) override;

  bool m_bSelected = false;
  CDuiString m_sGroupName;
  CDuiString m_sSelectedImage;
  CDuiString m_sSelectedHotImage;
  DWORD m_dwSelectedTextColor = 0;
  DWORD m_dwSelectedBkColor = 0;
};

class CCheckBoxUI : public COptionUI {
 public:
  CDuiString GetClass() const override { return u"CheckBoxUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool GetCheck() const { return IsSelected(); }
  void SetCheck(bool check, bool trigger_event = false) { Selected(check, trigger_event); }
  // A user click: "click", "selectchanged", then "checkclick".
  bool Activate() override;
};

}  // namespace DuiLib
