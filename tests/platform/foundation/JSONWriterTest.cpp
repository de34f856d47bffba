#include "platform/foundation/JSONWriter.h"

#include <gtest/gtest.h>

#include <limits>

using Foundation::JSONWriter;

TEST(JSONWriter, NumbersInShortestExactForm) {
  auto write = [](double value) {
    std::string out;
    JSONWriter::appendNumber(out, value);
    return out;
  };
  EXPECT_EQ(write(0.42), "0.42");
  EXPECT_EQ(write(1.0), "1");
  EXPECT_EQ(write(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(write(std::numeric_limits<double>::max()), "1.7976931348623157e+308");
  // Plain decimals between 1e-4 and 2^53, exponent form outside.
  EXPECT_EQ(write(818000000.0), "818000000");
  EXPECT_EQ(write(0.0001), "0.0001");
  EXPECT_EQ(write(0.00001), "1e-05");
  EXPECT_EQ(write(9007199254740991.0), "9007199254740991");
  EXPECT_EQ(write(9007199254740992.0), "9.007199254740992e+15");
  EXPECT_EQ(write(-0.0), "-0");
}

TEST(JSONWriter, EscapesAsThePlatformEncoderDoes) {
  std::string out;
  JSONWriter::appendEscaped(out, std::string_view("a\"b\\c/d\b\f\n\r\t\x01\x1f\0é", 17), true);
  EXPECT_EQ(out, "a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\\u0001\\u001f\\u0000é");
  out.clear();
  JSONWriter::appendEscaped(out, "app://a/b", false);
  EXPECT_EQ(out, "app://a/b");
}

TEST(JSONWriter, PrettyPrintsWithTwoSpaces) {
  JSONWriter w({.prettyPrinted = true, .escapeSlashes = false});
  w.beginObject();
  w.key("a");
  w.beginArray();
  w.integer(1);
  w.integer(2);
  w.endArray();
  w.key("b");
  w.beginObject();
  w.endObject();
  w.endObject();
  EXPECT_EQ(w.text(), "{\n  \"a\": [\n    1,\n    2\n  ],\n  \"b\": {}\n}");
}
