#include "platform/foundation/JSONEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/JSONDecoder.h"

using Foundation::CodingPath;
using Foundation::Date;
using Foundation::Encoder;
using Foundation::JSONEncoder;

namespace {

struct Sample {
  double value = 0;
  void encode(Encoder& encoder) const { encoder.container().encode("value", value); }
};

struct Shipment {
  std::string name;
  std::optional<Date> due;
  std::vector<Sample> samples;
  std::int64_t count = 0;
  bool sealed = false;

  void encode(Encoder& encoder) const {
    auto c = encoder.container();
    c.encode("name", name);
    c.encodeIfPresent("due", due);
    c.encode("samples", samples);
    c.encode("count", count);
    c.encode("sealed", sealed);
  }
};

std::string encoded(const Shipment& shipment, JSONEncoder::OutputFormatting formatting = {}) {
  auto result = JSONEncoder(formatting).encode(shipment);
  EXPECT_TRUE(result.ok());
  return result.ok() ? *result : std::string();
}

}  // namespace

// Keys in the order encoded, absent optionals left out, and slashes escaped
// unless asked otherwise (the writer's tests pin the rest of the number and
// text forms).
TEST(JSONEncoder, WritesKeysInTheOrderEncodedAndOmitsAbsentOptionals) {
  Shipment shipment{"a/b", std::nullopt, {{0.42}, {1.0}}, -7, true};
  EXPECT_EQ(encoded(shipment),
            R"({"name":"a\/b","samples":[{"value":0.42},{"value":1}],"count":-7,"sealed":true})");
  shipment.due = Date(818000000.5);
  shipment.samples.clear();
  EXPECT_EQ(encoded(shipment, {.withoutEscapingSlashes = true}),
            R"({"name":"a/b","due":818000000.5,"samples":[],"count":-7,"sealed":true})");
}

TEST(JSONEncoder, NonFiniteNumbersFailAtTheirKey) {
  constexpr double infinity = std::numeric_limits<double>::infinity();
  for (const auto& [value, shown] : {std::pair{std::nan(""), "Double.nan"},
                                     {infinity, "Double.infinity"},
                                     {-infinity, "-Double.infinity"}}) {
    auto result = JSONEncoder().encode(Shipment{"x", std::nullopt, {{1}, {value}}, 0, false});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().codingPath, (CodingPath{"samples", "Index 1", "value"}));
    EXPECT_EQ(result.error().debugDescription,
              std::string("Unable to encode ") + shown + " directly in JSON.");
  }
  auto date = JSONEncoder().encode(Shipment{"x", Date(std::nan("")), {}, 0, false});
  ASSERT_FALSE(date.ok());
  EXPECT_EQ(date.error().codingPath, CodingPath{"due"});
}

TEST(JSONEncoder, NestedContainersCloseBeforeTheNextKey) {
  struct Nested {
    void encode(Encoder& encoder) const {
      auto c = encoder.container();
      auto inner = c.nestedContainer("inner");
      inner.encode("a", std::int64_t{1});
      auto list = inner.nestedUnkeyedContainer("list");
      list.encode(std::string("x"));
      list.encodeNil();
      c.encode("after", true);
      c.encodeNil("none");
    }
  };
  struct Empty {
    void encode(Encoder&) const {}
  };
  EXPECT_EQ(*JSONEncoder().encode(Nested{}),
            R"({"inner":{"a":1,"list":["x",null]},"after":true,"none":null})");
  EXPECT_EQ(*JSONEncoder().encode(Empty{}), "{}");
}

// What the encoder writes, the decoder reads back unchanged.
TEST(JSONEncoder, RoundTripsThroughTheDecoder) {
  struct Texts {
    std::vector<std::string> items;
    void encode(Encoder& e) const { e.container().encode("items", items); }
    static Texts decode(Foundation::Decoder& d) {
      return {d.container().decode<std::vector<std::string>>("items")};
    }
  };
  Texts texts{{std::string("nul\0in", 6), "\x7f\xc2\x80 \xe2\x80\xa8 \xf4\x8f\xbf\xbf",
               "\"\\/\b\f\n\r\t\x1f", ""}};
  auto json = JSONEncoder().encode(texts);
  ASSERT_TRUE(json.ok());
  auto back = Foundation::JSONDecoder().decode<Texts>(*json);
  ASSERT_TRUE(back.ok()) << *json;
  EXPECT_EQ(back->items, texts.items);
}
