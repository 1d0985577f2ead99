// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/notify.h"

#include "ui/control.h"

namespace DuiLib {

void CNotifyPump::AddHandler(const CDuiString& type, const CDuiString& control_name,
                             Handler handler) {
  handlers_.push_back({type, control_name, std::move(handler)});
}

bool CNotifyPump::AddVirtualWnd(const CDuiString& name, CNotifyPump* pump) {
  if (name.IsEmpty() || !pump) return false;
  return virtual_wnds_.emplace(name, pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const CDuiString& name) { return virtual_wnds_.erase(name) > 0; }

bool CNotifyPump::NotifyPump(TNotifyUI& msg) {
  if (!msg.sVirtualWnd.IsEmpty()) {
    auto it = virtual_wnds_.find(msg.sVirtualWnd);
    if (it != virtual_wnds_.end()) {
      // Addressed to that virtual window: nobody else sees it, handled there or not.
      it->second->NotifyPump(msg);
      return true;
    }
  }
  bool taken = false;
  CDuiString sender = msg.pSender ? msg.pSender->GetName() : CDuiString();
  // Handlers may add handlers; iterate over a stable count.
  for (std::size_t i = 0, n = handlers_.size(); i < n; ++i) {
    const Entry& e = handlers_[i];
    if (e.type != msg.sType) continue;
    if (!e.name.IsEmpty() && e.name != sender) continue;
    Handler h = e.handler;
    h(msg);
    taken = true;
  }
  return taken;
}

}  // namespace DuiLib
