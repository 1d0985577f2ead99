// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/internal/xml_reader.h"

#include <expat.h>

#include <limits>
#include <memory>
#include <string>
#include <type_traits>

namespace DuiLib::internal {
namespace {

struct Reading {
  XML_Parser parser = nullptr;
  const std::function<kb::Status(const XmlElement&)>* start = nullptr;
  const std::function<void()>* end = nullptr;
  kb::Status refused = kb::Status::Ok();
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& reading = *static_cast<Reading*>(data);
  const long line = static_cast<long>(XML_GetCurrentLineNumber(reading.parser));
  if (kb::Status status = (*reading.start)(XmlElement{name, attributes, line}); !status.ok()) {
    reading.refused = std::move(status);
    XML_StopParser(reading.parser, XML_FALSE);
  }
}

void XMLCALL OnEnd(void* data, const XML_Char* /*name*/) { (*static_cast<Reading*>(data)->end)(); }

}  // namespace

kb::Status ReadXmlElements(std::string_view xml, const char* what,
                           const std::function<kb::Status(const XmlElement&)>& start,
                           const std::function<void()>& end) {
  // Expat takes the length as an int.
  if (xml.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    return kb::Status::Fail(std::string(what) + ": file too large");
  const std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
      XML_ParserCreate(nullptr), &XML_ParserFree);
  if (parser == nullptr) return kb::Status::Fail(std::string(what) + ": out of memory");
  Reading reading;
  reading.parser = parser.get();
  reading.start = &start;
  reading.end = &end;
  XML_SetUserData(parser.get(), &reading);
  XML_SetElementHandler(parser.get(), &OnStart, &OnEnd);
  const XML_Status done =
      XML_Parse(parser.get(), xml.data(), static_cast<int>(xml.size()), XML_TRUE);
  if (!reading.refused.ok()) return reading.refused;
  if (done != XML_STATUS_OK)
    return kb::Status::Fail(std::string(what) + ": " +
                            XML_ErrorString(XML_GetErrorCode(parser.get())) + " at line " +
                            std::to_string(XML_GetCurrentLineNumber(parser.get())));
  return kb::Status::Ok();
}

}  // namespace DuiLib::internal
