// Guards the tools' JSON output: commas and nesting come out right and every string is escaped so that any JSON
// reader takes it, even when a plug-in answers with control characters or bytes that are not UTF-8; numbers keep
// the nine digits a Single needs.
#include <gtest/gtest.h>

#include "json_writer.h"

namespace vb {
namespace {

TEST(JsonWriter, NestsEscapesAndReplacesWhatIsNotUtf8) {
  TJsonWriter json;
  json.BeginObject();
  json.Key("name").String("a \"b\" \\ c\n\x01 \xC3\xA9 \xFF");
  json.Key("list").BeginArray().Integer(-3).Number(0.5).Number(1.0 / 3).Bool(true).Number(1.0 / 0.0).EndArray();
  json.Key("empty").BeginObject().EndObject();
  json.EndObject();
  EXPECT_EQ(json.Text(),
            "{\n"
            "  \"name\": \"a \\\"b\\\" \\\\ c\\u000a\\u0001 \xC3\xA9 \\ufffd\",\n"
            "  \"list\": [\n"
            "    -3,\n"
            "    0.5,\n"
            "    0.333333333,\n"
            "    true,\n"
            "    null\n"
            "  ],\n"
            "  \"empty\": {}\n"
            "}\n");
}

}  // namespace
}  // namespace vb
