// SPDX-License-Identifier: GPL-3.0-or-later
// The hardware "KB/Torvane_3.so" as shipped, on the hidapi and libudev stand-in, through the
// device link the program uses: the interface it picks, every report of a full and an edited
// apply byte for byte, arrival and removal heard from udev and, where no udev daemon runs, by
// searching; a cable pulled during an apply; the keyboard's notifications; a failed read; a node
// the user may not open.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/taken_lines.h"
#include "common/test_folders.h"
#include "device/device_notification.h"
#include "device/hid_library_binding.h"
#include "device/macro_snapshot.h"
#include "device/profile_transfer.h"
#include "device/transfer_log.h"
#include "device/transfer_writer.h"
#include "hid_standin.h"
#include "plugins/hid/hid_library_loader.h"
#include "session/device_link.h"
#include "session/message_inbox.h"
#include "session/model_data.h"
#include "session/recording_observer.h"
#include "session/recording_sleeper.h"

namespace kb::test {
namespace {

using namespace std::chrono_literals;

class NoPause final : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds) override {}
};

std::string VendorNode() {
  char node[64];
  hidstandin_vendor_node(node, sizeof node);
  return node;
}

// What `changed` of `profile` is on the wire, as the program's own framing makes it.
std::vector<std::string> Expected(const ProfileRecord& profile, ChangedFlags changed) {
  ProfileRecord copy = profile;
  TransferLog log;
  NoPause no_pause;
  TransferWriter writer(log, no_pause);
  (void)SendProfileTransfer(copy, MacroSnapshot::Take(copy, MacroList{}), changed, writer);
  std::vector<std::string> lines;
  for (const LoggedReport& report : log.reports()) lines.push_back(TransferLogLine(report));
  return lines;
}

class HardwareOnStandinTest : public ::testing::Test {
 protected:
  // The library stays loaded and keeps its monitor between tests, as in the program; each test
  // starts it anew, so it decides again between udev and searching.
  static LoadedLibrary& Hardware() {
    static LoadedLibrary* lib = new LoadedLibrary(LoadHidLibrary(KB_HARDWARE_HID_LIBRARY, false));
    return *lib;
  }

  void SetUp() override {
    ASSERT_NE(Hardware().handle, nullptr) << Hardware().error;
    ASSERT_EQ(Hardware().hid.close_monitor(), 1);
    ASSERT_EQ(hidstandin_command("reset"), 1);
    (void)TakenLines(hidstandin_take_log);
    (void)TakenLines(hidstandin_take_violations);
    folder.emplace("kb_standin", testing::TemporaryBase());
    ASSERT_TRUE(folder->ok());
    data = std::make_unique<ModelData>(
        Model::KB_3, ModelPaths{folder->path() / "data.pros", folder->path() / "macro.mcos"});
    (void)data->Load(u"Profile_1");
    ASSERT_TRUE(binding.Load(KB_HARDWARE_HID_LIBRARY).ok());
    link = std::make_unique<DeviceLink>(*data, binding, observer, sleeper);
  }

  void TearDown() override {
    EXPECT_EQ(TakenLines(hidstandin_take_violations), std::vector<std::string>{});
  }

  void Start() { start = link->Start(folder->path(), inbox.target()); }

  // Hands the next change message to the link, as the main window does; its wParam. The
  // link's calls into the library must succeed unless `opens` is false.
  std::optional<std::uintptr_t> DeliverChange(bool opens = true) {
    const auto m = inbox.WaitFor(kDeviceChangeMessage, 5s);
    if (!m) return std::nullopt;
    const Status handled =
        link->OnDeviceNotification(DeviceNotificationValue(m->message, m->wparam, m->lparam));
    EXPECT_EQ(handled.ok(), opens) << handled.reason();
    return m->wparam;
  }

  // The next data message as (code, value).
  std::optional<std::pair<std::uintptr_t, std::intptr_t>> NextData() {
    const auto m = inbox.WaitFor(kDeviceDataMessage);
    if (!m) return std::nullopt;
    return std::pair{m->wparam, m->lparam & 0xFFFF};
  }

  ProfileRecord Current() { return *data->Lock().current(); }

  std::optional<testing::TempFolder> folder;
  MessageInbox inbox;
  RecordingObserver observer;
  RecordingSleeper sleeper;
  HidLibraryBinding binding;
  std::unique_ptr<ModelData> data;
  std::unique_ptr<DeviceLink> link;
  DeviceLinkStart start;
};

