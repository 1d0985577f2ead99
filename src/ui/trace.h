// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Debug trace lines (DUI__Trace). They can carry key codes, so they are written to standard
// error in debug builds only; a release build formats nothing. A test sink, when set, receives
// them in every build.

#include <functional>

#include "ui/dui_string.h"

namespace DuiLib {

using TraceSink = std::function<void(const CDuiString& line)>;
void SetTraceSinkForTesting(TraceSink sink);

namespace internal {
bool HasTraceSink();
void WriteTrace(const CDuiString& line);
}  // namespace internal

template <typename... Args>
void DUI__Trace(const char16_t* pattern, const Args&... args) {
#ifdef NDEBUG
  if (!internal::HasTraceSink()) return;
#endif
  internal::WriteTrace(CDuiString::Formatted(pattern, args...));
}

}  // namespace DuiLib
