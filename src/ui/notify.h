// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Notifications: every user action on a control becomes a TNotifyUI that the paint manager
// hands to its notifiers, in the order they were added. See src/ui/README.md for the types.

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "ui/dui_string.h"
#include "ui/ui_types.h"

namespace DuiLib {

class CControlUI;

struct TNotifyUI {
  CDuiString sType;
  // The virtual window of the sender: the "virtualwnd" attribute of its nearest container
  // that has one.
  CDuiString sVirtualWnd;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Routes notifications by (type, sender name) to handlers, and by virtual window name to other
// pumps. UI thread only.
class CNotifyPump {
 public:
  using Handler = std::function<void(TNotifyUI&)>;
  virtual ~CNotifyPump() = default;

  // `control_name` empty matches every sender.
  void AddHandler(const CDuiString& type, const CDuiString& control_name, Handler handler);
  bool AddVirtualWnd(const CDuiString& name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const CDuiString& name);
  // A notification whose sVirtualWnd names a registered pump goes to that pump only (and counts
  // as taken); otherwise every matching handler runs. Returns true when a pump or a handler
  // took it.
  bool NotifyPump(TNotifyUI& msg);

 private:
  struct Entry {
    CDuiString type;
    CDuiString name;
    Handler handler;
  };
  std::vector<Entry> handlers_;
  std::map<CDuiString, CNotifyPump*> virtual_wnds_;
};

}  // namespace DuiLib
