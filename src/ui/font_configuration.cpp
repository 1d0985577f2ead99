// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/font_configuration.h"

#include <fontconfig/fontconfig.h>

#include <system_error>
#include <thread>

#include "ui/internal/paint_context.h"

namespace DuiLib {
namespace {

// Joined at the latest when the program ends: a thread still reading while the process tears
// down its statics would end it with std::terminate.
struct Reader {
  std::thread thread;
  bool started = false;
  ~Reader() {
    if (thread.joinable()) thread.join();
  }
};

Reader& TheReader() {
  static Reader reader;
  return reader;
}

}  // namespace

void ReadFontConfigurationAhead() {
  Reader& reader = TheReader();
  if (reader.started) return;
  reader.started = true;
  // FcInit keeps the configuration it reads as the process's current one; Qt's font database
  // asks for it with the same call, which then only hands it over. A failed read is Qt's to
  // meet again, on its own path, and report as it always has.
  try {
    reader.thread = std::thread([] { (void)FcInit(); });
  } catch (const std::system_error&) {
    // No thread to be had (a process limit): Qt reads the configuration itself when it first
    // needs it, as it would without this.
  }
}

namespace internal {
void AwaitFontConfiguration() {
  Reader& reader = TheReader();
  if (reader.thread.joinable()) reader.thread.join();
}
}  // namespace internal

}  // namespace DuiLib
