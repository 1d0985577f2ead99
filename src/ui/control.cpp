// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/control.h"

#include <algorithm>
#include <cstdlib>

#include "ui/internal/accessibility.h"
#include "ui/internal/paint_context.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/theme.h"

namespace DuiLib {
namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads comma-separated integers; missing ones stay 0.
int ReadInts(std::u16string_view text, int* out, int max) {
  int n = 0;
  std::size_t i = 0;
  while (n < max && i < text.size()) {
    while (i < text.size() && (text[i] == u' ' || text[i] == u',')) ++i;
    if (i >= text.size()) break;
    bool neg = false;
    if (text[i] == u'-' || text[i] == u'+') neg = text[i++] == u'-';
    long v = 0;
    bool any = false;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
      v = v * 10 + (text[i++] - u'0');
      if (v > 1000000) v = 1000000;
      any = true;
    }
    out[n++] = any ? static_cast<int>(neg ? -v : v) : 0;
    while (i < text.size() && text[i] != u',') ++i;
  }
  return n;
}

}  // namespace

bool ParseColor(std::u16string_view text, DWORD& out, const CPaintManagerUI* pm) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  std::u16string_view hex;
  if (!text.empty() && text[0] == u'#')
    hex = text.substr(1);
  else if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
    hex = text.substr(2);
  if (!hex.empty() || (!text.empty() && text[0] == u'#')) {
    if (hex.size() != 6 && hex.size() != 8) return false;
    DWORD v = 0;
    for (char16_t c : hex) {
      int h = HexValue(c);
      if (h < 0) return false;
      v = (v << 4) | static_cast<DWORD>(h);
    }
    out = hex.size() == 6 ? (0xFF000000u | v) : v;
    return true;
  }
  if (text.empty()) return false;
  CDuiString name(text);
  if (!pm) pm = internal::BuildingManager();
  if (pm && pm->LocalTheme().FindColor(name, out)) return true;
  return CTheme::Global().FindColor(name, out);
}

RECT ParseRect(std::u16string_view text) {
  int v[4] = {0, 0, 0, 0};
  ReadInts(text, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

SIZE ParseSize(std::u16string_view text) {
  int v[2] = {0, 0};
  ReadInts(text, v, 2);
  return SIZE{v[0], v[1]};
}

bool ParseBool(std::u16string_view text) {
  return text == u"true" || text == u"1" || text == u"TRUE" || text == u"True";
}

// The accessible texts of a control that sets any (see SetAccessibleName).
struct TAccessibleInfoUI {
  CDuiString name;
  CDuiString description;
  CDuiString label;
  CDuiString role;
};

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  internal::AccessibleGone(this);
  if (m_pManager) m_pManager->ReapObjects(this);
}

void* CControlUI::GetInterface(const CDuiString& name) {
  if (name == u"Control") return this;
  return nullptr;
}

void CControlUI::SetName(const CDuiString& name) {
  if (name == m_sName) return;
  if (m_pManager && !m_bNameHidden) m_pManager->UnregisterName(this);
  m_sName = name;
  if (m_pManager && !m_bNameHidden) m_pManager->RegisterName(this);
}

void CControlUI::SetText(const CDuiString& text) {
  if (m_sText == text) return;
  m_sText = text;
  Invalidate();
  internal::AccessibleChanged(this, internal::AccessibleChange::kName);
}

void CControlUI::SetToolTip(const CDuiString& tip) {
  if (m_sToolTip == tip) return;
  m_sToolTip = tip;
  internal::AccessibleChanged(this, internal::AccessibleChange::kName);
}

CDuiString CControlUI::GetAccessibleName() const {
  return m_pAccessible ? m_pAccessible->name : CDuiString();
}

void CControlUI::SetAccessibleName(const CDuiString& name) {
  if (GetAccessibleName() == name) return;
  if (!m_pAccessible) m_pAccessible = std::make_unique<TAccessibleInfoUI>();
  m_pAccessible->name = name;
  internal::AccessibleChanged(this, internal::AccessibleChange::kName);
}

CDuiString CControlUI::GetAccessibleDescription() const {
  return m_pAccessible ? m_pAccessible->description : CDuiString();
}

void CControlUI::SetAccessibleDescription(const CDuiString& description) {
  if (GetAccessibleDescription() == description) return;
  if (!m_pAccessible) m_pAccessible = std::make_unique<TAccessibleInfoUI>();
  m_pAccessible->description = description;
  internal::AccessibleChanged(this, internal::AccessibleChange::kDescription);
}

CDuiString CControlUI::GetAccessibleLabel() const {
  return m_pAccessible ? m_pAccessible->label : CDuiString();
}

void CControlUI::SetAccessibleLabel(const CDuiString& control_name) {
  if (!m_pAccessible) m_pAccessible = std::make_unique<TAccessibleInfoUI>();
  m_pAccessible->label = control_name;
  internal::AccessibleChanged(this, internal::AccessibleChange::kName);
}

CDuiString CControlUI::GetAccessibleRole() const {
  return m_pAccessible ? m_pAccessible->role : CDuiString();
}

void CControlUI::SetAccessibleRole(const CDuiString& role) {
  if (!m_pAccessible) m_pAccessible = std::make_unique<TAccessibleInfoUI>();
  m_pAccessible->role = role;
}

CDuiString CControlUI::GetShownText() const {
  if (!m_bResourceText) return GetText();
  return CResourceManager::GetInstance()->GetText(GetText());
}

void CControlUI::SetResourceText(bool resource_text) {
  if (m_bResourceText == resource_text) return;
  m_bResourceText = resource_text;
  Invalidate();
  internal::AccessibleChanged(this, internal::AccessibleChange::kName);
}

CDuiString CControlUI::GetEffectiveVirtualWnd() const {
  for (const CControlUI* c = this; c; c = c->m_pParent)
    if (!c->m_sVirtualWnd.IsEmpty()) return c->m_sVirtualWnd;
  return {};
}

void CControlUI::SetPos(RECT rc) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  m_rcItem = rc;
}

