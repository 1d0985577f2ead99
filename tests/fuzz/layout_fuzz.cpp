// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the layout reader (the skin's window and dialog layouts) on arbitrary bytes,
// as a window uses a layout: built into a manager without a window, attached and laid out.
// Whatever the bytes, the build ends, and a build that returns no tree says why.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/control.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The toolkit needs no screen for this; a caller's choice of platform stands.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DuiLib::CPaintManagerUI manager;
  manager.Init(nullptr);
  DuiLib::CDialogBuilder builder;
  DuiLib::CControlUI* root = builder.CreateFromString(
      std::string_view(reinterpret_cast<const char*>(data), size), nullptr, &manager);
  if (root == nullptr) {
    if (builder.GetLastStatus().ok()) std::abort();
    return 0;
  }
  manager.AttachDialog(root);
  manager.SetClientSize({640, 480});
  manager.UpdateLayout();
  return 0;
}
