// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A KB_3 device link against the virtual keyboard, with its stores in a fresh folder, the pacing
// recorded instead of slept, and the library's posts collected for the test to hand on.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "common/test_folders.h"
#include "device/device_notification.h"
#include "device/hid_library_binding.h"
#include "device/virtual_keyboard_handle.h"
#include "session/device_link.h"
#include "session/message_inbox.h"
#include "session/model_data.h"
#include "session/recording_observer.h"
#include "session/recording_sleeper.h"

namespace kb::test {

class LinkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(keyboard.Reset());
    folder.emplace("kb_link", StoreBase());
    ASSERT_TRUE(folder->ok());
    dir = folder->path();
    paths = {dir / "Data/kb/kb_3/data.pros", dir / "Data/kb/kb_3/macro.mcos"};
    data = std::make_unique<ModelData>(Model::KB_3, paths);
    (void)data->Load(u"Profile_1");
    link = std::make_unique<DeviceLink>(*data, binding, observer, sleeper);
    start = link->Start(DemoDirectory(), inbox.target());
    ASSERT_TRUE(start.present()) << start.library.reason();
    // The firmware version the keyboard announces when the monitor opens.
    ASSERT_TRUE(Deliver(kDeviceDataMessage).ok());
    keyboard.TakeLog();
  }

  void TearDown() override {
    // Drops the library's target before the inbox goes, so no late post reaches it.
    keyboard.Reset();
    folder.reset();
  }

  virtual std::filesystem::path StoreBase() { return testing::TemporaryBase(); }

  // Hands the next message `message` to the link, as the main window does.
  Status Deliver(std::uint32_t message) {
    const auto m = inbox.WaitFor(message);
    if (!m) return Status::Fail("no message " + std::to_string(message));
    return link->OnDeviceNotification(DeviceNotificationValue(m->message, m->wparam, m->lparam));
  }

  // The transfers the keyboard received since the last call, parsed back from its log.
  std::vector<std::string> TakeLog() { return keyboard.TakeLog(); }

  VirtualKeyboard keyboard;
  std::optional<testing::TempFolder> folder;
  std::filesystem::path dir;
  ModelPaths paths;
  MessageInbox inbox;
  RecordingObserver observer;
  RecordingSleeper sleeper;
  HidLibraryBinding binding;
  std::unique_ptr<ModelData> data;
  std::unique_ptr<DeviceLink> link;
  DeviceLinkStart start;
};

}  // namespace kb::test
