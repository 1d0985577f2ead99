// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WindowImplBase: a frameless, skinned window built from its layout file. Derive, name the
// layout (GetSkinFile) and the class (GetWindowClassName), find controls in InitWindow and
// react in Notify / OnClick / HandleCustomMessage.

#include "ui/dialog_builder.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

namespace DuiLib {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase();
  ~WindowImplBase() override;

  CPaintManagerUI* GetPaintManager() override { return &m_pm; }
  // Runs after the layout is built and attached (controls can be found by name).
  virtual void InitWindow() {}
  // Every notification of the window's controls; the base routes virtual windows and handlers
  // (CNotifyPump) and then passes "click" to OnClick.
  void Notify(TNotifyUI& msg) override;
  virtual void OnClick(TNotifyUI& msg);
  // Element classes the builder does not know come here first; null lets the builder go on.
  CControlUI* CreateControl(const CDuiString& element_class) override;

  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Messages the base does not handle itself; set `handled` to stop further processing.
  virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  // Escape closes a modal window with 0; other keys go to the focused control.
  virtual bool ResponseDefaultKeyEvent(WPARAM wParam);

  // The build result of the layout (false when the layout could not be built).
  bool IsLayoutBuilt() const { return m_bLayoutBuilt; }
  const kb::Status& LayoutStatus() const { return m_layoutStatus; }

 protected:
  // Layout file, relative to the resource path.
  virtual CDuiString GetSkinFile() = 0;
  CPaintManagerUI m_pm;

 private:
  bool m_bLayoutBuilt = false;
  kb::Status m_layoutStatus = kb::Status::Ok();
};

}  // namespace DuiLib
