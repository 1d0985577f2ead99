// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kbctl {
namespace {

TEST(JsonWriter, WritesNestedContainersIndented) {
  JsonWriter json;
  json.BeginObject();
  json.Field("name", "Game").Field("count", 2).Field("on", true);
  json.Key("list").BeginArray().Int(1).Int(-2).EndArray();
  json.Key("empty").BeginArray().EndArray();
  json.Key("inner").BeginObject().Field("x", std::int64_t{5}).EndObject();
  json.EndObject();
  EXPECT_EQ(json.Finish(),
            "{\n"
            "  \"name\": \"Game\",\n"
            "  \"count\": 2,\n"
            "  \"on\": true,\n"
            "  \"list\": [\n"
            "    1,\n"
            "    -2\n"
            "  ],\n"
            "  \"empty\": [],\n"
            "  \"inner\": {\n"
            "    \"x\": 5\n"
            "  }\n"
            "}\n");
}

struct EscapeCase {
  std::string_view in;
  std::string_view out;
};

class JsonEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(JsonEscape, Escapes) { EXPECT_EQ(JsonWriter::Escape(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonEscape,
    ::testing::Values(EscapeCase{"plain", "\"plain\""}, EscapeCase{"a\"b", "\"a\\\"b\""},
                      EscapeCase{"back\\slash", "\"back\\\\slash\""},
                      EscapeCase{"tab\tnl\n", "\"tab\\tnl\\n\""},
                      EscapeCase{std::string_view("\x01\x1f", 2), "\"\\u0001\\u001f\""},
                      EscapeCase{"Stra\xc3\x9f"
                                 "e",
                                 "\"Stra\xc3\x9f"
                                 "e\""}));

TEST(JsonWriter, MisuseIsALogicError) {
  {
    JsonWriter json;
    json.BeginObject();
    EXPECT_THROW(json.Int(1), std::logic_error);  // value without a key
  }
  {
    JsonWriter json;
    json.BeginArray();
    EXPECT_THROW(json.EndObject(), std::logic_error);
  }
  {
    JsonWriter json;
    json.BeginObject();
    EXPECT_THROW(json.Finish(), std::logic_error);
  }
  {
    JsonWriter json;
    EXPECT_THROW(json.Key("k"), std::logic_error);
  }
}

}  // namespace
}  // namespace kbctl
