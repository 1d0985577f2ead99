// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CColorPaletteUI: a colour field (hue across, saturation down) above a brightness bar. A
// press or drag in either raises "colorchanged"; SetSelectColor raises nothing.

#include "ui/control.h"

namespace DuiLib {

class CColorPaletteUI : public CControlUI {
 public:
  CDuiString GetClass() const override { return u"ColorPaletteUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool TakesFocus() const override { return IsEnabled(); }

  // 0xFFRRGGBB; what SetSelectColor set comes back unchanged (made opaque).
  DWORD GetSelectColor() const;
  void SetSelectColor(DWORD argb);
  int GetPalletHeight() const { return m_nPalletHeight; }
  int GetBarHeight() const { return m_nBarHeight; }
  // Where the field and the bar are (for tests and the skin).
  RECT GetPalletRect() const;
  RECT GetBarRect() const;

  void DoEvent(TEventUI& event) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  void PaintStatusImage(CPaintContext& ctx) override;
  void PickAt(POINT pt);

  int m_nPalletHeight = 0;  // 0: all but the bar
  int m_nBarHeight = 12;
  int m_nGap = 4;
  // Hue 0..359, saturation and brightness 0..255.
  int m_nHue = 0;
  int m_nSat = 0;
  int m_nBright = 255;
  // The selected colour exactly as set or picked (the HSB fields only place the markers).
  DWORD m_dwColor = 0xFFFFFFFF;
  enum class Drag { kNone, kPallet, kBar } m_drag = Drag::kNone;
};

// Colour conversions used by the palette (exposed for tests).
DWORD HsbToArgb(int hue, int sat, int bright);
void ArgbToHsb(DWORD argb, int& hue, int& sat, int& bright);

}  // namespace DuiLib
