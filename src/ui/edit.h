// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CEditUI: a one-line text field drawn by the library. Typing raises "textchanged" after
// every change the user makes; SetText does not. Focus changes raise "setfocus"/"killfocus".

#include "ui/label.h"

namespace DuiLib {
namespace internal {
class AccessibleEdit;
}

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  CDuiString GetClass() const override { return u"EditUI"; }
  void* GetInterface(const CDuiString& name) override;
  bool TakesFocus() const override { return IsEnabled(); }
  // The caret and the focus border colour show the focus.
  bool ShowsOwnFocus() const override { return (m_dwFocusBorderColor >> 24) != 0; }

  void SetText(const CDuiString& text) override;
  int GetMaxChar() const { return m_iMaxChar; }
  void SetMaxChar(int max_char);
  bool IsReadOnly() const { return m_bReadOnly; }
  void SetReadOnly(bool read_only);
  bool IsPasswordMode() const { return m_bPassword; }
  void SetPasswordMode(bool password);
  bool IsNumberOnly() const { return m_bNumberOnly; }
  void SetNumberOnly(bool number_only);

  // Selection in UTF-16 units; -1 stands for the end of the text. SetSel(n, n) puts the caret.
  void SetSel(int start, int end);
  void SetSelAll();
  void SetReplaceSel(const CDuiString& text);
  int GetSelStart() const { return m_iSelStart; }
  int GetSelEnd() const { return m_iCaret; }
  int GetCaret() const { return m_iCaret; }

  void DoEvent(TEventUI& event) override;
  void SetAttribute(const CDuiString& name, const CDuiString& value) override;

 protected:
  // Assistive technologies edit as the user types.
  friend class internal::AccessibleEdit;
  void PaintText(CPaintContext& ctx) override;
  void PaintBorder(CPaintContext& ctx) override;
  // Applies a user edit: replaces the selection with `text`, then raises "textchanged".
  void UserReplace(const CDuiString& text);
  int CaretFromPoint(POINT pt) const;
  CDuiString ShownText() const;

  int m_iMaxChar = 255;
  bool m_bReadOnly = false;
  bool m_bPassword = false;
  bool m_bNumberOnly = false;
  int m_iSelStart = 0;
  int m_iCaret = 0;
  int m_iScroll = 0;
  bool m_bSelecting = false;
  DWORD m_dwFocusBorderColor = 0;
  DWORD m_dwSelectionColor = 0xFF3A6EA5;
};

}  // namespace DuiLib
