// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines a test double's log hands out through a C "take" call (the virtual keyboard's and
// the hidapi stand-in's transfer logs and violations): every chunk until it has none left.

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

namespace kb::test {

inline std::vector<std::string> TakenLines(long (*take)(char*, std::size_t)) {
  std::vector<std::string> lines;
  std::vector<char> buffer(1 << 16);
  while (take(buffer.data(), buffer.size()) > 0) {
    std::istringstream in(buffer.data());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  return lines;
}

}  // namespace kb::test
