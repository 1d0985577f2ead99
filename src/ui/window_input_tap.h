// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every key and mouse-button event of the program's own windows, handed to one observer before
// the window handles it. The input hook's second source: a desktop that lets no program hear
// another's input (Wayland) still lets each program hear its own.

#include <functional>
#include <memory>

namespace DuiLib {

struct WindowInputEvent {
  enum class Kind { kKey, kButton };
  Kind kind;
  // kKey: the key's X keycode (evdev code + 8), by position, whatever the layout.
  // kButton: the X button number (1 left, 2 middle, 3 right, 4/5 a wheel notch away/towards,
  // 8 back, 9 forward).
  unsigned code;
  bool press;  // a wheel notch is one press
};

class CWindowInputTap {
 public:
  using Observer = std::function<void(const WindowInputEvent&)>;
  // UI thread; observes until destroyed, and nothing when made before the application object.
  // Key repeats of a held key are not passed on: one press, one release, as the keyboard sent
  // them.
  explicit CWindowInputTap(Observer observer);
  ~CWindowInputTap();
  CWindowInputTap(const CWindowInputTap&) = delete;
  CWindowInputTap& operator=(const CWindowInputTap&) = delete;

  // True when the program's windows are windows of the X display named by $DISPLAY.
  static bool WindowsOnXDisplay();
  // True on Wayland, where no program hears another's input: only the program's own windows
  // are heard.
  static bool WindowsOnWayland();

 private:
  class Filter;
  std::unique_ptr<Filter> filter_;
};

}  // namespace DuiLib