void CControlUI::SetPadding(RECT rc) {
  m_rcPadding = rc;
  NeedParentUpdate();
}

void CControlUI::SetFixedXY(SIZE xy) {
  m_cXY = xy;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0 || m_cxyFixed.cx == cx) return;
  m_cxyFixed.cx = cx;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0 || m_cxyFixed.cy == cy) return;
  m_cxyFixed.cy = cy;
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0) return;
  m_cxyMin.cx = cx;
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0) return;
  m_cxyMin.cy = cy;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool is_float) {
  if (m_bFloat == is_float) return;
  m_bFloat = is_float;
  NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) { return m_cxyFixed; }

void CControlUI::SetBkColor(DWORD argb) {
  m_dwBackColor = argb;
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD argb) {
  m_dwBorderColor = argb;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  m_nBorderSize = std::max(0, size);
  Invalidate();
}

void CControlUI::SetBkImage(const CDuiString& image) {
  if (m_sBkImage == image) return;
  m_sBkImage = image;
  Invalidate();
}

void CControlUI::SetFont(const CDuiString& font) {
  m_sFont = font;
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  bool was = IsVisible();
  m_bVisible = visible;
  if (was && !IsVisible() && m_pManager) {
    CControlUI* focus = m_pManager->GetFocus();
    for (CControlUI* c = focus; c; c = c->GetParent())
      if (c == this) {
        m_pManager->SetFocus(nullptr);
        break;
      }
  }
  NeedParentUpdate();
  if (was != IsVisible())
    internal::AccessibleChanged(
        this, was ? internal::AccessibleChange::kHidden : internal::AccessibleChange::kShown);
}

void CControlUI::SetInternVisible(bool visible) { m_bInternVisible = visible; }

void CControlUI::SetEnabled(bool enabled) {
  if (m_bEnabled == enabled) return;
  m_bEnabled = enabled;
  Invalidate();
  internal::AccessibleChanged(this, internal::AccessibleChange::kEnabled);
}

void CControlUI::SetFocus() {
  if (m_pManager) m_pManager->SetFocus(this);
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool) {
  if (m_pManager && m_pManager != manager) m_pManager->ReapObjects(this);
  m_pParent = parent;
  m_pManager = manager;
  m_bNameHidden = parent && (parent->m_bNameHidden || parent->HidesChildNames());
  if (m_pManager && !m_bNameHidden) m_pManager->RegisterName(this);
}

CControlUI* CControlUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !m_bMouseEnabled || !m_rcItem.Contains(pt)) return nullptr;
  return this;
}

void CControlUI::ForEach(void (*fn)(CControlUI*, void*), void* data) { fn(this, data); }

void CControlUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
  const std::u16string_view n = name.view();
  const std::u16string_view v = value.view();
  if (n == u"name")
    SetName(value);
  else if (n == u"text")
    SetText(value);
  else if (n == u"pos") {
    RECT r = ParseRect(v);
    m_cXY = {r.left, r.top};
    m_cxyFixed = {std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)};
    NeedParentUpdate();
  } else if (n == u"width")
    SetFixedWidth(ParseSize(v).cx);
  else if (n == u"height")
    SetFixedHeight(ParseSize(v).cx);
  else if (n == u"minwidth")
    SetMinWidth(ParseSize(v).cx);
  else if (n == u"minheight")
    SetMinHeight(ParseSize(v).cx);
  else if (n == u"padding")
    SetPadding(ParseRect(v));
  else if (n == u"float")
    SetFloat(ParseBool(v));
  else if (n == u"bkcolor") {
    DWORD c = 0;
    if (ParseColor(v, c, m_pManager)) SetBkColor(c);
  } else if (n == u"bordercolor") {
    DWORD c = 0;
    if (ParseColor(v, c, m_pManager)) SetBorderColor(c);
  } else if (n == u"bordersize")
    SetBorderSize(ParseSize(v).cx);
  else if (n == u"bkimage")
    SetBkImage(value);
  else if (n == u"visible")
    SetVisible(ParseBool(v));
  else if (n == u"enabled")
    SetEnabled(ParseBool(v));
  else if (n == u"mouse")
    SetMouseEnabled(ParseBool(v));
  else if (n == u"keyboard")
    SetKeyboardEnabled(ParseBool(v));
  else if (n == u"resourcetext")
    SetResourceText(ParseBool(v));
  else if (n == u"font")
    SetFont(value);
  else if (n == u"tooltip")
    SetToolTip(value);
  else if (n == u"userdata")
    SetUserData(value);
  else if (n == u"virtualwnd")
    m_sVirtualWnd = value;
  else if (n == u"accessiblename")
    SetAccessibleName(value);
  else if (n == u"accessibledescription")
    SetAccessibleDescription(value);
  else if (n == u"accessiblelabel")
    SetAccessibleLabel(value);
  else if (n == u"accessiblerole")
    SetAccessibleRole(value);
}

void CControlUI::ApplyAttributeList(const CDuiString& list) {
  std::u16string_view s = list.view();
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == u' ') ++i;
    std::size_t eq = s.find(u'=', i);
    if (eq == std::u16string_view::npos) break;
    std::u16string_view key = s.substr(i, eq - i);
    while (!key.empty() && key.back() == u' ') key.remove_suffix(1);
    std::size_t q1 = s.find(u'"', eq);
    if (q1 == std::u16string_view::npos) break;
    std::size_t q2 = s.find(u'"', q1 + 1);
    if (q2 == std::u16string_view::npos) break;
    SetAttribute(CDuiString(key), CDuiString(s.substr(q1 + 1, q2 - q1 - 1)));
    i = q2 + 1;
  }
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_MOUSEENTER:
      SendNotify(DUI_MSGTYPE_MOUSEENTER);
      break;
    case UIEVENT_MOUSELEAVE:
      SendNotify(DUI_MSGTYPE_MOUSELEAVE);
      break;
    case UIEVENT_SETFOCUS:
      m_bFocused = true;
      Invalidate();
      SendNotify(DUI_MSGTYPE_SETFOCUS);
      break;
    case UIEVENT_KILLFOCUS:
      m_bFocused = false;
      Invalidate();
      SendNotify(DUI_MSGTYPE_KILLFOCUS);
      break;
    case UIEVENT_TIMER:
      SendNotify(DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
      break;
    default:
      // Unused input goes to the parent, so that a wheel over a row scrolls its list.
      if (m_pParent && (event.Type == UIEVENT_SCROLLWHEEL || event.Type == UIEVENT_KEYDOWN))
        m_pParent->DoEvent(event);
      break;
  }
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

RECT CControlUI::GetFocusRingRect(int& corner_radius) const {
  corner_radius = 4;
  return m_rcItem;
}

void CControlUI::Invalidate() {
  if (m_pManager) m_pManager->Invalidate();
}

void CControlUI::NeedUpdate() {
  if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::SendNotify(const CDuiString& type, WPARAM wParam, LPARAM lParam) {
  if (m_pManager) m_pManager->SendNotify(this, type, wParam, lParam);
}

void CControlUI::DoPaint(CPaintContext& ctx, const RECT&) {
  PaintBkColor(ctx);
  PaintBkImage(ctx);
  PaintStatusImage(ctx);
  PaintText(ctx);
  PaintBorder(ctx);
}

void CControlUI::PaintBkColor(CPaintContext& ctx) {
  if (m_dwBackColor >> 24)
    ctx.painter().fillRect(internal::ToQRect(m_rcItem), internal::ToQColor(m_dwBackColor));
}

void CControlUI::PaintBkImage(CPaintContext& ctx) {
  if (!m_sBkImage.IsEmpty()) DrawImage(ctx, m_sBkImage);
}

void CControlUI::PaintStatusImage(CPaintContext&) {}
void CControlUI::PaintText(CPaintContext&) {}

void CControlUI::PaintBorder(CPaintContext& ctx) {
  if (m_nBorderSize <= 0 || !(m_dwBorderColor >> 24)) return;
  QPainter& p = ctx.painter();
  QPen pen(internal::ToQColor(m_dwBorderColor));
  pen.setWidth(m_nBorderSize);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  int h = m_nBorderSize / 2;
  p.drawRect(QRect(m_rcItem.left + h, m_rcItem.top + h, m_rcItem.Width() - m_nBorderSize,
                   m_rcItem.Height() - m_nBorderSize));
}

bool CControlUI::DrawImage(CPaintContext& ctx, const CDuiString& image, const RECT* rc) {
  return internal::DrawImage(ctx, image, rc ? *rc : m_rcItem);
}

}  // namespace DuiLib
