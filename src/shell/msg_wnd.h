#pragma once
// CMsgWnd: the program's one message box. A title and a text, each a language key that the
// skin's labels resolve, with OK (result 1) and Cancel (result 0). UI thread only.

#include "ui/window_impl_base.h"

class CMsgWnd : public DuiLib::WindowImplBase {
 public:
  // Keys, not texts: the labels of "msg.xml" are in resource-text mode.
  void SetTitleKey(const DuiLib::CDuiString& key) { title_key_ = key; }
  void SetTextKey(const DuiLib::CDuiString& key) { text_key_ = key; }
  const DuiLib::CDuiString& GetTitleKey() const { return title_key_; }
  const DuiLib::CDuiString& GetTextKey() const { return text_key_; }

  // Creates the box owned by `owner`, centred over it, and runs it modally: 1 for OK, 0 for
  // Cancel, Escape or a close by the system.
  DuiLib::UINT Run(DuiLib::HWND owner);

  // The whole use in one call, as every warning and confirmation of the program makes it.
  static DuiLib::UINT Show(DuiLib::HWND owner, const DuiLib::CDuiString& title_key,
                           const DuiLib::CDuiString& text_key);

 protected:
  DuiLib::CDuiString GetWindowClassName() const override { return u"MsgWnd"; }
  DuiLib::CDuiString GetSkinFile() override { return u"msg.xml"; }
  void InitWindow() override;
  void OnClick(DuiLib::TNotifyUI& msg) override;

 private:
  DuiLib::CDuiString title_key_;
  DuiLib::CDuiString text_key_;
};
