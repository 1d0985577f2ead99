// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one apply or one resume handshake did, for the page and for the command line.

#include <string>

#include "common/status.h"
#include "device/profile_transfer.h"

namespace kb {

struct ApplyOutcome {
  enum class Result {
    Reached,    // every report was delivered
    Failed,     // a library call failed; the next apply sends everything again
    Lost,       // the keyboard went away during the transfer; likewise
    Absent,     // no keyboard: nothing sent
    NoProfile,  // no current profile: nothing sent
  };
  Result result = Result::Absent;
  ProfileTransferResult transfer;  // meaningful for Reached, Failed and Lost
  Status store_saved = Status::Ok();

  bool reached() const { return result == Result::Reached; }
};

struct ResumeOutcome {
  bool sent = false;             // the handshake was attempted
  Status status = Status::Ok();  // its result when sent
};

}  // namespace kb
