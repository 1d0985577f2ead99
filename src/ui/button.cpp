// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/button.h"

#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"

namespace DuiLib {

using namespace internal;

CButtonUI::CButtonUI() { m_uTextStyle = kAlignCenter | kAlignVCenter | kEndEllipsis; }

void* CButtonUI::GetInterface(const CDuiString& name) {
  if (name == u"Button") return this;
  return CLabelUI::GetInterface(name);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  SendNotify(DUI_MSGTYPE_CLICK);
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) m_bHot = m_bPushed = false;
}

void CButtonUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled()) {
        m_bPushed = m_bPressInside = true;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (m_bPressInside) {
        bool inside = m_rcItem.Contains(event.ptMouse);
        if (inside != m_bPushed) {
          m_bPushed = inside;
          Invalidate();
        }
      }
      return;
    case UIEVENT_BUTTONUP: {
      bool click = m_bPressInside && m_rcItem.Contains(event.ptMouse);
      m_bPushed = m_bPressInside = false;
      Invalidate();
      if (click) Activate();
      return;
    }
    case UIEVENT_KEYDOWN:
      if (event.vkey == VK_SPACE || event.vkey == VK_RETURN) {
        Activate();
        return;
      }
      break;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        m_bHot = true;
        Invalidate();
      }
      break;
    case UIEVENT_MOUSELEAVE:
      m_bHot = false;
      Invalidate();
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const CDuiString& image) {
  m_sNormalImage = image;
  Invalidate();
}
void CButtonUI::SetHotImage(const CDuiString& image) {
  m_sHotImage = image;
  Invalidate();
}
void CButtonUI::SetPushedImage(const CDuiString& image) {
  m_sPushedImage = image;
  Invalidate();
}
void CButtonUI::SetDisabledImage(const CDuiString& image) {
  m_sDisabledImage = image;
  Invalidate();
}

void CButtonUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  DWORD c = 0;
  if (n == u"normalimage")
    SetNormalImage(value);
  else if (n == u"hotimage")
    SetHotImage(value);
  else if (n == u"pushedimage")
    SetPushedImage(value);
  else if (n == u"focusedimage")
    m_sFocusedImage = value;
  else if (n == u"disabledimage")
    SetDisabledImage(value);
  else if (n == u"hottextcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwHotTextColor = c;
  } else if (n == u"pushedtextcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwPushedTextColor = c;
  } else if (n == u"hotbkcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwHotBkColor = c;
  } else if (n == u"pushedbkcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwPushedBkColor = c;
  } else
    CLabelUI::SetAttribute(name, value);
}

void CButtonUI::PaintBkColor(CPaintContext& ctx) {
  DWORD c = m_dwBackColor;
  if (IsEnabled() && m_bPushed && m_dwPushedBkColor)
    c = m_dwPushedBkColor;
  else if (IsEnabled() && m_bHot && m_dwHotBkColor)
    c = m_dwHotBkColor;
  if (c >> 24) ctx.painter().fillRect(ToQRect(m_rcItem), ToQColor(c));
}

void CButtonUI::PaintStatusImage(CPaintContext& ctx) {
  if (!IsEnabled() && !m_sDisabledImage.IsEmpty() && DrawImage(ctx, m_sDisabledImage)) return;
  if (m_bPushed && !m_sPushedImage.IsEmpty() && DrawImage(ctx, m_sPushedImage)) return;
  if (m_bHot && !m_sHotImage.IsEmpty() && DrawImage(ctx, m_sHotImage)) return;
  if (m_bFocused && !m_sFocusedImage.IsEmpty() && DrawImage(ctx, m_sFocusedImage)) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(ctx, m_sNormalImage);
}

void CButtonUI::PaintText(CPaintContext& ctx) {
  DWORD saved = m_dwTextColor;
  if (IsEnabled() && m_bPushed && m_dwPushedTextColor)
    m_dwTextColor = m_dwPushedTextColor;
  else if (IsEnabled() && m_bHot && m_dwHotTextColor)
    m_dwTextColor = m_dwHotTextColor;
  CLabelUI::PaintText(ctx);
  m_dwTextColor = saved;
}

