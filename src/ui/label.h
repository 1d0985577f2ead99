// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CLabelUI: text (literal or, in resource-text mode, a language key) with colour, font and
// alignment. CTextUI is the same control under its second element name.

#include "ui/control.h"

namespace DuiLib {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  CDuiString GetClass() const override { return u"LabelUI"; }
  void* GetInterface(const CDuiString& name) override;

  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetTextColor(DWORD argb);
  DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
  void SetDisabledTextColor(DWORD argb);
  RECT GetTextPadding() const { return m_rcTextPadding; }
  void SetTextPadding(RECT rc);
  // internal::TextStyle bits.
  unsigned GetTextStyle() const { return m_uTextStyle; }
  void SetTextStyle(unsigned style);

  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

  // The height the shown text takes at the control's present width (its text padding
  // included), broken into lines as it is drawn; for a window that grows to show all of it.
  int MeasureTextHeight() const;

 protected:
  void PaintText(CPaintContext& ctx) override;
  DWORD CurrentTextColor() const;

  DWORD m_dwTextColor = 0xFF000000;
  DWORD m_dwDisabledTextColor = 0xFF808080;
  RECT m_rcTextPadding;
  unsigned m_uTextStyle;
};

class CTextUI : public CLabelUI {
 public:
  CDuiString GetClass() const override { return u"TextUI"; }
};

}  // namespace DuiLib
