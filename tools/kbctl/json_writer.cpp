// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_writer.h"

#include <cstdio>
#include <stdexcept>

namespace kbctl {

std::string JsonWriter::Escape(std::string_view utf8) {
  std::string escaped;
  escaped.reserve(utf8.size() + 2);
  escaped += '"';
  for (char c : utf8) {
    switch (c) {
      case '"':
        escaped += "\\\"";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      case '\b':
        escaped += "\\b";
        break;
      case '\f':
        escaped += "\\f";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\t':
        escaped += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(c));
          escaped += buffer;
        } else {
          escaped += c;
        }
    }
  }
  escaped += '"';
  return escaped;
}

void JsonWriter::Indent() {
  out_ += '\n';
  out_.append(levels_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (done_) throw std::logic_error("JSON value after the end of the document");
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (level.object) {
    if (!key_pending_) throw std::logic_error("JSON value in an object without a key");
    key_pending_ = false;
    return;
  }
  if (level.count++ > 0) out_ += ',';
  Indent();
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  if (levels_.empty() || !levels_.back().object || key_pending_)
    throw std::logic_error("JSON key outside an object or twice in a row");
  Level& level = levels_.back();
  if (level.count++ > 0) out_ += ',';
  Indent();
  out_ += Escape(key);
  out_ += ": ";
  key_pending_ = true;
  return *this;
}

void JsonWriter::Open(bool object, char bracket) {
  BeforeValue();
  out_ += bracket;
  levels_.push_back({object});
}

void JsonWriter::Close(bool object, char bracket) {
  if (levels_.empty() || levels_.back().object != object || key_pending_)
    throw std::logic_error("JSON container closed out of order");
  const bool had_members = levels_.back().count > 0;
  levels_.pop_back();
  if (had_members) Indent();
  out_ += bracket;
  if (levels_.empty()) done_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
  Open(true, '{');
  return *this;
}
JsonWriter& JsonWriter::EndObject() {
  Close(true, '}');
  return *this;
}
JsonWriter& JsonWriter::BeginArray() {
  Open(false, '[');
  return *this;
}
JsonWriter& JsonWriter::EndArray() {
  Close(false, ']');
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ += Escape(utf8);
  if (levels_.empty()) done_ = true;
  return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  if (levels_.empty()) done_ = true;
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  if (levels_.empty()) done_ = true;
  return *this;
}

std::string JsonWriter::Finish() {
  if (!done_ || !levels_.empty()) throw std::logic_error("JSON document not complete");
  return out_ + '\n';
}

}  // namespace kbctl
