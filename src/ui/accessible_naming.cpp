// SPDX-License-Identifier: GPL-3.0-or-later
// Roles, names and descriptions of controls for assistive technologies.
#include "ui/internal/accessible_naming.h"

#include "ui/button.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/list.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"
#include "ui/slider.h"
#include "ui/window.h"

namespace DuiLib::internal {
namespace {

// An accessible text as the control means it: a language key in resource-text mode.
CDuiString Resolve(const CControlUI* c, const CDuiString& text) {
  if (text.IsEmpty() || !c->IsResourceText()) return text;
  return CResourceManager::GetInstance()->GetText(text);
}

// Texts the user reads in a control made of others (a list row of labels), in layout order.
void CollectShownTexts(CControlUI* c, CDuiString& out) {
  auto* container = dynamic_cast<CContainerUI*>(c);
  if (!container) return;
  for (int i = 0; i < container->GetCount(); ++i) {
    CControlUI* item = container->GetItemAt(i);
    if (!item->IsOwnVisible()) continue;
    CDuiString text = item->GetAccessibleName().IsEmpty()
                          ? item->GetShownText()
                          : Resolve(item, item->GetAccessibleName());
    if (!text.IsEmpty()) {
      if (!out.IsEmpty()) out += u", ";
      out += text;
    }
    CollectShownTexts(item, out);
  }
}

CDuiString LabelText(CControlUI* c) {
  const CDuiString label = c->GetAccessibleLabel();
  if (label.IsEmpty() || !c->GetManager()) return {};
  CControlUI* target = c->GetManager()->FindControl(label);
  // Rows share names: look beside the control first.
  for (CControlUI* p = c->GetParent(); p && !target; p = p->GetParent())
    if (auto* container = dynamic_cast<CContainerUI*>(p)) target = container->FindSubControl(label);
  if (!target || target == c) return {};
  return target->GetAccessibleName().IsEmpty() ? target->GetShownText()
                                               : Resolve(target, target->GetAccessibleName());
}

// Controls whose text is their value, not their name.
bool TextIsValue(CControlUI* c) {
  return c->GetInterface(u"Edit") || c->GetInterface(u"Combo") || c->GetInterface(u"Progress");
}

bool IsPlainBox(CControlUI* c) {
  return c->GetClass() == u"ControlUI" && c->GetBkImage().IsEmpty() && c->GetText().IsEmpty() &&
         c->GetToolTip().IsEmpty() && c->GetAccessibleName().IsEmpty();
}

}  // namespace

QAccessible::Role AccessibleRoleOf(CControlUI* c) {
  if (!c) return QAccessible::NoRole;
  if (auto* item = dynamic_cast<CMenuElementUI*>(c))
    return item->IsSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
  if (c->GetInterface(u"Menu")) return QAccessible::PopupMenu;
  if (c->GetInterface(u"CheckBox")) return QAccessible::CheckBox;
  if (auto* option = static_cast<COptionUI*>(c->GetInterface(u"Option"))) {
    if (c->GetAccessibleRole() == u"tab") return QAccessible::PageTab;
    return option->GetGroup().IsEmpty() ? QAccessible::CheckBox : QAccessible::RadioButton;
  }
  if (c->GetInterface(u"Button")) return QAccessible::Button;
  if (c->GetInterface(u"Edit")) return QAccessible::EditableText;
  if (c->GetInterface(u"Combo")) return QAccessible::ComboBox;
  if (c->GetInterface(u"List")) return QAccessible::List;
  if (c->GetInterface(u"ListItem")) return QAccessible::ListItem;
  if (c->GetInterface(u"Slider")) return QAccessible::Slider;
  if (c->GetInterface(u"Progress")) return QAccessible::ProgressBar;
  if (c->GetInterface(u"ColorPalette")) return QAccessible::ColorChooser;
  if (c->GetInterface(u"Label")) return QAccessible::StaticText;
  if (c->GetInterface(u"TabLayout")) return QAccessible::LayeredPane;
  if (c->GetInterface(u"Container")) return QAccessible::Pane;
  return c->GetBkImage().IsEmpty() ? QAccessible::Pane : QAccessible::Graphic;
}

CDuiString AccessibleNameOf(CControlUI* c) {
  if (!c) return {};
  if (!c->GetAccessibleName().IsEmpty()) return Resolve(c, c->GetAccessibleName());
  if (CDuiString label = LabelText(c); !label.IsEmpty()) return label;
  if (!TextIsValue(c)) {
    if (CDuiString shown = c->GetShownText(); !shown.IsEmpty()) return shown;
    if (c->GetInterface(u"ListContainerElement")) {
      CDuiString row;
      CollectShownTexts(c, row);
      if (!row.IsEmpty()) return row;
    }
  }
  if (!c->GetToolTip().IsEmpty()) return c->GetToolTip();
  // A combo without a label of its own is known by what it shows, as a closed one reads.
  if (c->GetInterface(u"Combo")) return AccessibleValueTextOf(c);
  return {};
}

CDuiString AccessibleDescriptionOf(CControlUI* c) {
  if (!c) return {};
  if (!c->GetAccessibleDescription().IsEmpty()) return Resolve(c, c->GetAccessibleDescription());
  // A tooltip that did not become the name still helps.
  if (!c->GetToolTip().IsEmpty() && AccessibleNameOf(c) != c->GetToolTip()) return c->GetToolTip();
  return {};
}

CDuiString AccessibleValueTextOf(CControlUI* c) {
  if (!c) return {};
  if (auto* combo = static_cast<CComboUI*>(c->GetInterface(u"Combo"))) {
    CControlUI* item = combo->GetItemAt(combo->GetCurSel());
    return item ? item->GetShownText() : CDuiString();
  }
  if (auto* edit = static_cast<CEditUI*>(c->GetInterface(u"Edit"))) {
    if (edit->IsPasswordMode())
      return CDuiString(
          std::u16string(static_cast<std::size_t>(edit->GetText().GetLength()), u'*'));
    return edit->GetText();
  }
  if (auto* range = static_cast<CProgressUI*>(c->GetInterface(u"Progress"))) {
    CDuiString v;
    v.Format(u"%d", range->GetValue());
    return v;
  }
  if (auto* palette = static_cast<CColorPaletteUI*>(c->GetInterface(u"ColorPalette"))) {
    CDuiString v;
    v.Format(u"#%06X", static_cast<unsigned>(palette->GetSelectColor() & 0xFFFFFFu));
    return v;
  }
  return {};
}

bool IsInteractiveRole(QAccessible::Role role) {
  switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::PageTab:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::Slider:
    case QAccessible::ColorChooser:
    case QAccessible::MenuItem:
      return true;
    default:
      return false;
  }
}

