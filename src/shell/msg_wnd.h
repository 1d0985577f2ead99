// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CMsgWnd: the program's one message box. A title and a text, each a language key that the
// skin's labels resolve, with OK (result 1) and Cancel (result 0). UI thread only.
//
// A report of what a command did (a file written, what an import added) names things the
// language file cannot hold: such a box shows a text composed from language texts with
// Compose, keeps its text key for what it is, and has OK only, as there is nothing to cancel.

#include <initializer_list>

#include "ui/window_impl_base.h"

class CMsgWnd : public DuiLib::WindowImplBase {
 public:
  // Keys, not texts: the labels of "msg.xml" are in resource-text mode.
  void SetTitleKey(const DuiLib::CDuiString& key) { title_key_ = key; }
  void SetTextKey(const DuiLib::CDuiString& key) { text_key_ = key; }
  const DuiLib::CDuiString& GetTitleKey() const { return title_key_; }
  const DuiLib::CDuiString& GetTextKey() const { return text_key_; }
  // A composed text shown instead of the text key's own (the key still says what the box is).
  void SetShownText(const DuiLib::CDuiString& text) { shown_text_ = text; }
  const DuiLib::CDuiString& GetShownText() const { return shown_text_; }
  // OK only: the box tells, it does not ask.
  void SetReport(bool report) { report_ = report; }

  // Creates the box owned by `owner`, centred over it, and runs it modally: 1 for OK, 0 for
  // Cancel, Escape or a close by the system.
  DuiLib::UINT Run(DuiLib::HWND owner);

  // The whole use in one call, as every warning and confirmation of the program makes it.
  static DuiLib::UINT Show(DuiLib::HWND owner, const DuiLib::CDuiString& title_key,
                           const DuiLib::CDuiString& text_key);
  // A report box: title "report_title_text", the text `shown` (see Compose), OK only.
  static void Report(DuiLib::HWND owner, const DuiLib::CDuiString& text_key,
                     const DuiLib::CDuiString& shown);

  // A warning box: title "warning_1_text", the text `shown` (see Compose), OK only.
  static void Warn(DuiLib::HWND owner, const DuiLib::CDuiString& text_key,
                   const DuiLib::CDuiString& shown);

  // The language text of `key` with %1, %2 ... replaced by `args`.
  static DuiLib::CDuiString Compose(const DuiLib::CDuiString& key,
                                    std::initializer_list<DuiLib::CDuiString> args = {});

 protected:
  DuiLib::CDuiString GetWindowClassName() const override { return u"MsgWnd"; }
  DuiLib::CDuiString GetSkinFile() override { return u"msg.xml"; }
  void InitWindow() override;
  // A text longer than the layout's room makes the box taller, never cut.
  void GrowToShowText();
  void OnClick(DuiLib::TNotifyUI& msg) override;

 private:
  DuiLib::CDuiString title_key_;
  DuiLib::CDuiString text_key_;
  DuiLib::CDuiString shown_text_;
  bool report_ = false;
};
