// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/trace.h"

#include <cstdio>

namespace DuiLib {
namespace {
TraceSink& Sink() {
  static TraceSink* sink = new TraceSink;
  return *sink;
}
}  // namespace

void SetTraceSinkForTesting(TraceSink sink) { Sink() = std::move(sink); }

namespace internal {

bool HasTraceSink() { return static_cast<bool>(Sink()); }

void WriteTrace(const CDuiString& line) {
  if (Sink()) {
    Sink()(line);
    return;
  }
  std::fputs(line.ToUtf8().c_str(), stderr);
}

}  // namespace internal
}  // namespace DuiLib
