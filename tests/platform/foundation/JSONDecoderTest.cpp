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
  EXPECT_EQ(DecodingError::name(error.kind), DecodingError::name(kind));
  EXPECT_EQ(error.codingPath, path);
  EXPECT_EQ(error.debugDescription, description);
}

}  // namespace

TEST(JSONDecoder, DecodesEveryKindOfValue) {
  auto order = JSONDecoder().decode<Order>(validOrder);
  ASSERT_TRUE(order.ok());
  EXPECT_EQ(order->count, 3);
  EXPECT_EQ(order->label, "a/b");
  ASSERT_EQ(order->items.size(), 2u);
  EXPECT_EQ(order->items[1].name, "y");
  EXPECT_EQ(order->weight, 0.5);
  EXPECT_EQ(order->placed, Date(818000000.25));
  EXPECT_TRUE(order->urgent);
}

TEST(JSONDecoder, OptionalIsAbsentWhenMissingOrNull) {
  auto missing =
      JSONDecoder().decode<Order>(R"({"count":1,"items":[],"weight":1,"placed":0,"urgent":false})");
  ASSERT_TRUE(missing.ok());
  EXPECT_FALSE(missing->label.has_value());
  EXPECT_TRUE(missing->items.empty());
  auto null = JSONDecoder().decode<Order>(
      R"({"count":1,"label":null,"items":[],"weight":1,"placed":0,"urgent":false})");
  ASSERT_TRUE(null.ok());
  EXPECT_FALSE(null->label.has_value());
  // Present but of another type is still an error.
  expectError(
      errorOf<Order>(R"({"count":1,"label":7,"items":[],"weight":1,"placed":0,"urgent":false})"),
      Kind::typeMismatch, {"label"}, "Expected to decode String but found a number instead.");
}

TEST(JSONDecoder, UnknownKeysAreIgnoredEvenWhenRepeated) {
  auto order = JSONDecoder().decode<Order>(
      R"({"extra":1,"count":2,"extra":"two","items":[],"weight":1,"placed":0,"urgent":false,"more":{"a":[null]}})");
  ASSERT_TRUE(order.ok());
  EXPECT_EQ(order->count, 2);
}

TEST(JSONDecoder, EscapedKeysAndTextAreUnescaped) {
  auto item = JSONDecoder().decode<Item>(R"({"n\u0061me": "caf\u00e9 \ud83d\ude00 \/ \u0000!"})");
  ASSERT_TRUE(item.ok());
  EXPECT_EQ(item->name, std::string("caf\xc3\xa9 \xf0\x9f\x98\x80 / \0!", 15));
}

