#include "platform/foundation/JSONDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using Foundation::CodingPath;
using Foundation::Date;
using Foundation::Decoder;
using Foundation::DecodingError;
using Foundation::JSONDecoder;
using Kind = Foundation::DecodingError::Kind;

namespace {

// Small records that exercise every container of the decoder.
struct Int {
  std::int64_t value = 0;
  static Int decode(Decoder& decoder) {
    return {decoder.container().decode<std::int64_t>("value")};
  }
};

struct Item {
  std::string name;
  static Item decode(Decoder& decoder) { return {decoder.container().decode<std::string>("name")}; }
};

struct Order {
  std::int64_t count = 0;
  std::optional<std::string> label;
  std::vector<Item> items;
  double weight = 0;
  Date placed;
  bool urgent = false;

  static Order decode(Decoder& decoder) {
    auto c = decoder.container();
    Order order;
    order.count = c.decode<std::int64_t>("count");
    order.label = c.decodeIfPresent<std::string>("label");
    order.items = c.decode<std::vector<Item>>("items");
    order.weight = c.decode<double>("weight");
    order.placed = c.decode<Date>("placed");
    order.urgent = c.decode<bool>("urgent");
    return order;
  }
};

template <class T>
struct List {
  std::vector<T> values;
  static List decode(Decoder& decoder) {
    return {decoder.container().decode<std::vector<T>>("values")};
  }
};

constexpr const char* validOrder =
    R"({"count": 3, "label": "a/b", "items": [{"name": "x"}, {"name": "y"}], "weight": 0.5,
        "placed": 818000000.25, "urgent": true})";

template <class T>
DecodingError errorOf(std::string_view json) {
  auto result = JSONDecoder().decode<T>(json);
  EXPECT_FALSE(result.ok()) << json;
  if (result.ok()) return {};
  return result.error();
}

void expectError(const DecodingError& error, Kind kind, const CodingPath& path,
                 const std::string& description) {
  EXPECT_EQ(DecodingError::name(error.kind), DecodingError::name(kind)) << description;
  EXPECT_EQ(error.codingPath, path) << description;
  EXPECT_EQ(error.debugDescription, description);
}

}  // namespace

// One decoder, reused across inputs, good and bad.
TEST(JSONDecoder, DecodesEveryKindOfValue) {
  JSONDecoder decoder;
  EXPECT_FALSE(decoder.decode<Int>("{").ok());
  EXPECT_FALSE(decoder.decode<Order>(R"({"count": 1})").ok());
  auto order = decoder.decode<Order>(validOrder);
  ASSERT_TRUE(order.ok());
  EXPECT_EQ(order->count, 3);
  EXPECT_EQ(order->label, "a/b");
  ASSERT_EQ(order->items.size(), 2u);
  EXPECT_EQ(order->items[1].name, "y");
  EXPECT_EQ(order->weight, 0.5);
  EXPECT_EQ(order->placed, Date(818000000.25));
  EXPECT_TRUE(order->urgent);

  auto item = decoder.decode<Item>(R"({"n\u0061me": "caf\u00e9 \ud83d\ude00 \/ \u0000!"})");
  ASSERT_TRUE(item.ok());
  EXPECT_EQ(item->name, std::string("caf\xc3\xa9 \xf0\x9f\x98\x80 / \0!", 15));
}

// An optional is absent when missing or null; unknown keys are ignored, even
// when repeated.
TEST(JSONDecoder, OptionalsMissingOrNullAndUnknownKeys) {
  for (
      const char* json :
      {R"({"count":2,"items":[],"weight":1,"placed":0,"urgent":false})",
       R"({"count":2,"label":null,"items":[],"weight":1,"placed":0,"urgent":false})",
       R"({"x":1,"count":2,"x":"two","items":[],"weight":1,"placed":0,"urgent":false,"y":{"a":[null]}})"}) {
    auto order = JSONDecoder().decode<Order>(json);
    ASSERT_TRUE(order.ok()) << json;
    EXPECT_EQ(order->count, 2);
    EXPECT_FALSE(order->label.has_value()) << json;
  }
}

