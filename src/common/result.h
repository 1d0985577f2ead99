// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A value, or the Status that says why there is none: the one shape of a result at the model's
// boundaries that has something to give back (a Status alone for those that have not). Reads
// like std::optional where the value is used, and carries the reason where it is not.

#include <optional>
#include <string>
#include <utility>

#include "common/status.h"

namespace kb {

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)), status_(Status::Ok()) {}  // NOLINT: implicit
  Result(Status failure) : status_(std::move(failure)) {}               // NOLINT: implicit

  bool has_value() const { return value_.has_value(); }
  explicit operator bool() const { return has_value(); }
  const Status& status() const { return status_; }
  const std::string& reason() const { return status_.reason(); }

  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return *std::move(value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& value() & { return value_.value(); }
  const T& value() const& { return value_.value(); }
  template <class U>
  T value_or(U&& other) const& {
    return value_.value_or(std::forward<U>(other));
  }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace kb