// Integers accept exact integral values that fit 64 bits, whatever their
// written form; nothing is rounded or clamped.
TEST(JSONDecoderIntegers, AcceptExactIntegralValues) {
  auto decode = [](std::string_view json) { return JSONDecoder().decode<Int>(json); };
  EXPECT_EQ(decode(R"({"value": 2})")->value, 2);
  EXPECT_EQ(decode(R"({"value": -0})")->value, 0);
  EXPECT_EQ(decode(R"({"value": -0.0})")->value, 0);
  EXPECT_EQ(decode(R"({"value": 2.0})")->value, 2);
  EXPECT_EQ(decode(R"({"value": 1e3})")->value, 1000);
  EXPECT_EQ(decode(R"({"value": 9223372036854775807})")->value,
            std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(decode(R"({"value": -9223372036854775808})")->value,
            std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(decode(R"({"value": -9.223372036854775808e18})")->value,
            std::numeric_limits<std::int64_t>::min());
}

TEST(JSONDecoderIntegers, RejectFractionsAndOutOfRangeAsDataCorrupted) {
  expectError(errorOf<Int>(R"({"value": 2.5})"), Kind::dataCorrupted, {"value"},
              "Parsed JSON number <2.5> does not fit in Int.");
  expectError(errorOf<Int>(R"({"value": 9223372036854775808})"), Kind::dataCorrupted, {"value"},
              "Parsed JSON number <9223372036854775808> does not fit in Int.");
  // 2^63 written as a double is one past the largest Int.
  EXPECT_EQ(errorOf<Int>(R"({"value": 9.223372036854775808e18})").kind, Kind::dataCorrupted);
  EXPECT_EQ(errorOf<Int>(R"({"value": 1e300})").kind, Kind::dataCorrupted);
  EXPECT_EQ(errorOf<Int>(R"({"value": -1e-300})").kind, Kind::dataCorrupted);
}

TEST(JSONDecoderIntegers, DoublesAcceptIntegersToo) {
  struct Real {
    double value;
    static Real decode(Decoder& d) { return {d.container().decode<double>("value")}; }
  };
  EXPECT_EQ(JSONDecoder().decode<Real>(R"({"value": 2})")->value, 2.0);
  EXPECT_EQ(JSONDecoder().decode<Real>(R"({"value": 18446744073709551615})")->value,
            18446744073709551615.0);
  EXPECT_EQ(JSONDecoder().decode<Real>(R"({"value": 1e-320})")->value, 1e-320);
}

// Each wrong input gives its one error kind, with the path to the value and
// the platform's wording.
TEST(JSONDecoderErrors, MissingKeyNamesTheKeyAtThePathOfItsObject) {
  expectError(errorOf<Order>(R"({"items":[],"weight":1,"placed":0,"urgent":false})"),
              Kind::keyNotFound, {}, R"(No value associated with key "count".)");
  expectError(errorOf<Order>(
                  R"({"count":1,"items":[{"name":"a"},{}],"weight":1,"placed":0,"urgent":false})"),
              Kind::keyNotFound, {"items", "Index 1"}, R"(No value associated with key "name".)");
}

TEST(JSONDecoderErrors, NullWhereAValueIsRequired) {
  expectError(errorOf<Int>(R"({"value": null})"), Kind::valueNotFound, {"value"},
              "Expected Int value but found null instead.");
  expectError(errorOf<Order>(R"({"count":1,"items":[null],"weight":1,"placed":0,"urgent":false})"),
              Kind::valueNotFound, {"items", "Index 0"},
              "Cannot get keyed decoding container -- found null value instead.");
  expectError(errorOf<Order>(R"({"count":1,"items":null,"weight":1,"placed":0,"urgent":false})"),
              Kind::valueNotFound, {"items"},
              "Cannot get unkeyed decoding container -- found null value instead.");
  expectError(errorOf<Order>(R"({"count":1,"items":[],"weight":1,"placed":null,"urgent":false})"),
              Kind::valueNotFound, {"placed"}, "Expected Double value but found null instead.");
}

TEST(JSONDecoderErrors, WrongJSONTypes) {
  expectError(errorOf<Int>(R"({"value": "2"})"), Kind::typeMismatch, {"value"},
              "Expected to decode Int but found a string instead.");
  expectError(errorOf<Int>(R"({"value": true})"), Kind::typeMismatch, {"value"},
              "Expected to decode Int but found a bool instead.");
  expectError(errorOf<Order>(R"({"count":1,"items":{},"weight":1,"placed":0,"urgent":false})"),
              Kind::typeMismatch, {"items"},
              "Expected to decode Array<Any> but found a dictionary instead.");
  expectError(errorOf<Order>(R"({"count":1,"items":[],"weight":1,"placed":0,"urgent":0})"),
              Kind::typeMismatch, {"urgent"},
              "Expected to decode Bool but found a number instead.");
  expectError(
      errorOf<Order>(R"({"count":1,"items":[],"weight":1,"placed":"2026-12-06","urgent":false})"),
      Kind::typeMismatch, {"placed"}, "Expected to decode Double but found a string instead.");
}

TEST(JSONDecoderErrors, TopLevelThatIsNotAnObject) {
  for (const char* json : {"[]", "3", "\"text\"", "true"}) {
    auto error = errorOf<Int>(json);
    EXPECT_EQ(error.kind, Kind::typeMismatch) << json;
    EXPECT_TRUE(error.codingPath.empty()) << json;
  }
  expectError(errorOf<Int>("[1]"), Kind::typeMismatch, {},
              "Expected to decode Dictionary<String, Any> but found an array instead.");
  EXPECT_EQ(errorOf<Int>("null").kind, Kind::valueNotFound);
}

TEST(JSONDecoderErrors, InputThatIsNotJSON) {
  for (std::string_view json :
       {std::string_view(""), std::string_view("  \n"), std::string_view("{"),
        std::string_view(R"({"value": 1,})"), std::string_view(R"({"value": 1} x)"),
        std::string_view(R"({value: 1})"), std::string_view(R"({"value": 01})"),
        std::string_view(R"({"value": NaN})"), std::string_view(R"({"value": 1e400})"),
        std::string_view(R"({"value": 100000000000000000000000})")}) {
    expectError(errorOf<Int>(json), Kind::dataCorrupted, {}, "The given data was not valid JSON.");
  }
}

TEST(JSONDecoderErrors, TextMustBeValidUTF8) {
  for (std::string_view json :
       {std::string_view("{\"name\": \"\xff\"}"),          // not a UTF-8 byte
        std::string_view("{\"name\": \"\xc3\"}"),          // truncated sequence
        std::string_view("{\"name\": \"\xc0\xaf\"}"),      // overlong "/"
        std::string_view("{\"name\": \"\xed\xa0\x80\"}"),  // encoded surrogate
        std::string_view(R"({"name": "\ud800"})"),         // lone high surrogate
        std::string_view(R"({"name": "\udc00"})"),         // lone low surrogate
        std::string_view(R"({"name": "\ud800\u0041"})")}) {
    expectError(errorOf<Item>(json), Kind::dataCorrupted, {}, "The given data was not valid JSON.");
  }
}

TEST(JSONDecoderErrors, KeyOfTheRecordGivenTwice) {
  expectError(errorOf<Int>(R"({"value": 1, "value": 1})"), Kind::dataCorrupted, {"value"},
              R"(Key "value" is given more than once.)");
  // Also for an optional, and also when one of the copies is null.
  EXPECT_EQ(
      errorOf<Order>(
          R"({"count":1,"label":null,"items":[],"weight":1,"placed":0,"urgent":false,"label":"x"})")
          .codingPath,
      CodingPath{"label"});
}

TEST(JSONDecoderErrors, FailsAtTheFirstKeyInDeclarationOrder) {
  // "weight" is wrong and "count" missing; "count" comes first in the record.
  expectError(errorOf<Order>(R"({"weight":"heavy","items":[]})"), Kind::keyNotFound, {},
              R"(No value associated with key "count".)");
  // A later problem is not looked at once an earlier one is found, and an
  // unknown key given twice does not count.
  EXPECT_EQ(errorOf<Order>(R"({"count":2.5,"x":1,"x":2,"urgent":"no"})").codingPath,
            CodingPath{"count"});
}

// A record of N integer keys "key10", "key11", ...: they share their length
// and first letter.
template <int N>
struct ManyKeys {
  std::vector<std::int64_t> values;
  static ManyKeys decode(Decoder& decoder) {
    auto c = decoder.container();
    ManyKeys many;
    for (int i = 10; i < 10 + N; ++i)
      many.values.push_back(c.decode<std::int64_t>("key" + std::to_string(i)));
    return many;
  }
};

// The object's members written in reverse, or in a shuffled order.
std::string manyKeysJSON(int count, bool reversed) {
  std::string json = "{";
  for (int n = 0; n < count; ++n) {
    int i = 10 + (reversed ? count - 1 - n : (n * 7) % count);
    json += (n > 0 ? ",\"key" : "\"key") + std::to_string(i) + "\":" + std::to_string(i * 100);
  }
  return json + "}";
}

// Lookups start where the previous one ended, and repeated keys are found
// through a filter on length and first letter (small objects) or by sorting
// (large ones): each key must still find its own value in any written order,
// and a repeat must still be caught.
template <int N>
void expectEveryKeyFound() {
  for (bool reversed : {false, true}) {
    std::string json = manyKeysJSON(N, reversed);
    auto many = JSONDecoder().decode<ManyKeys<N>>(json);
    ASSERT_TRUE(many.ok()) << json;
    for (int i = 0; i < N; ++i)
      EXPECT_EQ(many->values[static_cast<std::size_t>(i)], (10 + i) * 100) << json;
    auto repeated =
        JSONDecoder().decode<ManyKeys<N>>(json.substr(0, json.size() - 1) + ",\"key15\":1}");
    ASSERT_FALSE(repeated.ok());
    expectError(repeated.error(), Kind::dataCorrupted, {"key15"},
                R"(Key "key15" is given more than once.)");
  }
}

TEST(JSONDecoder, FindsEveryKeyOfASmallObjectInAnyOrder) {
  expectEveryKeyFound<20>();
}
TEST(JSONDecoder, FindsEveryKeyOfALargeObjectInAnyOrder) {
  expectEveryKeyFound<40>();
}

TEST(JSONDecoder, ReusesOneDecoderAcrossInputs) {
  JSONDecoder decoder;
  EXPECT_FALSE(decoder.decode<Int>("{").ok());
  EXPECT_EQ(decoder.decode<Int>(R"({"value": 5})")->value, 5);
  EXPECT_FALSE(decoder.decode<Order>(R"({"count": 1})").ok());
  EXPECT_EQ(decoder.decode<Order>(validOrder)->items.size(), 2u);
}

TEST(CodingPath, DescribedAsAListOfQuotedSteps) {
  EXPECT_EQ(Foundation::describeCodingPath({}), "[]");
  EXPECT_EQ(Foundation::describeCodingPath({"appNames", "Index 2"}), R"(["appNames", "Index 2"])");
}
