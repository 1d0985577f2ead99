#pragma once
// One running instance per user session: a lock file plus a local socket under one name. The
// first instance holds both; a later start signals it through the socket and exits. A lock and
// a socket left behind by an instance that was killed are taken over.

#include <memory>

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CSingleInstance {
 public:
  explicit CSingleInstance(const CDuiString& name);
  ~CSingleInstance();
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;

  // True when this process is the first: it now owns the name until it ends.
  bool TryAcquire();
  bool IsOwner() const;
  // First instance: every signal of a later start posts `message` (wParam 0, lParam 0) to
  // `hwnd`. Signals that arrive before a target is set are delivered once it is.
  void SetTarget(HWND hwnd, UINT message);
  // Later instance: tells the first one. False when nobody answers.
  bool SignalFirstInstance();

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace DuiLib