TEST_F(HardwareOnStandinTest, OpensTheVendorInterfaceAndAppliesByteForByte) {
  ASSERT_EQ(hidstandin_command("plug"), 1);
  Start();
  ASSERT_TRUE(start.present()) << start.open.report_channel.reason();
  EXPECT_EQ(start.open.access.state, DeviceAccess::State::Opened);
  EXPECT_EQ(start.open.access.node, VendorNode());
  EXPECT_EQ(start.open.access.interface_number, 2);

  const ApplyOutcome full = link->ApplyProfile();
  ASSERT_EQ(full.result, ApplyOutcome::Result::Reached) << full.transfer.status.reason();
  EXPECT_EQ(TakenLines(hidstandin_take_log), Expected(Current(), ChangedFlags::All()));

  // An edit of the lighting alone sends the lighting alone.
  {
    auto edit = data->Lock();
    ActiveBank(*edit.current()).light_mode = 7;
  }
  const ApplyOutcome edited = link->ApplyProfile();
  ASSERT_EQ(edited.result, ApplyOutcome::Result::Reached);
  EXPECT_EQ(TakenLines(hidstandin_take_log), Expected(Current(), ChangedFlags{true, false, false}));

  // A write the keyboard did not take, with the keyboard still there: a failed apply, and the
  // next one sends everything.
  ASSERT_EQ(hidstandin_command("fail-write"), 1);
  EXPECT_EQ(link->ApplyProfile().result, ApplyOutcome::Result::Failed);
  EXPECT_EQ(TakenLines(hidstandin_take_log), std::vector<std::string>{});
  ASSERT_EQ(link->ApplyProfile().result, ApplyOutcome::Result::Reached);
  EXPECT_EQ(TakenLines(hidstandin_take_log), Expected(Current(), ChangedFlags::All()));
}

TEST_F(HardwareOnStandinTest, PostsTheKeyboardsNotifications) {
  ASSERT_EQ(hidstandin_command("plug"), 1);
  Start();
  ASSERT_TRUE(start.present());
  // The keyboard greets the monitor's reader with its firmware version. A reader opened before
  // the link's own handle also hears the greeting of that open, as every reader of a hidraw node
  // hears every input report: once the reader has its greeting, a second one may follow.
  constexpr std::pair<std::uintptr_t, std::intptr_t> kGreeting{0x0000, 0x0105};
  EXPECT_EQ(NextData(), kGreeting);
  ASSERT_EQ(hidstandin_command("bank 1"), 1);
  auto bank = NextData();
  if (bank == kGreeting) bank = NextData();
  EXPECT_EQ(bank, (std::pair<std::uintptr_t, std::intptr_t>{0x0508, 0x0101}));
  ASSERT_EQ(hidstandin_command("light 5"), 1);
  EXPECT_EQ(NextData(), (std::pair<std::uintptr_t, std::intptr_t>{0x030B, 0x0600}));
  // A failed read closes the reader and searches again: the keyboard is still there, the reader
  // is opened anew and greeted again; no removal is told.
  ASSERT_EQ(hidstandin_command("fail-read"), 1);
  EXPECT_EQ(NextData(), kGreeting);
  EXPECT_FALSE(inbox.WaitFor(kDeviceChangeMessage, 300ms).has_value());
}

// Where a udev daemon runs, arrival and removal come from its events and nothing is searched in
// between; where none runs (libudev's monitor would never speak), the keyboard is searched for.
class HotPlugTest : public HardwareOnStandinTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HotPlugTest, PluggedInAfterStartFollowedToNewNodesAndRemovalTold) {
  const bool udev = GetParam();
  ASSERT_EQ(hidstandin_command(udev ? "udev on" : "udev off"), 1);
  Start();
  ASSERT_FALSE(start.present());
  EXPECT_EQ(start.open.access.state, DeviceAccess::State::Absent);

  // Plugged in well after the monitor's first search, so only its watch can find it.
  std::this_thread::sleep_for(200ms);
  const long before = hidstandin_enumerations();
  std::this_thread::sleep_for(1300ms);
  if (udev) {
    EXPECT_EQ(hidstandin_enumerations(), before) << "searched although udev runs";
  }
  ASSERT_EQ(hidstandin_command("plug"), 1);
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(1));
  EXPECT_EQ(data->device_state(), DeviceState::Present);
  EXPECT_EQ(binding.QueryAccess().node, VendorNode());
  const ApplyOutcome applied = link->ApplyProfile();
  EXPECT_EQ(applied.result, ApplyOutcome::Result::Reached);
  (void)TakenLines(hidstandin_take_log);

  // Out and in again at once: the keyboard is on new nodes, and the program's channels must
  // move there, so it hears a removal and an arrival.
  const std::string old_node = VendorNode();
  ASSERT_EQ(hidstandin_command("replug"), 1);
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(0));
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(1));
  EXPECT_NE(VendorNode(), old_node);
  EXPECT_EQ(binding.QueryAccess().node, VendorNode());
  EXPECT_EQ(link->ApplyProfile().result, ApplyOutcome::Result::Reached);
  (void)TakenLines(hidstandin_take_log);

  ASSERT_EQ(hidstandin_command("unplug"), 1);
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(0));
  EXPECT_EQ(data->device_state(), DeviceState::Absent);
}

