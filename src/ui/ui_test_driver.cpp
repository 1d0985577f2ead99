// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_test_driver.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/control.h"
#include "ui/internal/accessible_naming.h"
#include "ui/internal/combo_drop_window.h"
#include "ui/internal/host_widget.h"
#include "ui/internal/paint_context.h"
#include "ui/list.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/render_engine.h"
#include "ui/slider.h"
#include "ui/window.h"

namespace DuiLib::Testing {
namespace {

internal::HostWidget* HostOf(CPaintManagerUI* pm) {
  CWindowWnd* w = pm ? pm->GetWindow() : nullptr;
  return w ? w->NativeHostForTesting() : nullptr;
}

bool CenterOf(CControlUI* c, POINT& pt) {
  if (!c || !c->GetManager() || !c->IsVisible()) return false;
  c->GetManager()->UpdateLayout();
  RECT r = c->GetPos();
  // Clip to every ancestor: a control scrolled out of its parent cannot be clicked.
  for (CControlUI* p = c->GetParent(); p; p = p->GetParent()) {
    const RECT& pr = p->GetPos();
    r = {std::max(r.left, pr.left), std::max(r.top, pr.top), std::min(r.right, pr.right),
         std::min(r.bottom, pr.bottom)};
  }
  if (r.IsEmpty()) return false;
  pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  return true;
}

// `pt` in the layout's coordinates, which a window's native widget may hold centred.
QPointF LocalOf(QWidget* widget, POINT pt) {
  const auto* host = dynamic_cast<internal::HostWidget*>(widget);
  return QPointF(QPoint(pt.x, pt.y) + (host != nullptr ? host->ContentOffset() : QPoint()));
}

void SendMouse(QWidget* host, QEvent::Type type, POINT pt, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  const QPointF local = LocalOf(host, pt);
  QMouseEvent ev(type, local, host->mapToGlobal(local), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(host, &ev);
}

bool MouseClick(CPaintManagerUI* pm, POINT pt, Qt::MouseButton button, bool dbl) {
  internal::HostWidget* host = HostOf(pm);
  if (!host) {
    // A manager without a window: straight to its input entry points.
    pm->OnMouseMove(pt, 0);
    pm->OnButtonDown(pt, button == Qt::RightButton, false, 0);
    pm->OnButtonUp(pt, button == Qt::RightButton, 0);
    if (dbl) {
      pm->OnButtonDown(pt, button == Qt::RightButton, true, 0);
      pm->OnButtonUp(pt, button == Qt::RightButton, 0);
    }
    return true;
  }
  SendMouse(host, QEvent::MouseMove, pt, Qt::NoButton, Qt::NoButton);
  SendMouse(host, QEvent::MouseButtonPress, pt, button, button);
  SendMouse(host, QEvent::MouseButtonRelease, pt, button, Qt::NoButton);
  if (dbl) {
    SendMouse(host, QEvent::MouseButtonDblClick, pt, button, button);
    SendMouse(host, QEvent::MouseButtonRelease, pt, button, Qt::NoButton);
  }
  return true;
}

int QtKeyFromVirtualKey(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
  if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + static_cast<int>(vk - 0x70);
  switch (vk) {
    case VK_BACK:
      return Qt::Key_Backspace;
    case VK_TAB:
      return Qt::Key_Tab;
    case VK_RETURN:
      return Qt::Key_Return;
    case VK_ESCAPE:
      return Qt::Key_Escape;
    case VK_SPACE:
      return Qt::Key_Space;
    case VK_PRIOR:
      return Qt::Key_PageUp;
    case VK_NEXT:
      return Qt::Key_PageDown;
    case VK_END:
      return Qt::Key_End;
    case VK_HOME:
      return Qt::Key_Home;
    case VK_LEFT:
      return Qt::Key_Left;
    case VK_UP:
      return Qt::Key_Up;
    case VK_RIGHT:
      return Qt::Key_Right;
    case VK_DOWN:
      return Qt::Key_Down;
    case VK_DELETE:
      return Qt::Key_Delete;
    default:
      return 0;
  }
}

Qt::KeyboardModifiers Mods(WORD m) {
  Qt::KeyboardModifiers q;
  if (m & UIKEY_SHIFT) q |= Qt::ShiftModifier;
  if (m & UIKEY_CONTROL) q |= Qt::ControlModifier;
  if (m & UIKEY_ALT) q |= Qt::AltModifier;
  return q;
}

}  // namespace

void ProcessEvents() {
  internal::EnsureApplication();
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

bool Click(CControlUI* control) {
  POINT pt;
  if (!CenterOf(control, pt)) return false;
  return MouseClick(control->GetManager(), pt, Qt::LeftButton, false);
}

bool Click(CPaintManagerUI& pm, const CDuiString& name) { return Click(pm.FindControl(name)); }

bool RightClick(CControlUI* control) {
  POINT pt;
  if (!CenterOf(control, pt)) return false;
  return MouseClick(control->GetManager(), pt, Qt::RightButton, false);
}

bool DoubleClick(CControlUI* control) {
  POINT pt;
  if (!CenterOf(control, pt)) return false;
  return MouseClick(control->GetManager(), pt, Qt::LeftButton, true);
}

bool ClickAt(CPaintManagerUI& pm, POINT pt) { return MouseClick(&pm, pt, Qt::LeftButton, false); }

bool Drag(CPaintManagerUI& pm, POINT from, POINT to) {
  internal::HostWidget* host = HostOf(&pm);
  if (!host) {
    pm.OnMouseMove(from, 0);
    pm.OnButtonDown(from, false, false, 0);
    pm.OnMouseMove(to, 0);
    pm.OnButtonUp(to, false, 0);
    return true;
  }
  SendMouse(host, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
  SendMouse(host, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  SendMouse(host, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  SendMouse(host, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  return true;
}

bool Hover(CControlUI* control) {
  POINT pt;
  if (!CenterOf(control, pt)) return false;
  CPaintManagerUI* pm = control->GetManager();
  if (internal::HostWidget* host = HostOf(pm))
    SendMouse(host, QEvent::MouseMove, pt, Qt::NoButton, Qt::NoButton);
  else
    pm->OnMouseMove(pt, 0);
  return true;
}

void LeaveWindow(CPaintManagerUI& pm) {
  if (internal::HostWidget* host = HostOf(&pm)) {
    QEvent ev(QEvent::Leave);
    QCoreApplication::sendEvent(host, &ev);
  } else {
    pm.OnMouseLeave();
  }
}

namespace {
// A key press as Qt delivers it to `widget`, with the text the key types.
void SendKey(QWidget* widget, UINT vkey, WORD modifiers) {
  QString text;
  if (vkey == VK_SPACE)
    text = QStringLiteral(" ");
  else if (vkey >= '0' && vkey <= '9')
    text = QChar(static_cast<char16_t>(vkey));
  else if (vkey >= 'A' && vkey <= 'Z' && !(modifiers & (UIKEY_CONTROL | UIKEY_ALT)))
    text = QChar(static_cast<char16_t>((modifiers & UIKEY_SHIFT) ? vkey : vkey + 32));
  QKeyEvent ev(QEvent::KeyPress, QtKeyFromVirtualKey(vkey), Mods(modifiers), text);
  QCoreApplication::sendEvent(widget, &ev);
}
}  // namespace

bool PressKey(CPaintManagerUI& pm, UINT vkey, WORD modifiers) {
  internal::HostWidget* host = HostOf(&pm);
  if (!host) return pm.OnKeyDown(vkey, modifiers, {});
  SendKey(host, vkey, modifiers);
  return true;
}

bool PressKeyInPopup(UINT vkey, WORD modifiers) {
  QWidget* popup = QApplication::activePopupWidget();
  // A menu is a tool window that takes the focus when it opens, rather than a Qt popup.
  if (!popup)
    if (CMenuWnd* menu = CMenuWnd::GetTopMenuForTesting()) popup = HostOf(menu->GetPaintManager());
  if (!popup) return false;
  SendKey(popup, vkey, modifiers);
  return true;
}

bool TypeText(CControlUI* control, const CDuiString& text) {
  if (!control || !control->GetManager()) return false;
  if (!control->IsFocused() && !Click(control)) return false;
  if (!control->IsFocused()) return false;
  CPaintManagerUI* pm = control->GetManager();
  internal::HostWidget* host = HostOf(pm);
  for (int i = 0; i < text.GetLength(); ++i) {
    char16_t ch = text.GetAt(i);
    CDuiString one(ch);
    if (!host) {
      pm->OnKeyDown(0, 0, one);
      continue;
    }
    int key = 0;
    if (ch >= u'a' && ch <= u'z')
      key = Qt::Key_A + (ch - u'a');
    else if (ch >= u'A' && ch <= u'Z')
      key = Qt::Key_A + (ch - u'A');
    else if (ch >= u'0' && ch <= u'9')
      key = Qt::Key_0 + (ch - u'0');
    else if (ch == u' ')
      key = Qt::Key_Space;
    QKeyEvent ev(QEvent::KeyPress, key, Qt::NoModifier, internal::ToQString(one));
    QCoreApplication::sendEvent(host, &ev);
  }
  return true;
}

bool Wheel(CControlUI* control, int delta) {
  POINT pt;
  if (!CenterOf(control, pt)) return false;
  CPaintManagerUI* pm = control->GetManager();
  internal::HostWidget* host = HostOf(pm);
  if (!host) {
    pm->OnMouseWheel(pt, delta);
    return true;
  }
  const QPointF local = LocalOf(host, pt);
  QWheelEvent ev(local, host->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(host, &ev);
  return true;
}

bool SelectComboItem(CComboUI* combo, int index) {
  if (!combo || index < 0 || index >= combo->GetCount()) return false;
  if (!combo->IsDropped() && !Click(combo)) return false;
  internal::ComboDropWindow* drop = combo->DropWindowForTesting();
  if (!drop) return false;
  RECT r = drop->RowRect(index);
  if (r.IsEmpty()) return false;
  POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SendMouse(drop, QEvent::MouseMove, pt, Qt::NoButton, Qt::NoButton);
  SendMouse(drop, QEvent::MouseButtonPress, pt, Qt::LeftButton, Qt::LeftButton);
  SendMouse(drop, QEvent::MouseButtonRelease, pt, Qt::LeftButton, Qt::NoButton);
  return true;
}

bool ClickListItem(CListUI* list, int index) {
  if (!list || index < 0 || index >= list->GetCount()) return false;
  list->EnsureVisible(index);
  return Click(list->GetItemAt(index));
}

bool ClickMenuItem(const CDuiString& name) {
  CMenuWnd* menu = CMenuWnd::GetTopMenuForTesting();
  if (!menu) return false;
  if (CMenuElementUI* item = menu->FindItem(name)) return Click(item);
  // An item of a submenu: opened as the user opens it, by a click on its item.
  for (CMenuElementUI* opener : menu->Items()) {
    if (opener->GetSubmenu().IsEmpty() || !Click(opener)) continue;
    CMenuWnd* submenu = menu->GetOpenSubmenu();
    if (submenu == nullptr) continue;
    if (CMenuElementUI* item = submenu->FindItem(name)) return Click(item);
    submenu->Close(0);
    ProcessEvents();
  }
  return false;
}

bool DragSlider(CSliderUI* slider, int value) {
  if (!slider || !slider->GetManager() || !slider->IsVisible()) return false;
  slider->GetManager()->UpdateLayout();
  RECT t = slider->GetThumbRect();
  RECT r = slider->GetPos();
  SIZE th = slider->GetThumbSize();
  int range = std::max(1, slider->GetMaxValue() - slider->GetMinValue());
  POINT from{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
  POINT to = from;
  if (slider->IsHorizontal()) {
    int travel = r.Width() - th.cx;
    to.x = r.left + th.cx / 2 + (value - slider->GetMinValue()) * travel / range;
  } else {
    int travel = r.Height() - th.cy;
    to.y = r.bottom - th.cy / 2 - (value - slider->GetMinValue()) * travel / range;
  }
  return Drag(*slider->GetManager(), from, to);
}

bool ClickPalette(CColorPaletteUI* palette, POINT offset) {
  if (!palette || !palette->GetManager() || !palette->IsVisible()) return false;
  palette->GetManager()->UpdateLayout();
  RECT r = palette->GetPos();
  return ClickAt(*palette->GetManager(), POINT{r.left + offset.x, r.top + offset.y});
}

CBitmap Render(CPaintManagerUI& pm, int scale) {
  internal::EnsureApplication();
  pm.UpdateLayout();
  SIZE sz = pm.GetClientSize();
  scale = std::max(1, scale);
  QImage img(std::max(1, sz.cx) * scale, std::max(1, sz.cy) * scale, QImage::Format_ARGB32);
  img.setDevicePixelRatio(scale);
  img.fill(0);
  {
    QPainter p(&img);
    CPaintContext ctx(p, &pm);
    pm.Paint(ctx, RECT{0, 0, sz.cx, sz.cy});
  }
  CBitmap out(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) out.SetPixel(x, y, line[x]);
  }
  return out;
}

CDuiString AccessibleWindowName(CWindowWnd& window) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(window.NativeHostForTesting());
  return a ? internal::FromQString(a->text(QAccessible::Name)) : CDuiString();
}

}  // namespace DuiLib::Testing
