// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result of an operation at a boundary (file, HID call, library load): success, or failure
// with a reason that can be shown to the user as it stands.

#include <string>
#include <utility>

namespace kb {

class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  static Status Fail(std::string reason) { return Status(std::move(reason)); }

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& reason() const { return reason_; }

 private:
  Status() = default;
  explicit Status(std::string reason) : ok_(false), reason_(std::move(reason)) {}
  bool ok_ = true;
  std::string reason_;
};

}  // namespace kb
