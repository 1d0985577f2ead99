// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/device_link.h"

#include <memory>

#include "device/device_notification.h"
#include "device/device_protocol.h"
#include "device/profile_transfer.h"
#include "device/transfer_log.h"
#include "device/transfer_writer.h"

namespace kb {
namespace {

class NoPause final : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds) override {}
};

}  // namespace

DeviceLink::DeviceLink(ModelData& data, HidLibraryBinding& binding, DeviceObserver& observer,
                       Sleeper& sleeper)
    : data_(data), binding_(binding), observer_(observer), sleeper_(sleeper) {}

DeviceLinkStart DeviceLink::Start(const std::filesystem::path& app_dir,
                                  const kb_message_target* target) {
  DeviceLinkStart start;
  const ModelInfo& info = data_.info();
  if (!info.has_device_link) {
    start.library = Status::Fail(std::string(info.name) + " has no device link");
  } else if (!binding_.bound()) {
    start.library = binding_.LoadFromAppDirectory(app_dir);
  }
  if (start.library) {
    start.open = binding_.Open(info.usb_vendor_id, info.usb_product_id, target, kDeviceDataMessage,
                               kDeviceChangeMessage);
  } else {
    start.open.report_channel = Status::Fail("no device link: " + start.library.reason());
  }
  data_.Lock().SetDevicePresent(start.present());
  observer_.DeviceStateChanged();
  return start;
}

Status DeviceLink::OnDeviceNotification(std::uint32_t value) {
  using Kind = DeviceNotification::Kind;
  const DeviceNotification n = DecodeDeviceNotification(value);
  switch (n.kind) {
    case Kind::Arrival: {
      // Without a device link the keyboard stays closed, whatever claims to have arrived.
      if (!binding_.bound()) return Status::Fail("no device link: " + binding_.unbound_reason());
      if (data_.device_state() == DeviceState::Present) return Status::Ok();
      sleeper_.Sleep(kArrivalSettle);
      data_.Lock().SetDevicePresent(true);
      Status opened = binding_.OpenChannels();
      // A keyboard this user may not open is no keyboard to configure: the page that says why
      // stays up, and a replug after the udev rule is installed arrives again.
      if (!opened.ok() && binding_.QueryAccess().state == DeviceAccess::State::NotPermitted)
        data_.Lock().SetDevicePresent(false);
      observer_.DeviceStateChanged();
      return opened;
    }
    case Kind::Removal: {
      if (data_.device_state() == DeviceState::Absent) return Status::Ok();
      data_.Lock().SetDevicePresent(false);
      Status closed = binding_.CloseChannels();
      observer_.DeviceStateChanged();
      return closed;
    }
    case Kind::FirmwareVersion:
      observer_.ShowFirmwareVersion(FormatFirmwareVersion(n.version));
      return Status::Ok();
    case Kind::BankSwitch: {
      {
        auto edit = data_.Lock();
        if (edit.current() == nullptr) return Status::Ok();
        edit.current()->active_bank = n.bank;
      }
      return data_.SaveProfileStore();
    }
    case Kind::LightModeSwitch: {
      {
        auto edit = data_.Lock();
        if (edit.current() == nullptr) return Status::Ok();
        ActiveBank(*edit.current()).light_mode = n.light_mode;
      }
      observer_.ShowLightMode(n.light_mode);
      return data_.SaveProfileStore();
    }
    case Kind::Ignored:
      return Status::Ok();
  }
  return Status::Ok();
}

ApplyOutcome DeviceLink::ApplyProfile() {
  ApplyOutcome outcome;
  ApplyTake take = data_.TakeForApply();
  if (take.device_state != DeviceState::Present || !take.profile) {
    outcome.result = take.device_state != DeviceState::Present ? ApplyOutcome::Result::Absent
                                                               : ApplyOutcome::Result::NoProfile;
    outcome.store_saved = data_.SaveProfileStore();
    observer_.ApplyFinished(outcome);
    return outcome;
  }
  observer_.ShowApplyRing(true);
  const ChangedFlags changed = take.full_apply ? ChangedFlags::All()
                                               : DetectChanges(*take.last_applied, *take.profile,
                                                               take.macros, take.last_macros);
  {
    // The same transfer into a log, unpaced, on a copy: its length is the progress's total.
    auto dry_run = std::make_unique<ProfileRecord>(*take.profile);
    TransferLog counted;
    NoPause no_pause;
    TransferWriter dry_writer(counted, no_pause);
    observer_.ApplyStarting(
        SendProfileTransfer(*dry_run, take.macros, changed, dry_writer).reports);
  }
  TransferWriter writer(binding_, sleeper_);
  outcome.transfer = SendProfileTransfer(*take.profile, take.macros, changed, writer);
  const bool reached = outcome.transfer.status.ok();
  data_.CommitApply(take, *take.profile, changed, reached);
  // A pulled cable fails the transfer too; the user is told that, not that the keyboard refused,
  // also when it was plugged in again before the transfer gave up.
  const bool left = data_.departures() != take.departures ||
                    binding_.QueryAccess().state == DeviceAccess::State::Absent;
  outcome.result = reached ? ApplyOutcome::Result::Reached
                   : left  ? ApplyOutcome::Result::Lost
                           : ApplyOutcome::Result::Failed;
  outcome.store_saved = data_.SaveProfileStore();
  observer_.ShowApplyRing(false);
  observer_.ApplyFinished(outcome);
  return outcome;
}

ResumeOutcome DeviceLink::SendResumeSequence() {
  ResumeOutcome outcome;
  if (data_.device_state() != DeviceState::Present || !observer_.ResumeAllowed()) return outcome;
  TransferWriter writer(binding_, sleeper_);
  outcome.sent = true;
  outcome.status = SendResumeTransfer(writer);
  return outcome;
}

}  // namespace kb
