#include "macro/gui/macro_page.h"

#include <string>

#include "common/utf16_text.h"
#include "ui/dialog_builder.h"
#include "ui/menu.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

using DuiLib::CDuiString;

namespace {
constexpr int kMacroRowHeight = 21;
}

CMacroPage::CMacroPage(const kb::ModelInfo& model)
    : CModelPage(model, "Macro", "page_kb_macro.xml") {}

void CMacroPage::DoInit() {
  if (!BuildLayout()) return;
  const std::string id(model_.id);
  list_ = dynamic_cast<DuiLib::CListUI*>(
      GetManager()->FindControl(CDuiString("list_" + id + "_macro")));
  menu_button_ = GetManager()->FindControl(CDuiString("btn_" + id + "_menu_macro"));
}

void CMacroPage::Notify(DuiLib::TNotifyUI& msg) {
  if (!IsVisible() || msg.sType != DuiLib::DUI_MSGTYPE_CLICK || msg.pSender == nullptr ||
      msg.pSender != menu_button_)
    return;
  if (auto* open = DuiLib::CWindowWnd::FromHandle(menu_)) open->Close();
  const DuiLib::RECT button = menu_button_->GetPos();
  const DuiLib::RECT window = DuiLib::CWindowWnd::FromHandle(wiring_.owner) != nullptr
                                  ? DuiLib::CWindowWnd::FromHandle(wiring_.owner)->GetWindowRect()
                                  : DuiLib::RECT{};
  const CDuiString menu(std::string("KB/") + std::string(model_.name) + "/macromenu.xml");
  DuiLib::CMenuWnd* shown = DuiLib::CMenuWnd::CreateMenu(
      menu, DuiLib::POINT{window.left + button.left, window.top + button.bottom}, GetManager(),
      DuiLib::eMenuAlignment_Left | DuiLib::eMenuAlignment_Top);
  menu_ = shown != nullptr ? shown->GetHWND() : nullptr;
}

void CMacroPage::FillMacroList() {
  if (list_ == nullptr || data_ == nullptr) return;
  list_->RemoveAll();
  auto edit = data_->Lock();
  for (const auto& macro : edit.macros()) {
    auto* row = new DuiLib::CListLabelElementUI;
    row->SetText(CDuiString(kb::FieldText(macro->name)));
    row->SetFixedHeight(kMacroRowHeight);
    list_->Add(row);
  }
}

void CMacroPage::AppendMacroItem(std::u16string_view name) {
  if (list_ == nullptr) return;
  auto* row = new DuiLib::CListLabelElementUI;
  row->SetText(CDuiString(name));
  row->SetFixedHeight(kMacroRowHeight);
  list_->Add(row);
  list_->SelectItem(list_->GetCount() - 1, true);
  list_->EndDown();
}

int CMacroPage::SelectedMacro() const { return list_ != nullptr ? list_->GetCurSel() : -1; }

void CMacroPage::OnHookEvent(DuiLib::UINT /*message*/, DuiLib::WPARAM /*wParam*/,
                             DuiLib::LPARAM /*lParam*/) {}
