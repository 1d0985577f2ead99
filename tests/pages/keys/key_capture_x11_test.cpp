// SPDX-License-Identifier: GPL-3.0-or-later
// The single-key dialog with the real input-hook library on a private Xvfb: a key typed on the
// (XTest) keyboard while the dialog's field has the focus is what the dialog captures.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/hook_library.h"
#include "device/virtual_keyboard_handle.h"
#include "pages/keys/key_capture_dialogs.h"
#include "plugins/hook/xvfb_display.h"
#include "shell/dialog_test_support.h"
#include "ui/ui_test_driver.h"

// Last: Xlib's macros (Status, None, Bool) would otherwise rewrite the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Status

namespace kb::testing {
namespace {

TEST(KeyCaptureX11Test, TheKeyTypedWhileTheFieldHasTheFocusIsCaptured) {
  XvfbDisplay display;
  const kb::Status started = display.Start();
  ASSERT_TRUE(started.ok()) << started.reason();
  UseSourceSkin();
  HookLibrary hooks;
  const kb::Status loaded = hooks.Load(test::DemoDirectory());
  ASSERT_TRUE(loaded.ok()) << loaded.reason();
  Display* injector = XOpenDisplay(display.name().c_str());
  ASSERT_NE(injector, nullptr);

  CSingleKeyWnd dialog(&hooks.table(), 0x29);
  ModalScript script;
  script.Then([&](DuiLib::CWindowWnd& w) {
    Click(w, u"edit_key");
    ASSERT_TRUE(dialog.capturing());
    // The hook listens once the click returns (its installation waits until the server has
    // the listener's event selection), so the key is typed once.
    const KeyCode a = XKeysymToKeycode(injector, XK_a);
    XTestFakeKeyEvent(injector, a, True, CurrentTime);
    XTestFakeKeyEvent(injector, a, False, CurrentTime);
    XSync(injector, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (dialog.usage() != 0x04 && std::chrono::steady_clock::now() < deadline) {
      DuiLib::Testing::ProcessEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(Find(w, u"edit_key")->GetText(), u"A");
    Click(w, u"btn_ok");
  });
  EXPECT_EQ(dialog.Run(nullptr), 1u);
  EXPECT_EQ(dialog.usage(), 0x04);
  EXPECT_FALSE(dialog.capturing());  // no hook outlives the dialog
  XCloseDisplay(injector);
}

}  // namespace
}  // namespace kb::testing