INSTANTIATE_TEST_SUITE_P(UdevOrSearch, HotPlugTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Udev" : "Search"; });

TEST_F(HardwareOnStandinTest, ACablePulledDuringAnApplyFailsItAndTheNextApplyIsFull) {
  ASSERT_EQ(hidstandin_command("plug"), 1);
  Start();
  ASSERT_TRUE(start.present());
  ASSERT_EQ(link->ApplyProfile().result, ApplyOutcome::Result::Reached);
  (void)TakenLines(hidstandin_take_log);

  {
    auto edit = data->Lock();
    ActiveBank(*edit.current()).light_mode = 3;
  }
  ASSERT_EQ(hidstandin_command("unplug-after 5"), 1);
  const ApplyOutcome cut = link->ApplyProfile();
  EXPECT_EQ(cut.result, ApplyOutcome::Result::Lost);
  EXPECT_EQ(TakenLines(hidstandin_take_log).size(), 5u);
  // Plugged in again at once, on new nodes: whether the monitor saw the keyboard gone or only
  // found it on another node, the program hears a removal and then an arrival.
  ASSERT_EQ(hidstandin_command("plug"), 1);
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(0));
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(1));
  EXPECT_EQ(binding.QueryAccess().node, VendorNode());

  const ApplyOutcome next = link->ApplyProfile();
  ASSERT_EQ(next.result, ApplyOutcome::Result::Reached) << next.transfer.status.reason();
  EXPECT_EQ(TakenLines(hidstandin_take_log), Expected(Current(), ChangedFlags::All()));
}

TEST_F(HardwareOnStandinTest, ACableOutAndInAgainBeforeTheApplyGivesUpIsStillAPulledCable) {
  ASSERT_EQ(hidstandin_command("plug"), 1);
  Start();
  ASSERT_TRUE(link->ApplyProfile().reached());
  ActiveBank(*data->Lock().current()).light_mode = 3;
  sleeper.Clear();
  // The page hears the removal and the keyboard is back on new nodes, all while the apply
  // waits between two reports: the next report goes to the old node and fails.
  sleeper.OnSleep([&](std::size_t n) {
    if (n != 2) return;
    ASSERT_EQ(hidstandin_command("unplug"), 1);
    ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(0));
    ASSERT_EQ(hidstandin_command("plug"), 1);
  });
  const ApplyOutcome cut = link->ApplyProfile();
  sleeper.OnSleep(nullptr);
  EXPECT_EQ(cut.result, ApplyOutcome::Result::Lost) << cut.transfer.status.reason();
}

TEST_F(HardwareOnStandinTest, AKeyboardTheUserMayNotOpenIsNotAbsent) {
  ASSERT_EQ(hidstandin_command("deny"), 1);
  ASSERT_EQ(hidstandin_command("plug"), 1);
  Start();
  EXPECT_FALSE(start.present());
  EXPECT_EQ(start.open.access.state, DeviceAccess::State::NotPermitted);
  EXPECT_EQ(start.open.access.node, VendorNode());
  EXPECT_EQ(start.open.access.interface_number, 2);

  // Replugged before the rule is in place: found again, and still not one to configure.
  ASSERT_EQ(hidstandin_command("replug"), 1);
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(0));
  ASSERT_EQ(DeliverChange(false), std::optional<std::uintptr_t>(1));
  EXPECT_EQ(data->device_state(), DeviceState::Absent);
  EXPECT_EQ(binding.QueryAccess().state, DeviceAccess::State::NotPermitted);
  // With the rule in place, the next replug opens it.
  ASSERT_EQ(hidstandin_command("allow"), 1);
  ASSERT_EQ(hidstandin_command("replug"), 1);
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(0));
  ASSERT_EQ(DeliverChange(), std::optional<std::uintptr_t>(1));
  EXPECT_EQ(data->device_state(), DeviceState::Present);
  EXPECT_EQ(link->ApplyProfile().result, ApplyOutcome::Result::Reached);
  (void)TakenLines(hidstandin_take_log);
}

}  // namespace
}  // namespace kb::test