std::vector<CControlUI*> AccessibleChildrenOf(CControlUI* c) {
  std::vector<CControlUI*> out;
  auto* container = c ? dynamic_cast<CContainerUI*>(c) : nullptr;
  if (!container || !c->IsVisible()) return out;
  const bool owns_items = c->GetInterface(u"IListOwner") != nullptr;
  for (int i = 0; i < container->GetCount(); ++i) {
    CControlUI* item = container->GetItemAt(i);
    // A combo's items are never shown in the window itself, yet they are its choices.
    if (owns_items ? !item->IsOwnVisible() : !item->IsVisible()) continue;
    // Rows and items are never plain boxes; skipping the test keeps long lists cheap to read.
    if (!owns_items && IsPlainBox(item)) continue;
    out.push_back(item);
  }
  return out;
}

CDuiString CaptionTitleOf(CWindowWnd* window) {
  if (!window) return {};
  CPaintManagerUI* pm = window->GetPaintManager();
  CControlUI* root = pm ? pm->GetRoot() : nullptr;
  if (!root) return {};
  pm->UpdateLayout();
  const RECT caption = pm->GetCaptionRect();
  if (caption.bottom <= 0) return {};
  // The title a sighted user reads: the first label that shows text in the caption band.
  struct Search {
    RECT band;
    CDuiString found;
  } search{caption, {}};
  root->ForEach(
      [](CControlUI* ctl, void* data) {
        auto* s = static_cast<Search*>(data);
        if (!s->found.IsEmpty() || !ctl->IsVisible() || !ctl->GetInterface(u"Label") ||
            ctl->GetInterface(u"Button") || TextIsValue(ctl))
          return;
        const RECT& r = ctl->GetPos();
        // By its middle: a window's border inset moves a full-height title past the band.
        const int middle = (r.top + r.bottom) / 2;
        if (middle >= s->band.top && middle < s->band.bottom) s->found = ctl->GetShownText();
      },
      &search);
  return search.found;
}

CDuiString AccessibleWindowNameOf(CWindowWnd* window) {
  if (!window) return {};
  CPaintManagerUI* pm = window->GetPaintManager();
  CControlUI* root = pm ? pm->GetRoot() : nullptr;
  if (root && !root->GetAccessibleName().IsEmpty()) return AccessibleNameOf(root);
  return window->GetDesktopTitle();
}

}  // namespace DuiLib::internal
