// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon and the file dialogs, through their test seams.
#include <gtest/gtest.h>

#include "recording_window.h"
#include "ui/file_dialog.h"
#include "ui/tray_icon.h"
#include "ui/ui_test_driver.h"

using namespace DuiLib;

namespace {

TEST(TrayIconTest, ClicksPostTheCallbackMessage) {
  kbtest::RecordingWindow w(u"dialog.xml");
  ASSERT_TRUE(w.Open());
  CTrayIcon tray;
  EXPECT_FALSE(tray.IsCreated());
  bool shown = tray.CreateTrayIcon(w.GetHWND(), 107, u"Tip", 1025, u"skins/swatch.png");
  EXPECT_EQ(shown, CTrayIcon::IsSystemTrayAvailable());
  EXPECT_TRUE(tray.IsCreated());
  EXPECT_EQ(tray.GetTooltipText(), CDuiString(u"Tip"));
  tray.SimulateClickForTesting(false);
  tray.SimulateClickForTesting(true);
  Testing::ProcessEvents();
  std::vector<LPARAM> got;
  for (const auto& m : w.messages)
    if (m.msg == 1025) {
      EXPECT_EQ(m.w, 107u);
      got.push_back(m.l);
    }
  EXPECT_EQ(got, (std::vector<LPARAM>{WM_LBUTTONUP, WM_RBUTTONUP}));
  tray.DeleteTrayIcon();
  EXPECT_FALSE(tray.IsCreated());
  tray.SimulateClickForTesting(false);
  Testing::ProcessEvents();
  EXPECT_EQ(got.size(), 2u);
}

TEST(FileDialogTest, AnswersComeFromTheHandler) {
  FileDialogRequest seen;
  std::optional<CDuiString> answer;
  SetFileDialogHandlerForTesting([&](const FileDialogRequest& r) {
    seen = r;
    return answer;
  });
  FileDialogRequest req;
  req.filter_label = u"Keyboard Profile File";
  req.filter_pattern = u"*.kpo;*.KPO";
  req.default_extension = u"kpo";
  struct Case {
    bool save;
    std::optional<CDuiString> answer;
    std::optional<CDuiString> want;
  };
  const Case cases[] = {
      {true, CDuiString(u"/tmp/game"), CDuiString(u"/tmp/game.kpo")},
      {true, CDuiString(u"/tmp/game.KPO"), CDuiString(u"/tmp/game.KPO")},
      {false, CDuiString(u"/tmp/game"), CDuiString(u"/tmp/game")},
      {true, std::nullopt, std::nullopt},
      {false, CDuiString(u""), std::nullopt},
  };
  for (const auto& c : cases) {
    answer = c.answer;
    auto got = c.save ? GetSaveFileName(req) : GetOpenFileName(req);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(seen.save, c.save);
    EXPECT_EQ(seen.filter_label, CDuiString(u"Keyboard Profile File"));
    EXPECT_EQ(seen.filter_pattern, CDuiString(u"*.kpo;*.KPO"));
  }
  SetFileDialogHandlerForTesting(nullptr);
}

}  // namespace
