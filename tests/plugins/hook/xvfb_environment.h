// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One private Xvfb for a whole test program, started before its first test ($DISPLAY set) and
// stopped after its last: XvfbEnvironment::display() is null when the server could not start,
// and each test that needs it says why.

#include <gtest/gtest.h>

#include <memory>

#include "xvfb_display.h"

namespace kb::testing {

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    auto display = std::make_unique<XvfbDisplay>();
    const kb::Status started = display->Start();
    ASSERT_TRUE(started.ok()) << started.reason();
    Server() = std::move(display);
  }
  void TearDown() override { Server().reset(); }
  static XvfbDisplay* display() { return Server().get(); }

 private:
  static std::unique_ptr<XvfbDisplay>& Server() {
    static std::unique_ptr<XvfbDisplay> display;
    return display;
  }
};

}  // namespace kb::testing
