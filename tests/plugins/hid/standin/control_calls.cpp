// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's control: the calls of hid_standin.h for a test in the same process, and a
// thread that reads commands from the FIFO named by KB_HID_STANDIN_CONTROL for a test that
// drives another process (the program with the stand-in preloaded).

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "hid_standin.h"
#include "standin_bus.h"

namespace {

using kb::standin::Bus;

void ReadCommands(std::string path) {
  // Opened for writing too, so the FIFO never reports end of file between two writers.
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    std::fprintf(stderr, "hid stand-in: cannot open the control FIFO %s\n", path.c_str());
    return;
  }
  std::string pending;
  char chunk[256];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n <= 0) break;
    pending.append(chunk, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty() && !Bus::Get().Command(line))
        std::fprintf(stderr, "hid stand-in: unknown command \"%s\"\n", line.c_str());
    }
  }
  close(fd);
}

// Run when the library is loaded, before the program's main: KB_HID_STANDIN_SETUP holds
// commands separated by ';' (so a keyboard can be there from the start).
__attribute__((constructor)) void StartControl() {
  // Preloaded, the stand-in is for this process only: a program it starts (the sanitizers'
  // symbolizer is one) would load it too, and, built without the sanitizer runtime the stand-in
  // expects, fail to start.
  unsetenv("LD_PRELOAD");
  if (const char* setup = std::getenv("KB_HID_STANDIN_SETUP")) {
    std::string commands(setup);
    for (size_t start = 0; start <= commands.size();) {
      size_t end = commands.find(';', start);
      if (end == std::string::npos) end = commands.size();
      const std::string line = commands.substr(start, end - start);
      if (!line.empty() && !Bus::Get().Command(line))
        std::fprintf(stderr, "hid stand-in: unknown command \"%s\"\n", line.c_str());
      start = end + 1;
    }
  }
  const char* path = std::getenv("KB_HID_STANDIN_CONTROL");
  if (path == nullptr || *path == '\0') return;
  std::thread(ReadCommands, std::string(path)).detach();
}

}  // namespace

extern "C" {

int hidstandin_command(const char* command) {
  return command != nullptr && Bus::Get().Command(command) ? 1 : 0;
}

long hidstandin_take_log(char* buffer, size_t capacity) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  return bus.keyboard.log().Take(buffer, capacity);
}

long hidstandin_take_violations(char* buffer, size_t capacity) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  return bus.keyboard.violations().Take(buffer, capacity);
}

long hidstandin_enumerations(void) {
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  return bus.enumerations;
}

void hidstandin_vendor_node(char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return;
  Bus& bus = Bus::Get();
  std::lock_guard lock(bus.mutex);
  const std::string node = bus.plugged ? bus.NodePath(kb::standin::kVendorInterface) : "";
  std::snprintf(buffer, capacity, "%s", node.c_str());
}

}  // extern "C"
