// SPDX-License-Identifier: GPL-3.0-or-later
// Device commands: apply the selected profile to the keyboard, and ask whether it is there.

#include "device_commands.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>

#include "command.h"
#include "common/udev_rule_fix.h"
#include "common/utf16_text.h"
#include "device/device_notification.h"
#include "device/hid_library_binding.h"
#include "device/macro_snapshot.h"
#include "device/profile_transfer.h"
#include "device/sleeper.h"
#include "device/transfer_log.h"
#include "device/transfer_writer.h"
#include "session/device_link.h"
#include "session/model_data.h"
#include "session/model_session.h"
#include "stores.h"

namespace kbctl {
namespace {

// How long `devices` waits for the keyboard to report its firmware after the monitor opened.
constexpr std::chrono::milliseconds kVersionWait{1000};

class NoPause final : public kb::Sleeper {
 public:
  void Sleep(std::chrono::milliseconds) override {}
};

// Stands for the main window: keeps the firmware version the library posts from its thread.
class MessageSink {
 public:
  const kb_message_target* target() const { return &target_; }

  std::optional<std::uint16_t> WaitForVersion(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return version_.has_value(); });
    return version_;
  }

 private:
  static void Post(void* context, std::uint32_t message, std::uintptr_t wparam,
                   std::intptr_t lparam) {
    auto* self = static_cast<MessageSink*>(context);
    const kb::DeviceNotification n =
        kb::DecodeDeviceNotification(kb::DeviceNotificationValue(message, wparam, lparam));
    if (message != kb::kDeviceDataMessage ||
        n.kind != kb::DeviceNotification::Kind::FirmwareVersion)
      return;
    {
      std::lock_guard lock(self->mutex_);
      self->version_ = n.version;
    }
    self->arrived_.notify_all();
  }

  kb_message_target target_{&MessageSink::Post, this};
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::optional<std::uint16_t> version_;
};

// The library may post until the process ends, so its target is never destroyed.
MessageSink& ProcessMessageSink() {
  static MessageSink* sink = new MessageSink;
  return *sink;
}

// The command line has no page: nothing to show or hide.
class QuietObserver final : public kb::DeviceObserver {
 public:
  void ShowApplyRing(bool) override {}
  bool ResumeAllowed() override { return true; }
  void ApplyFinished(const kb::ApplyOutcome&) override {}
  void DeviceStateChanged() override {}
  void ShowFirmwareVersion(const std::string&) override {}
  void ShowLightMode(int) override {}
};

void RequireDeviceLink(const Context& context) {
  const kb::ModelInfo& info = kb::InfoOf(context.model);
  if (!info.has_device_link) throw CommandFailed(std::string(info.name) + " has no device link");
}

// Binds the HID library before anything touches a store, so a missing library changes no file.
void BindLibrary(const Context& context, kb::HidLibraryBinding& binding) {
  const kb::Status loaded = binding.LoadFromAppDirectory(context.paths.app_dir);
  if (!loaded.ok()) {
    throw CommandFailed(std::string(kb::InfoOf(context.model).id) +
                        ": no device link: " + loaded.reason());
  }
}

bool DryRunRequested(const Context& context) {
  for (const std::string& arg : context.args) {
    if (arg != "--dry-run")
      throw UsageError("unknown argument \"" + arg + "\" (usage: kbctl apply [--dry-run])");
  }
  return !context.args.empty();
}

void DryRun(Context& context) {
  const ProfileStore store = LoadProfiles(context);
  const kb::MacroList macros = LoadMacros(context).list;
  const auto index = static_cast<std::size_t>(store.header.selected_index);
  if (index >= store.list.size()) throw CommandFailed("the profile store holds no profiles");
  *context.out << DryRunReports(*store.list[index], macros);
}

void Apply(Context& context) {
  // A dry run talks to no keyboard, so it works for every model.
  if (DryRunRequested(context)) return DryRun(context);
  RequireDeviceLink(context);
  QuietObserver observer;
  kb::RealSleeper sleeper;
  // The session the program stands on too, without its worker: the apply runs here.
  kb::ModelSession session(kb::InfoOf(context.model), context.paths, observer, sleeper);
  BindLibrary(context, session.binding());
  // The apply saves the profile store (the offsets it gave the macros): a write.
  const kb::StoreLock lock = LockForWriting(context);
  const kb::SessionStart start =
      session.Start(FirstProfileName(context), ProcessMessageSink().target(), /*worker=*/false);
  // Nothing is sent unless the store can be saved afterwards: an unreadable store must not be
  // replaced, and a profile that could not even be stored must not reach the keyboard alone.
  const kb::ModelDataLoad& load = start.stores;
  if (!load.profiles.read.ok())
    throw CommandFailed("cannot read the profile store: " + load.profiles.read.reason());
  if (!load.profiles.save.ok())
    throw CommandFailed("cannot create the profile store: " + load.profiles.save.reason());
  if (!load.macros.read.ok())
    throw CommandFailed("cannot read the macro store: " + load.macros.read.reason());
  if (!start.link.library.ok()) throw CommandFailed(start.link.library.reason());
  const kb::ApplyOutcome outcome = session.link().ApplyProfile();
  *context.out << DescribeApply(outcome) << '\n';
  for (const std::filesystem::path& kept : session.data().TakeDamagedCopies()) {
    std::cerr << "kbctl: the profile store had a damaged end; the old file is kept as "
              << kept.string() << '\n';
  }
  if (!outcome.store_saved.ok())
    throw CommandFailed("cannot save the profile store: " + outcome.store_saved.reason());
  if (!outcome.reached()) throw CommandFailed("the profile did not reach the keyboard");
  if (outcome.transfer.skipped_programs > 0) {
    // Named as the program names them: each macro once.
    std::string names;
    for (const std::u16string& name : session.LeftOutMacros()) {
      if (!names.empty()) names += ", ";
      names.append("\"").append(kb::ToUtf8(name)).append("\"");
    }
    throw CommandPartlyDone(std::to_string(outcome.transfer.skipped_programs) +
                            " macro program(s) did not fit the keyboard's macro memory and were "
                            "left out, their keys do nothing: " +
                            names);
  }
}

