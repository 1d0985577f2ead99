// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CProgressUI shows a value between a minimum and a maximum; CSliderUI lets the user set it by
// dragging or clicking its track, the wheel or the arrow keys, raising "valuechanged" after
// every change the user makes. SetValue raises nothing.

#include "ui/label.h"

namespace DuiLib {
namespace internal {
class AccessibleRange;
}

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  CDuiString GetClass() const override { return u"ProgressUI"; }
  void* GetInterface(const CDuiString& name) override;

  int GetMinValue() const { return m_nMin; }
  int GetMaxValue() const { return m_nMax; }
  void SetMinValue(int min);
  void SetMaxValue(int max);
  int GetValue() const { return m_nValue; }
  // Clamped into [min, max].
  void SetValue(int value);
  bool IsHorizontal() const { return m_bHorizontal; }
  void SetHorizontal(bool horizontal);

  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  void PaintStatusImage(CPaintContext& ctx) override;
  RECT ForeRect() const;

  int m_nMin = 0;
  int m_nMax = 100;
  int m_nValue = 0;
  bool m_bHorizontal = true;
  CDuiString m_sForeImage;
  DWORD m_dwForeColor = 0xFF3A8EE6;
};

class CSliderUI : public CProgressUI {
 public:
  CSliderUI();
  CDuiString GetClass() const override { return u"SliderUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool TakesFocus() const override { return IsEnabled(); }

  int GetChangeStep() const { return m_nStep; }
  void SetChangeStep(int step);
  SIZE GetThumbSize() const { return m_szThumb; }
  RECT GetThumbRect() const;
  // A ring around the thumb, clear of it: around the whole track it would cover the bar.
  RECT GetFocusRingRect(int& corner_radius) const override;

  void DoEvent(TEventUI& event) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  // Assistive technologies set the value as a drag does.
  friend class internal::AccessibleRange;
  void PaintStatusImage(CPaintContext& ctx) override;
  int ValueAt(POINT pt) const;
  void UserSetValue(int value);

  int m_nStep = 1;
  SIZE m_szThumb{10, 10};
  CDuiString m_sThumbImage;
  CDuiString m_sThumbHotImage;
  CDuiString m_sThumbPushedImage;
  DWORD m_dwThumbColor = 0xFFE6E8EB;
  bool m_bDragging = false;
  bool m_bHot = false;
};

}  // namespace DuiLib
