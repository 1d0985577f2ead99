// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialogs that name a key by pressing it: CSingleKeyWnd captures one key, CShortcutWnd one
// key and up to four modifiers (Ctrl, Shift, Alt, Super for bits 0..3), ticked from the ones
// held while the key goes down. A key press reaches them through the input-hook library, which
// is on exactly while "edit_key" has the focus; the field has it when the dialog opens.
// While it captures, the dialog's own keyboard handling is off, so Escape, Enter, Tab and Space
// are captured like any key instead of cancelling, confirming or moving on (Caps Lock can
// become Escape). When the captured key comes up, the focus moves on to OK: Enter then
// confirms, Escape cancels, and Tab leads back to the field for another try. Without the hook
// library nothing is captured and the keys work the dialog. They never touch a profile: the
// key page reads the result. UI thread only.

#include <array>
#include <cstdint>

#include "keys/key_capture.h"
#include "pages/common/hook_table.h"
#include "ui/button.h"
#include "ui/window_impl_base.h"

class CKeyCaptureWnd : public DuiLib::WindowImplBase {
 public:
  // `hooks` may be null or unbound; it must outlive the dialog.
  CKeyCaptureWnd(const kb::HookFunctionTable* hooks, std::uint8_t usage);
  ~CKeyCaptureWnd() override;

  std::uint8_t usage() const { return usage_; }
  // Owned by `owner`, centred over it, run modally: 1 for OK, 0 otherwise.
  DuiLib::UINT Run(DuiLib::HWND owner);
  // Whether the hook is on for this dialog now.
  bool capturing() const { return capturing_; }

 protected:
  void InitWindow() override;
  void Notify(DuiLib::TNotifyUI& msg) override;
  void OnClick(DuiLib::TNotifyUI& msg) override;
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT msg, DuiLib::WPARAM wParam,
                                      DuiLib::LPARAM lParam, bool& handled) override;
  DuiLib::LRESULT OnDestroy(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                            bool& handled) override;
  DuiLib::LRESULT OnKeyDown(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                            bool& handled) override;
  // A key that is no modifier went down with `modifiers` (bits 0..3) held.
  virtual void OnModifiersHeld(std::uint8_t /*modifiers*/) {}

 private:
  void ShowUsage();
  void StartCapture();
  void StopCapture();

  const kb::HookFunctionTable* hooks_;
  // The hook library keeps this pointer while the hook is on.
  kb_message_target target_{};
  std::uint8_t usage_;
  bool capturing_ = false;
  kb::KeyCapture capture_;
  DuiLib::CControlUI* edit_key_ = nullptr;
};

class CSingleKeyWnd : public CKeyCaptureWnd {
 public:
  using CKeyCaptureWnd::CKeyCaptureWnd;

 protected:
  DuiLib::CDuiString GetWindowClassName() const override { return u"SingleKeyWnd"; }
  DuiLib::CDuiString GetSkinFile() override { return u"singlekey.xml"; }
};

class CShortcutWnd : public CKeyCaptureWnd {
 public:
  // `flags[i]` is modifier bit i (1 set, 0 not).
  CShortcutWnd(const kb::HookFunctionTable* hooks, std::uint8_t usage,
               std::array<std::uint8_t, 4> flags);
  const std::array<std::uint8_t, 4>& flags() const { return flags_; }

 protected:
  DuiLib::CDuiString GetWindowClassName() const override { return u"ShortcutWnd"; }
  DuiLib::CDuiString GetSkinFile() override { return u"shortcut.xml"; }
  void InitWindow() override;
  void Notify(DuiLib::TNotifyUI& msg) override;
  void OnModifiersHeld(std::uint8_t modifiers) override;

 private:
  DuiLib::CCheckBoxUI* FlagBox(int bit);

  std::array<std::uint8_t, 4> flags_;
};