void Devices(Context& context) {
  RequireDeviceLink(context);
  kb::HidLibraryBinding binding;
  BindLibrary(context, binding);
  const kb::ModelInfo& info = kb::InfoOf(context.model);
  const std::string id(info.id);
  MessageSink& sink = ProcessMessageSink();
  const kb::DeviceOpenResult open =
      binding.Open(info.usb_vendor_id, info.usb_product_id, sink.target(), kb::kDeviceDataMessage,
                   kb::kDeviceChangeMessage);
  const kb::DeviceAccess& access = open.access;
  using State = kb::DeviceAccess::State;
  if (!open.present() &&
      (access.state == State::NotPermitted || access.state == State::OpenFailed)) {
    // Found, but not opened: the user must hear that it is there, and what to do.
    *context.out << id << ": found at " << access.node << ", but "
                 << (access.state == State::NotPermitted ? "this user may not open it"
                                                         : "it cannot be opened")
                 << " (" << std::strerror(access.error) << ")\n";
    if (access.state == State::NotPermitted) {
      const kb::UdevRuleFix fix = kb::UdevRuleFixFor(context.paths);
      if (!fix.installed_rule.empty())
        *context.out << "  The package installed the udev rule " << fix.installed_rule.string()
                     << "; udev applies it to a keyboard at its next event.\n";
      *context.out << "  To fix: " << fix.command
                   << ", then unplug the keyboard and plug it in again.\n";
    }
    return;
  }
  if (!open.present()) {
    *context.out << id << ": absent (" << open.report_channel.reason() << ")\n";
    return;
  }
  *context.out << id << ": present";
  if (access.state == State::Opened && !access.node.empty())
    *context.out << " at " << access.node << " (interface " << access.interface_number << ")";
  if (const auto version = sink.WaitForVersion(kVersionWait)) {
    *context.out << ", firmware " << kb::FormatFirmwareVersion(*version);
  }
  *context.out << '\n';
  for (const std::string& problem : open.Problems())
    *context.out << "  warning: " << problem << '\n';
}

constexpr Command kCommands[] = {
    {"apply", "[--dry-run]",
     "send the selected profile and its macros to the keyboard (--dry-run: print the reports)", 0,
     1, Apply},
    {"devices", "", "say whether the keyboard is connected, and its firmware version", 0, 0,
     Devices},
};

}  // namespace

std::string DryRunReports(const kb::ProfileRecord& profile, const kb::MacroList& macros) {
  kb::ProfileRecord copy = profile;
  kb::TransferLog log;
  NoPause no_pause;
  kb::TransferWriter writer(log, no_pause);
  (void)kb::SendProfileTransfer(copy, kb::MacroSnapshot::Take(copy, macros),
                                kb::ChangedFlags::All(), writer);
  return log.Text();
}

std::string DescribeApply(const kb::ApplyOutcome& outcome) {
  using Result = kb::ApplyOutcome::Result;
  std::ostringstream text;
  switch (outcome.result) {
    case Result::Absent:
      text << "no keyboard: nothing sent";
      break;
    case Result::NoProfile:
      text << "no profile selected: nothing sent";
      break;
    case Result::Reached:
    case Result::Failed:
    case Result::Lost: {
      const kb::ProfileTransferResult& t = outcome.transfer;
      text << (outcome.reached()                  ? "applied: "
               : outcome.result == Result::Failed ? "failed: "
                                                  : "keyboard unplugged during the apply: ")
           << t.reports << " reports";
      text << " (" << t.macro_pages << " macro pages, " << t.macro_programs << " macro programs)";
      if (t.skipped_programs > 0)
        text << "; " << t.skipped_programs << " macro programs did not fit the keyboard";
      if (!t.status.ok()) text << "; " << t.status.reason();
      break;
    }
  }
  return text.str();
}

std::span<const Command> DeviceCommands() { return kCommands; }

}  // namespace kbctl
