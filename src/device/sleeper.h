// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pauses the keyboard needs between reports, behind an interface so that tests can count
// them instead of waiting.

#include <chrono>

namespace kb {

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  // Blocks the calling thread for `duration`. Called on whichever thread sends.
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// std::this_thread::sleep_for.
class RealSleeper final : public Sleeper {
 public:
  void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace kb