COptionUI::~COptionUI() {
  if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->RemoveOptionGroup(m_sGroupName, this);
}

void* COptionUI::GetInterface(const CDuiString& name) {
  if (name == u"Option") return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  if (m_pManager && m_pManager != manager && !m_sGroupName.IsEmpty())
    m_pManager->RemoveOptionGroup(m_sGroupName, this);
  bool joined = manager && manager != m_pManager;
  CButtonUI::SetManager(manager, parent, init);
  if (joined && !m_sGroupName.IsEmpty()) {
    m_pManager->AddOptionGroup(m_sGroupName, this);
    // A layout may mark two options of a group selected; the later one wins.
    if (m_bSelected) {
      m_bSelected = false;
      Selected(true, false);
    }
  }
}

void COptionUI::SetGroup(const CDuiString& group) {
  if (group == m_sGroupName) return;
  if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->RemoveOptionGroup(m_sGroupName, this);
  m_sGroupName = group;
  if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->AddOptionGroup(m_sGroupName, this);
}

void COptionUI::Selected(bool selected, bool trigger_event) {
  if (m_bSelected == selected) return;
  m_bSelected = selected;
  Invalidate();
  AccessibleChanged(this, AccessibleChange::kChecked);
  if (m_pManager && !m_sGroupName.IsEmpty()) {
    if (!m_bSelected) return;
    if (const auto* group = m_pManager->GetOptionGroup(m_sGroupName)) {
      std::vector<CControlUI*> members = *group;
      for (CControlUI* c : members)
        if (c != this) static_cast<COptionUI*>(c)->Selected(false, false);
    }
  }
  if (trigger_event) SendNotify(DUI_MSGTYPE_SELECTCHANGED);
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  if (!m_sGroupName.IsEmpty())
    Selected(true, true);
  else
    Selected(!m_bSelected, true);
  return true;
}

void COptionUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  DWORD c = 0;
  if (n == u"group")
    SetGroup(value);
  else if (n == u"selected")
    Selected(ParseBool(value.view()), false);
  else if (n == u"selectedimage")
    m_sSelectedImage = value;
  else if (n == u"selectedhotimage")
    m_sSelectedHotImage = value;
  else if (n == u"selectedtextcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwSelectedTextColor = c;
  } else if (n == u"selectedbkcolor") {
    if (ParseColor(value.view(), c, m_pManager)) m_dwSelectedBkColor = c;
  } else
    CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintBkColor(CPaintContext& ctx) {
  if (m_bSelected && (m_dwSelectedBkColor >> 24)) {
    ctx.painter().fillRect(ToQRect(m_rcItem), ToQColor(m_dwSelectedBkColor));
    return;
  }
  CButtonUI::PaintBkColor(ctx);
}

void COptionUI::PaintStatusImage(CPaintContext& ctx) {
  if (m_bSelected) {
    if (m_bHot && !m_sSelectedHotImage.IsEmpty() && DrawImage(ctx, m_sSelectedHotImage)) return;
    if (!m_sSelectedImage.IsEmpty() && DrawImage(ctx, m_sSelectedImage)) return;
  }
  CButtonUI::PaintStatusImage(ctx);
}

void COptionUI::PaintText(CPaintContext& ctx) {
  if (m_bSelected && m_dwSelectedTextColor) {
    DWORD saved = m_dwTextColor;
    m_dwTextColor = m_dwSelectedTextColor;
    CLabelUI::PaintText(ctx);
    m_dwTextColor = saved;
    return;
  }
  CButtonUI::PaintText(ctx);
}

void* CCheckBoxUI::GetInterface(const CDuiString& name) {
  if (name == u"CheckBox") return this;
  return COptionUI::GetInterface(name);
}

bool CCheckBoxUI::Activate() {
  if (!COptionUI::Activate()) return false;
  SendNotify(DUI_MSGTYPE_CHECKCLICK);
  return true;
}

}  // namespace DuiLib
