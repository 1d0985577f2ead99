// SPDX-License-Identifier: GPL-3.0-or-later
// kbctl apply and kbctl devices, run as the user runs them, on an application directory that
// holds the virtual keyboard.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/test_folders.h"
#include "device/device_test_profiles.h"
#include "device/transfer_parser.h"
#include "macro/macro_store.h"
#include "profile/profile_store.h"
#include "profile/store_lock.h"
#include "session/model_session.h"

namespace kb {
namespace {

struct CommandRun {
  int status = -1;
  std::string output;
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }
};

class KbctlDeviceCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.emplace("kb_kbctl");
    ASSERT_TRUE(folder->ok());
    app = folder->path();
    std::filesystem::create_directories(app / "KB");
    std::filesystem::copy_file(std::filesystem::path(KB_TEST_DEMO_DIR) / "KB/Torvane_3.so",
                               app / "KB/Torvane_3.so");
  }

  // `environment`: assignments put before the command, as a shell takes them.
  CommandRun Kbctl(const std::string& arguments, const std::string& environment = "",
                   const char* errors = "2>&1") {
    const std::string command = environment + " " + KB_TEST_KBCTL + " --app-dir '" + app.string() +
                                "' " + arguments + " " + errors;
    CommandRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
      run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  std::optional<testing::TempFolder> folder;
  std::filesystem::path app;
};

TEST_F(KbctlDeviceCommands, DevicesReportsTheKeyboardAndItsFirmware) {
  const CommandRun run = Kbctl("devices");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "kb_3: present, firmware 1.05\n");
}

// The shipped hardware library on the hidapi stand-in: a keyboard the user may not open is
// told apart from an absent one, with its node and the fix; an opened one names its node.
TEST_F(KbctlDeviceCommands, DevicesTellsAbsentPresentAndNotPermittedApart) {
  std::filesystem::copy_file(KB_TEST_HARDWARE_HID, app / "KB/Torvane_3.so",
                             std::filesystem::copy_options::overwrite_existing);
  auto devices = [&](const std::string& setup) {
    // The library's own hint on standard error is not what is checked here.
    return Kbctl("devices",
                 "KB_HID_STANDIN_SETUP='" + setup + "' LD_PRELOAD='" + KB_TEST_HID_STANDIN + "'",
                 "2>/dev/null")
        .output;
  };
  EXPECT_EQ(devices(""), "kb_3: absent (Open_HIDReportDevice failed)\n");
  EXPECT_EQ(devices("plug"), "kb_3: present at /dev/hidraw5 (interface 2), firmware 1.05\n");
  EXPECT_EQ(devices("deny;plug"),
            "kb_3: found at /dev/hidraw5, but this user may not open it (Permission denied)\n"
            "  To fix: sudo cp dist/70-kbconfig.rules /etc/udev/rules.d/, then unplug the "
            "keyboard and plug it in again.\n");
}

TEST_F(KbctlDeviceCommands, WithoutTheLibraryThereIsNoDeviceLink) {
  std::filesystem::remove(app / "KB/Torvane_3.so");
  const CommandRun devices = Kbctl("devices");
  EXPECT_EQ(devices.status, 1);
  EXPECT_NE(devices.output.find("no device link"), std::string::npos) << devices.output;
  const CommandRun apply = Kbctl("apply");
  EXPECT_EQ(apply.status, 1);
  EXPECT_NE(apply.output.find("KB/Torvane_3.so"), std::string::npos) << apply.output;
}

TEST_F(KbctlDeviceCommands, DryRunPrintsTheFullApplyWithItsMacroPages) {
  // A store whose selected profile binds a key to a macro of 300 short presses: 604 bytes, two
  // macro pages.
  StoreHeader header{};
  ProfileList profiles;
  NewDefaultProfile(u"Other", Model::KB_3, profiles);
  ProfileRecord& chosen = NewDefaultProfile(u"Chosen", Model::KB_3, profiles);
  test::BindMacro(chosen.banks[0].keys[7], 0, 2);
  header.selected_index = 1;
  MacroList macros;
  macros.push_back(test::EmptyMacro(u"long"));
  for (int i = 0; i < 300; ++i) test::AddAction(*macros[0], test::Action(0x04, 1, 10));
  ASSERT_TRUE(SaveProfileStore(app / "Data/kb/kb_3/data.pros", header, profiles).ok());
  ASSERT_TRUE(SaveMacroStore(app / "Data/kb/kb_3/macro.mcos", macros).ok());

  const CommandRun run = Kbctl("apply --dry-run");
  ASSERT_EQ(run.status, 0) << run.output;
  const auto lines = run.lines();
  EXPECT_EQ(lines.size(), 123u + 2u * 9u);
  const auto parsed = test::ParseLog(lines);
  ASSERT_TRUE(parsed.error.empty()) << parsed.error;
  EXPECT_EQ(test::Commands(parsed),
            (std::vector<std::uint8_t>{0x0E, 0x01, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,
                                       0x04, 0x04, 0x02, 0x02, 0x02, 0x02, 0x0E, 0x08}));
  EXPECT_EQ(parsed.transfers[10].data[0], 0x00);
  EXPECT_EQ(parsed.transfers[10].data[1], 0x02) << "the key's loop count";
  EXPECT_EQ(lines.front(), "F 0E00000000000800");
}

