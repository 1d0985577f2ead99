// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a whole XML document element by element with expat. The layouts and the theme are read
// before the first frame, and expat, which the desktop's font configuration loads anyway, reads
// them in half the instructions of Qt's stream reader. Texts arrive in UTF-8.

#include <functional>
#include <string_view>

#include "common/status.h"

namespace DuiLib::internal {

struct XmlElement {
  const char* name;
  const char* const* attributes;  // name, value, name, value, ..., null
  long line;
};

// `start` is called for each element as it opens, `end` as it closes; a failed Status from
// `start` stops the reading and is returned. A document that is not well-formed fails as
// "<what>: <fault> at line N".
kb::Status ReadXmlElements(std::string_view xml, const char* what,
                           const std::function<kb::Status(const XmlElement&)>& start,
                           const std::function<void()>& end);

}  // namespace DuiLib::internal
