// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small streaming JSON writer for kbctl's output: indented, keys in the order written,
// strings escaped as RFC 8259 requires. It checks its own nesting and throws std::logic_error
// on misuse, which is a bug in the caller.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kbctl {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();

  // Inside an object: the name of the next value.
  JsonWriter& Key(std::string_view key);

  JsonWriter& String(std::string_view utf8);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Bool(bool value);

  // Shorthands for Key(key) followed by the value.
  JsonWriter& Field(std::string_view key, std::string_view utf8) { return Key(key).String(utf8); }
  JsonWriter& Field(std::string_view key, const char* utf8) { return Key(key).String(utf8); }
  JsonWriter& Field(std::string_view key, std::int64_t value) { return Key(key).Int(value); }
  JsonWriter& Field(std::string_view key, int value) { return Key(key).Int(value); }
  JsonWriter& Field(std::string_view key, bool value) { return Key(key).Bool(value); }

  // The document, ending in a newline; only once every container is closed.
  std::string Finish();

  static std::string Escape(std::string_view utf8);

 private:
  struct Level {
    bool object;
    int count = 0;
  };
  void BeforeValue();
  void Open(bool object, char bracket);
  void Close(bool object, char bracket);
  void Indent();

  std::string out_;
  std::vector<Level> levels_;
  bool key_pending_ = false;
  bool done_ = false;
};

}  // namespace kbctl