// The one test that runs the real 20 ms pacing: 123 reports, about 2.5 s.
TEST_F(KbctlDeviceCommands, ApplySendsEverythingAndSavesTheStore) {
  const auto started = std::chrono::steady_clock::now();
  const CommandRun run = Kbctl("apply");
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "applied: 123 reports (0 macro pages, 0 macro programs)\n");
  EXPECT_GE(elapsed, std::chrono::milliseconds(123 * 20));
  EXPECT_EQ(std::filesystem::file_size(app / "Data/kb/kb_3/data.pros"), 48628u);
}

// Two macros of 3000 short presses take about 12000 bytes; the keyboard holds 10000. The apply
// sends what fits and says, with its own exit status, that a macro was left out: by name, once
// however many keys it has, and as the program's session names it for the same store.
TEST_F(KbctlDeviceCommands, ApplyThatLeftAMacroOutNamesItAsTheProgramDoes) {
  StoreHeader header{};
  ProfileList profiles;
  ProfileRecord& profile = NewDefaultProfile(u"Long", Model::KB_3, profiles);
  MacroList macros;
  for (int m = 0; m < 2; ++m) {
    test::BindMacro(profile.banks[0].keys[7 + m], m);
    macros.push_back(test::EmptyMacro(m == 0 ? u"first" : u"second"));
    for (int i = 0; i < kMaxMacroActions; ++i)
      test::AddAction(*macros[m], test::Action(0x04, 1, 10));
  }
  test::BindMacro(profile.banks[0].keys[20], 1);  // the one left out, on a second key
  ASSERT_TRUE(SaveProfileStore(app / "Data/kb/kb_3/data.pros", header, profiles).ok());
  ASSERT_TRUE(SaveMacroStore(app / "Data/kb/kb_3/macro.mcos", macros).ok());

  class NoObserver final : public DeviceObserver {
    void ShowApplyRing(bool) override {}
    bool ResumeAllowed() override { return false; }
    void ApplyFinished(const ApplyOutcome&) override {}
    void DeviceStateChanged() override {}
    void ShowFirmwareVersion(const std::string&) override {}
    void ShowLightMode(int) override {}
  } observer;
  RealSleeper sleeper;
  ModelSession program(kKb3Info, {app, app}, observer, sleeper);
  (void)program.data().Load(u"unused");
  const std::vector<std::u16string> named = program.LeftOutMacros();
  ASSERT_EQ(named, std::vector<std::u16string>{u"second"});

  const CommandRun run = Kbctl("apply");
  EXPECT_EQ(run.status, 3) << run.output;
  EXPECT_NE(run.output.find("macro program(s) did not fit"), std::string::npos) << run.output;
  EXPECT_TRUE(run.output.ends_with("their keys do nothing: \"second\"\n")) << run.output;
}

// An apply whose store could not be saved afterwards, or that the program's lock forbids, must
// stop before it opens the keyboard: the run ends at once, with no report line.
TEST_F(KbctlDeviceCommands, ApplyThatCouldNotSaveSendsNothing) {
  std::ofstream(app / "Data") << "a file where the data folder belongs";
  CommandRun run = Kbctl("apply");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_EQ(run.output.find("applied"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Data"), std::string::npos) << run.output;

  std::filesystem::remove(app / "Data");
  StoreLock program;
  ASSERT_TRUE(StoreLock::HoldForProgram(
                  {app / "Data/kb/kb_3/data.pros", app / "Data/kb/kb_3/macro.mcos"}, &program)
                  .ok());
  run = Kbctl("apply");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(run.output.starts_with("kbctl: kbconfig is running: ")) << run.output;
  EXPECT_FALSE(std::filesystem::exists(app / "Data/kb/kb_3/data.pros"));
}

TEST_F(KbctlDeviceCommands, KB4HasNoDeviceLinkAndDryRunTakesNoOtherArgument) {
  EXPECT_EQ(Kbctl("--model kb_4 devices").status, 1);
  EXPECT_EQ(Kbctl("apply --dry-run now").status, 2);
}

}  // namespace
}  // namespace kb
