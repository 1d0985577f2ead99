// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running instance per user: a lock file and a local socket under one name, in a folder
// only this user can write ($XDG_RUNTIME_DIR, else a private folder named after the user id).
// The first instance holds both; a later start of the same user signals it through the socket
// and exits. Another user's instance, lock or socket is never in the way, a lock dies with its
// process, and a socket left by a killed instance is taken over. Plain POSIX: no toolkit
// networking is loaded at start-up for this.

#include <memory>
#include <string>

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CSingleInstance {
 public:
  explicit CSingleInstance(const CDuiString& name);
  ~CSingleInstance();
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;

  // True when this process is the first: it now owns the name until it ends. False when
  // another instance of this user holds it, or when the name could not be taken at all; then
  // failure() says why.
  bool TryAcquire();
  bool IsOwner() const;
  const std::string& failure() const;
  // First instance: every signal of a later start posts `message` (wParam 0, lParam 0) to
  // `hwnd`. Signals that arrive before a target is set are delivered once it is.
  void SetTarget(HWND hwnd, UINT message);
  // Later instance: tells the first one. False when nobody answers.
  bool SignalFirstInstance();

  // The folder of this user's lock and socket, made when missing; empty (and `why` set) when
  // no folder only this user can write is to be had.
  static std::string Folder(std::string* why);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