// Integers accept exact integral values that fit 64 bits, whatever their
// written form; nothing is rounded or clamped. Doubles take integers too.
TEST(JSONDecoderNumbers, IntegersExactlyAndDoublesWhateverTheForm) {
  constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
  auto ints = JSONDecoder().decode<List<std::int64_t>>(
      R"({"values": [2, -0, -0.0, 2.0, 1e3, 9223372036854775807, -9223372036854775808,
                     -9.223372036854775808e18]})");
  ASSERT_TRUE(ints.ok());
  EXPECT_EQ(ints->values, (std::vector<std::int64_t>{2, 0, 0, 2, 1000, max, min, min}));
  auto reals =
      JSONDecoder().decode<List<double>>(R"({"values": [2, 18446744073709551615, 1e-320]})");
  ASSERT_TRUE(reals.ok());
  EXPECT_EQ(reals->values, (std::vector<double>{2.0, 18446744073709551615.0, 1e-320}));
  // 2^63, however written, is one past the largest Int.
  for (const auto& [number, shown] : {std::pair{"2.5", "2.5"},
                                      {"9223372036854775808", "9223372036854775808"},
                                      {"9.223372036854775808e18", "9.223372036854776e+18"},
                                      {"1e300", "1e+300"},
                                      {"-1e-300", "-1e-300"}}) {
    expectError(errorOf<Int>(std::string(R"({"value": )") + number + "}"), Kind::dataCorrupted,
                {"value"}, std::string("Parsed JSON number <") + shown + "> does not fit in Int.");
  }
}

