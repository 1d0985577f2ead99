// SPDX-License-Identifier: GPL-3.0-or-later
#include "arguments.h"

#include <charconv>
#include <string>

#include "command.h"

namespace kbctl {

std::size_t ParseIndex(std::string_view text, std::size_t count, std::string_view what) {
  std::size_t index = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, index);
  if (text.empty() || error != std::errc() || stop != end) {
    throw UsageError("\"" + std::string(text) + "\" is not a " + std::string(what) +
                     " number (0, 1, 2, ...)");
  }
  if (index >= count) {
    throw CommandFailed("there is no " + std::string(what) + " " + std::string(text) +
                        ": the store holds " + std::to_string(count) + " " + std::string(what) +
                        (count == 1 ? "" : "s"));
  }
  return index;
}

}  // namespace kbctl
