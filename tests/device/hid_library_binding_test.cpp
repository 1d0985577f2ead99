// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid_library_binding.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "device/transfer_writer.h"
#include "device/unlock_code.h"
#include "session/device_link.h"
#include "session/link_fixture.h"
#include "session/recording_observer.h"
#include "session/recording_sleeper.h"

namespace kb {
namespace {

using test::RecordingObserver;
using test::RecordingSleeper;

int CallsInto(const char* library) {
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return -1;
  auto calls = reinterpret_cast<int (*)()>(dlsym(handle, "partial_hid_calls"));
  return calls ? calls() : -1;
}

TEST(HidLibraryBinding, MissingLibraryMeansNoDeviceLink) {
  HidLibraryBinding binding;
  const Status loaded = binding.Load("/nonexistent/KB/Torvane_3.so");
  EXPECT_FALSE(loaded.ok());
  EXPECT_FALSE(binding.bound());
  EXPECT_NE(binding.unbound_reason().find("cannot load"), std::string::npos)
      << binding.unbound_reason();
  const std::array<std::uint8_t, 8> header{};
  EXPECT_FALSE(binding.SetFeature(header).ok());
  EXPECT_FALSE(binding.OpenChannels().ok());
  const DeviceOpenResult open = binding.Open(1, 2, nullptr, 1431, 1432);
  EXPECT_FALSE(open.present());
  EXPECT_EQ(open.Problems().size(), 4u);
}

TEST(HidLibraryBinding, AMissingCalledExportRefusesTheLinkAndCallsNothing) {
  HidLibraryBinding binding;
  const Status loaded = binding.Load(KB_TEST_LIB_WITHOUT_WRITE);
  EXPECT_FALSE(loaded.ok());
  EXPECT_FALSE(binding.bound());
  EXPECT_NE(binding.unbound_reason().find("WriteHIDUSB"), std::string::npos)
      << binding.unbound_reason();
  const std::array<std::uint8_t, 64> chunk{};
  EXPECT_FALSE(binding.WriteOutput(chunk).ok());
  EXPECT_FALSE(binding.CloseChannels().ok());
  EXPECT_FALSE(binding.Open(1, 2, nullptr, 1431, 1432).present());
  EXPECT_EQ(CallsInto(KB_TEST_LIB_WITHOUT_WRITE), 0);
}

TEST(HidLibraryBinding, AMissingFirstExportAlsoRefusesIt) {
  HidLibraryBinding binding;
  EXPECT_FALSE(binding.Load(KB_TEST_LIB_WITHOUT_SELECT).ok());
  EXPECT_NE(binding.unbound_reason().find("Set_HIDVIDPID"), std::string::npos);
  EXPECT_EQ(CallsInto(KB_TEST_LIB_WITHOUT_SELECT), 0);
}

TEST(HidLibraryBinding, AMissingUncalledExportIsNotedButBinds) {
  const int before = CallsInto(KB_TEST_LIB_WITHOUT_READ);
  HidLibraryBinding binding;
  ASSERT_TRUE(binding.Load(KB_TEST_LIB_WITHOUT_READ).ok());
  EXPECT_TRUE(binding.bound());
  EXPECT_EQ(binding.missing_unused_exports(), (std::vector<std::string>{"ReadHIDUSB"}));
  const DeviceOpenResult open = binding.Open(1, 2, nullptr, 1431, 1432);
  EXPECT_TRUE(open.present());
  EXPECT_TRUE(open.Problems().empty());
  EXPECT_EQ(CallsInto(KB_TEST_LIB_WITHOUT_READ) - before, 4)
      << "Set_HIDVIDPID, Open_HIDMonitor, both opens";
}

TEST(HidLibraryBinding, LoadingTwiceIsRefused) {
  HidLibraryBinding binding;
  ASSERT_TRUE(binding.Load(KB_TEST_LIB_WITHOUT_READ).ok());
  EXPECT_FALSE(binding.Load(KB_TEST_LIB_WITHOUT_READ).ok());
  EXPECT_TRUE(binding.bound());
}

// The program goes on without a link: start-up reports the reason, the device stays closed,
// an apply only saves the store.
TEST(DeviceLinkWithoutLibrary, StartsClosedAndApplyOnlySaves) {
  const testing::TempFolder folder("kb_nolib");
  ASSERT_TRUE(folder.ok());
  const std::filesystem::path& dir = folder.path();
  ModelData data(Model::KB_3, {dir / "Data/kb/kb_3/data.pros", dir / "Data/kb/kb_3/macro.mcos"});
  (void)data.Load(u"Profile_1");
  std::filesystem::remove(data.paths().profile_store);
  HidLibraryBinding binding;
  RecordingObserver observer;
  RecordingSleeper sleeper;
  DeviceLink link(data, binding, observer, sleeper);
  const DeviceLinkStart start = link.Start(dir, nullptr);
  EXPECT_FALSE(start.library.ok());
  EXPECT_NE(start.library.reason().find("KB/Torvane_3.so"), std::string::npos)
      << start.library.reason();
  EXPECT_FALSE(start.present());
  EXPECT_EQ(data.device_state(), DeviceState::Absent);
  EXPECT_EQ(observer.state_changes(), 1) << "the state change is reported either way";

  const ApplyOutcome outcome = link.ApplyProfile();
  EXPECT_EQ(outcome.result, ApplyOutcome::Result::Absent);
  EXPECT_TRUE(std::filesystem::exists(data.paths().profile_store));
  EXPECT_EQ(sleeper.count(), 0u);
  // A stray arrival cannot reach a library that is not there.
  EXPECT_FALSE(link.OnDeviceNotification(0x7F000001).ok());
  EXPECT_EQ(sleeper.count(), 0u);
  EXPECT_EQ(observer.state_changes(), 1);
}

TEST(DeviceLinkWithoutLibrary, ALibraryLackingAnExportLeavesTheDeviceClosed) {
  const testing::TempFolder folder("kb_partial");
  ASSERT_TRUE(folder.ok());
  const std::filesystem::path& dir = folder.path();
  std::filesystem::create_directories(dir / "KB");
  std::filesystem::copy_file(KB_TEST_LIB_WITHOUT_WRITE, dir / "KB/Torvane_3.so");
  ModelData data(Model::KB_3, {dir / "data.pros", dir / "macro.mcos"});
  (void)data.Load(u"Profile_1");
  HidLibraryBinding binding;
  RecordingObserver observer;
  RecordingSleeper sleeper;
  DeviceLink link(data, binding, observer, sleeper);
  const DeviceLinkStart start = link.Start(dir, nullptr);
  EXPECT_FALSE(start.present());
  EXPECT_NE(start.library.reason().find("WriteHIDUSB"), std::string::npos);
}

}  // namespace
}  // namespace kb
