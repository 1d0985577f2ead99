// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The profile menu's "Applications…": the applications linked to the current profile, added by
// name or picked from those with a window open now, removed, and whether the profile is the one
// used when no linked application is in front. Every change is saved to the links file at once,
// whole or not at all: a refused name, a full file or a failed save is told in a box and leaves
// the file and the list as they were. UI thread only.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "profile/app_links.h"
#include "ui/window_impl_base.h"

class CAppLinksDialog : public DuiLib::WindowImplBase {
 public:
  struct Setup {
    std::filesystem::path file;  // the links file of the model
    std::size_t profile = 0;     // the current profile's place in the store
    // Every profile's name in store order, for telling which one is the default.
    std::vector<std::u16string> profile_names;
    // The applications with a window open now, as the desktop names them.
    std::vector<std::string> open_applications;
    // Why the program cannot follow the application in front here; empty where it can.
    std::string unavailable;
  };

  explicit CAppLinksDialog(Setup setup);

  // Owned by `owner`, centred over it, run modally until closed; always 0.
  DuiLib::UINT Run(DuiLib::HWND owner);
  // Whether the links file was written while the dialog ran.
  bool changed() const { return changed_; }

 protected:
  DuiLib::CDuiString GetWindowClassName() const override { return u"AppLinksWnd"; }
  DuiLib::CDuiString GetSkinFile() override { return u"applinks.xml"; }
  void InitWindow() override;
  void Notify(DuiLib::TNotifyUI& msg) override;
  void OnClick(DuiLib::TNotifyUI& msg) override;
  // Enter in the name field adds the name, as "Add" does.
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM wParam) override;

 private:
  void AddTyped();
  void RemoveSelected();
  void MarkDefault();
  // Saves `links` in place of the file; on success they become the dialog's, otherwise the
  // box says why and nothing changes.
  bool Save(const kb::AppLinks& links);
  void ShowLinks();
  void ShowDefault();

  Setup setup_;
  kb::AppLinksLoad load_;
  bool changed_ = false;
};
