// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CDialogBuilder builds control trees from layout files (format: res/README.md, "Layouts").
// CControlFactory knows the element classes. UI thread only.

#include <functional>
#include <map>
#include <string_view>

#include "common/status.h"
#include "ui/dui_string.h"

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // A new control for `element_class`, or null to let the builder look further.
  virtual CControlUI* CreateControl(const CDuiString& element_class) = 0;
};

class CControlFactory {
 public:
  using Creator = std::function<CControlUI*()>;
  static CControlFactory* GetInstance();
  // Registers (or replaces) a class the layouts may name. Registered classes come before the
  // built-in ones of the same name.
  void RegistControl(const CDuiString& element_class, Creator creator);
  // A new control of that class: registered classes first, then built-in ones; null if unknown.
  CControlUI* CreateControl(const CDuiString& element_class) const;
  bool IsKnown(const CDuiString& element_class) const;

 private:
  CControlFactory();
  std::map<CDuiString, Creator> registered_;
  std::map<CDuiString, Creator> builtin_;
};

class CDialogBuilder {
 public:
  // Builds the layout file `xml` (relative to the resource path unless absolute). Element
  // classes go to `callback` first, then to CControlFactory. With `manager`, window-level
  // settings of a Window root (size, caption, fonts, colours, defaults) go to it. With `parent`
  // (a container) the built top-level controls are added to it. Returns the first top-level
  // control, or null when nothing could be built; GetLastStatus() tells what went wrong
  // (also when elements were skipped but a tree came back). Parsed files are cached.
  CControlUI* Create(const CDuiString& xml, const CDuiString& type = {},
                     IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                     CControlUI* parent = nullptr);
  // The same from a document in memory (not cached).
  CControlUI* CreateFromString(std::string_view xml, IDialogBuilderCallback* callback = nullptr,
                               CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  const kb::Status& GetLastStatus() const { return status_; }

  // Forgets every parsed layout (after the skin changed on disk).
  static void ClearCache();

 private:
  kb::Status status_ = kb::Status::Ok();
};

}  // namespace DuiLib