// Each wrong input gives its one error kind, with the path to the value and
// the platform's wording. Decoding stops at the first failing key, so the
// keys after it are left out.
TEST(JSONDecoderErrors, EachWrongValueGivesItsKindPathAndWording) {
  struct Case {
    DecodingError (*errorOf)(std::string_view);
    const char* json;
    Kind kind;
    const char* path;
    const char* description;
  };
  const auto order = &errorOf<Order>;
  const auto integer = &errorOf<Int>;
  const Case cases[] = {
      // A missing key is named at the path of its object.
      {order, R"({"items":[],"weight":1,"placed":0,"urgent":false})", Kind::keyNotFound, R"([])",
       R"(No value associated with key "count".)"},
      {order, R"({"count":1,"items":[{"name":"a"},{}]})", Kind::keyNotFound,
       R"(["items", "Index 1"])", R"(No value associated with key "name".)"},
      // Null where a value is required.
      {order, R"({"count":1,"items":[null]})", Kind::valueNotFound, R"(["items", "Index 0"])",
       "Cannot get keyed decoding container -- found null value instead."},
      {order, R"({"count":1,"items":null})", Kind::valueNotFound, R"(["items"])",
       "Cannot get unkeyed decoding container -- found null value instead."},
      {order, R"({"count":1,"items":[],"weight":1,"placed":null})", Kind::valueNotFound,
       R"(["placed"])", "Expected Double value but found null instead."},
      {integer, "null", Kind::valueNotFound, R"([])",
       "Cannot get keyed decoding container -- found null value instead."},
      // Wrong JSON types, an optional's included.
      {integer, R"({"value": "2"})", Kind::typeMismatch, R"(["value"])",
       "Expected to decode Int but found a string instead."},
      {integer, R"({"value": true})", Kind::typeMismatch, R"(["value"])",
       "Expected to decode Int but found a bool instead."},
      {order, R"({"count":1,"label":7})", Kind::typeMismatch, R"(["label"])",
       "Expected to decode String but found a number instead."},
      {order, R"({"count":1,"items":{}})", Kind::typeMismatch, R"(["items"])",
       "Expected to decode Array<Any> but found a dictionary instead."},
      {order, R"({"count":1,"items":[],"weight":1,"placed":0,"urgent":0})", Kind::typeMismatch,
       R"(["urgent"])", "Expected to decode Bool but found a number instead."},
      {order, R"({"count":1,"items":[],"weight":1,"placed":"2026-12-06"})", Kind::typeMismatch,
       R"(["placed"])", "Expected to decode Double but found a string instead."},
      // A top level that is not an object.
      {integer, "[1]", Kind::typeMismatch, R"([])",
       "Expected to decode Dictionary<String, Any> but found an array instead."},
      {integer, "3", Kind::typeMismatch, R"([])",
       "Expected to decode Dictionary<String, Any> but found a number instead."},
      // A key of the record given twice, also for an optional whose first
      // copy is null.
      {integer, R"({"value": 1, "value": 1})", Kind::dataCorrupted, R"(["value"])",
       R"(Key "value" is given more than once.)"},
      {order,
       R"({"count":1,"label":null,"items":[],"weight":1,"placed":0,"urgent":false,"label":"x"})",
       Kind::dataCorrupted, R"(["label"])", R"(Key "label" is given more than once.)"},
      // The first failing key in declaration order: "weight" is wrong and
      // "count" missing; then a later problem is not looked at, and an
      // unknown key given twice does not count.
      {order, R"({"weight":"heavy","items":[]})", Kind::keyNotFound, R"([])",
       R"(No value associated with key "count".)"},
      {order, R"({"count":2.5,"x":1,"x":2,"urgent":"no"})", Kind::dataCorrupted, R"(["count"])",
       "Parsed JSON number <2.5> does not fit in Int."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const DecodingError error = c.errorOf(c.json);
    EXPECT_EQ(DecodingError::name(error.kind), DecodingError::name(c.kind));
    EXPECT_EQ(Foundation::describeCodingPath(error.codingPath), c.path);
    EXPECT_EQ(error.debugDescription, c.description);
  }
}

// Input that is not JSON, or whose text is not valid UTF-8: a byte that is
// none, a truncated sequence, an overlong "/", an encoded surrogate, and
// escaped surrogates that make no pair.
TEST(JSONDecoderErrors, InputThatIsNotJSON) {
  for (std::string_view json :
       {"", "  \n", "{", R"({"value": 1,})", R"({"value": 1} x)", R"({value: 1})",
        R"({"value": 01})", R"({"value": NaN})", R"({"value": 1e400})",
        R"({"value": 100000000000000000000000})", "{\"value\": \"\xff\"}", "{\"value\": \"\xc3\"}",
        "{\"value\": \"\xc0\xaf\"}", "{\"value\": \"\xed\xa0\x80\"}", R"({"value": "\ud800"})",
        R"({"value": "\udc00"})", R"({"value": "\ud800\u0041"})"}) {
    expectError(errorOf<Int>(json), Kind::dataCorrupted, {}, "The given data was not valid JSON.");
  }
}

// A record of `count` integer keys "key10", "key11", ...: they share their
// length and first letter.
struct ManyKeys {
  static inline int count = 0;
  std::vector<std::int64_t> values;
  static ManyKeys decode(Decoder& decoder) {
    auto c = decoder.container();
    ManyKeys many;
    for (int i = 10; i < 10 + count; ++i)
      many.values.push_back(c.decode<std::int64_t>("key" + std::to_string(i)));
    return many;
  }
};

// Lookups start where the previous one ended, and repeated keys are found
// through a filter on length and first letter (small objects) or by sorting
// (large ones): each key must still find its own value whether the members
// are written in reverse or shuffled, and a repeat must still be caught.
TEST(JSONDecoder, FindsEveryKeyOfSmallAndLargeObjectsInAnyOrder) {
  for (int n : {20, 40}) {
    ManyKeys::count = n;
    for (bool reversed : {false, true}) {
      std::string json = "{";
      for (int k = 0; k < n; ++k) {
        int i = 10 + (reversed ? n - 1 - k : (k * 7) % n);
        json += (k > 0 ? ",\"key" : "\"key") + std::to_string(i) + "\":" + std::to_string(i * 100);
      }
      auto many = JSONDecoder().decode<ManyKeys>(json + "}");
      ASSERT_TRUE(many.ok()) << json;
      for (int i = 0; i < n; ++i)
        EXPECT_EQ(many->values[static_cast<std::size_t>(i)], (10 + i) * 100) << json;
      expectError(errorOf<ManyKeys>(json + ",\"key15\":1}"), Kind::dataCorrupted, {"key15"},
                  R"(Key "key15" is given more than once.)");
    }
  }
}
