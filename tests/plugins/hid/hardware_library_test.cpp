// SPDX-License-Identifier: GPL-3.0-or-later
// The hardware variant loads, binds all eleven exports and answers failure, not a crash or a
// hang, when no keyboard is attached (the test machine has none with these ids).
#include <gtest/gtest.h>

#include <array>

#include "kb_device_ids.h"
#include "plugins/hid/hid_library_loader.h"
#include "plugins/hid/message_recorder.h"

namespace kb::test {
namespace {

LoadedLibrary& HardwareLibrary() {
  static LoadedLibrary* lib = new LoadedLibrary(LoadHidLibrary(KB_HARDWARE_HID_LIBRARY, true));
  return *lib;
}

class HardwareLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(lib().handle, nullptr) << lib().error; }
  static LoadedLibrary& lib() { return HardwareLibrary(); }
  static const HidExports& hid() { return lib().hid; }
};

TEST_F(HardwareLibraryTest, ExportsTheElevenCallsAndNoTestCalls) {
  const void* exports[] = {reinterpret_cast<const void*>(hid().set_ids),
                           reinterpret_cast<const void*>(hid().open_monitor),
                           reinterpret_cast<const void*>(hid().close_monitor),
                           reinterpret_cast<const void*>(hid().open_feature),
                           reinterpret_cast<const void*>(hid().close_feature),
                           reinterpret_cast<const void*>(hid().open_report),
                           reinterpret_cast<const void*>(hid().close_report),
                           reinterpret_cast<const void*>(hid().set_feature),
                           reinterpret_cast<const void*>(hid().get_feature),
                           reinterpret_cast<const void*>(hid().write_usb),
                           reinterpret_cast<const void*>(hid().read_usb)};
  for (const void* e : exports) EXPECT_NE(e, nullptr);
  // The vkb_ calls belong to the virtual keyboard alone.
  EXPECT_EQ(lib().missing, 9);
}

TEST_F(HardwareLibraryTest, FailsCleanlyWithoutAKeyboard) {
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
  EXPECT_EQ(hid().open_feature(), 0);
  EXPECT_EQ(hid().open_report(), 0);
  std::array<unsigned char, 64> report{};
  EXPECT_EQ(hid().set_feature(report.data(), 8), 0);
  EXPECT_EQ(hid().get_feature(report.data(), 8), 0);
  EXPECT_EQ(hid().write_usb(report.data(), 64), 0);
  EXPECT_EQ(hid().read_usb(report.data(), 64), 0);
  EXPECT_EQ(hid().close_feature(), 1);
  EXPECT_EQ(hid().close_report(), 1);
}

TEST_F(HardwareLibraryTest, RefusesBadArguments) {
  std::array<unsigned char, 65> report{};
  EXPECT_EQ(hid().set_ids(-1, KB_3_PRODUCT_ID), 0);
  EXPECT_EQ(hid().set_ids(KB_VENDOR_ID, 0x10000), 0);
  EXPECT_EQ(hid().set_feature(report.data(), 9), 0);
  EXPECT_EQ(hid().set_feature(nullptr, 8), 0);
  EXPECT_EQ(hid().write_usb(report.data(), 65), 0);
  EXPECT_EQ(hid().write_usb(nullptr, 64), 0);
  EXPECT_EQ(hid().open_monitor(nullptr, 1431, 1432), 0);
}

TEST_F(HardwareLibraryTest, MonitorStartsAndStopsWithoutAKeyboard) {
  ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
  kb_message_target target = ProcessRecorder().target();
  ASSERT_EQ(hid().open_monitor(&target, 1431, 1432), 1);
  EXPECT_EQ(hid().open_monitor(&target, 1431, 1432), 1);  // a second open keeps the one monitor
  EXPECT_EQ(hid().close_monitor(), 1);
  EXPECT_EQ(hid().close_monitor(), 1);
  // Nothing was attached, so the monitor had nothing to announce.
  EXPECT_TRUE(ProcessRecorder().messages().empty());
}

}  // namespace
}  // namespace kb::test
