// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sleeper.h"

#include <thread>

namespace kb {

void RealSleeper::Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace kb
