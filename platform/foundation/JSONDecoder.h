#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Codable.h"
#include "platform/foundation/CodingError.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Result.h"

// The keyed JSON decoder, in the style of the platform's decoder.
//
//     struct Point {
//       std::int64_t x;
//       std::optional<std::string> label;
//       static Point decode(Foundation::Decoder& decoder) {
//         auto c = decoder.container();
//         return {c.decode<std::int64_t>("x"), c.decodeIfPresent<std::string>("label")};
//       }
//     };
//     auto point = Foundation::JSONDecoder().decode<Point>(R"({"x": 2})");
//     if (!point) report(point.error());
//
// Policy (the same for every record):
//
// - All or nothing. A record's decode asks for its keys in its own
//   declaration order and the first failure ends the whole decode; the
//   caller gets a DecodingError (kind, coding path, description) and no
//   partial value.
// - Keys the record does not ask for are ignored, even when given twice. A
//   key the record asks for that is given twice is dataCorrupted at that key:
//   two readers must never see two different records in one payload.
// - decodeIfPresent: a missing key or null gives an absent optional; any
//   other value must decode as for decode().
// - Integers (std::int64_t, "Int") accept any JSON number with an exact
//   integral value that fits 64 bits: 2, -0, 2.0 and 1e3 decode; 2.5 and
//   9223372036854775808 are dataCorrupted ("Parsed JSON number <2.5> does
//   not fit in Int."). Doubles accept every JSON number, integers too; "-0"
//   is read as an integer and gives +0.0 (write -0.0 to keep the sign).
// - Text is valid UTF-8. The parser checks the raw bytes and the escapes (a
//   lone surrogate such as \ud800 is invalid), and refuses the whole input as
//   not valid JSON otherwise. U+0000 may appear (\u0000) and is kept.
// - Dates are numbers, seconds since 2001-01-01 00:00:00 UTC.
// - A value of another JSON type is typeMismatch (also a top-level value
//   that is not an object where a record is expected, at []); null where a
//   value is required is valueNotFound; a missing required key is
//   keyNotFound, at the path of the object that lacks it.
// - Empty, malformed, or over-deep input (nesting beyond 1024 levels), a
//   number beyond the range of a double, or an integer literal beyond
//   2^64 - 1 is dataCorrupted at [] with "The given data was not valid JSON."
// - The decoder sets no bound on the size of the input. Whoever receives a
//   payload enforces its limit (the platform refuses an activity's state over
//   4,096 bytes before decoding it).
//
// Cost: one parse of the whole input (validating, about a gigabyte a second)
// plus, per object, one pass to list its members and find repeated keys. A
// lookup starts after the previous key found, so keys read in the order they
// are written cost one comparison each; an object with a repeated key is
// scanned whole at every lookup.
// Threads: a JSONDecoder keeps its parser's buffers between calls; use one
// per thread.
namespace Foundation {

class Decoder;
class KeyedDecodingContainer;
class UnkeyedDecodingContainer;
class SingleValueDecodingContainer;

namespace detail {

struct DecodingState;

// A parsed JSON value, valid while its decode runs: its position in the
// parsed document, which the decoder's state holds. One word, so that it
// moves through registers.
struct JSONValueRef {
  std::uint64_t index;
};

}  // namespace detail

// Gives access to one JSON value during a decode, as a keyed container (an
// object), an unkeyed container (an array) or a single value. Every failure
// throws internally and reaches the caller of JSONDecoder::decode as its
// error; record code never catches.
class Decoder {
 public:
  // The value as an object. typeMismatch unless it is one ("Expected to
  // decode Dictionary<String, Any> but found an array instead."),
  // valueNotFound when it is null.
  KeyedDecodingContainer container() const;
  // The value as an array; typeMismatch / valueNotFound as above.
  UnkeyedDecodingContainer unkeyedContainer() const;
  // The value itself.
  SingleValueDecodingContainer singleValueContainer() const;

  // Decodes the value as a T.
  template <Decodable T>
  T decode() const;

  // True when the value is null.
  bool decodeNil() const;

  // The path from the top of the input to this value.
  CodingPath codingPath() const;

  // Ends the decode with a dataCorrupted error at this value.
  [[noreturn]] void dataCorrupted(std::string debugDescription) const;

 private:
  friend class JSONDecoder;
  friend class KeyedDecodingContainer;
  friend class UnkeyedDecodingContainer;

  Decoder(detail::JSONValueRef value, const detail::CodingPathNode* path,
          detail::DecodingState* state)
      : value_(value), path_(path), state_(state) {}

  bool decodeBool() const;
  std::int64_t decodeInt() const;
  double decodeDouble() const;
  std::string decodeString() const { return std::string(decodeStringView()); }
  std::string_view decodeStringView() const;

  detail::JSONValueRef value_;
  const detail::CodingPathNode* path_;
  detail::DecodingState* state_;
};

// The value of a Decoder, read as one value (the decoder's own view).
class SingleValueDecodingContainer {
 public:
  explicit SingleValueDecodingContainer(const Decoder& decoder) : decoder_(decoder) {}

  bool decodeNil() const { return decoder_.decodeNil(); }
  template <Decodable T>
  T decode() const {
    return decoder_.decode<T>();
  }
  CodingPath codingPath() const { return decoder_.codingPath(); }
  [[noreturn]] void dataCorrupted(std::string debugDescription) const {
    decoder_.dataCorrupted(std::move(debugDescription));
  }

 private:
  Decoder decoder_;
};

// The members of one JSON object. Keys are looked up by their exact text
// (after unescaping).
class KeyedDecodingContainer {
 public:
  // The value for key, decoded as a T. keyNotFound when the key is missing;
  // otherwise as Decoder::decode at the path extended by the key.
  template <Decodable T>
  T decode(std::string_view key) const {
    if constexpr (std::same_as<T, bool>) {
      return decodeBool(key);
    } else if constexpr (std::same_as<T, std::int64_t>) {
      return decodeInt(key);
    } else if constexpr (std::same_as<T, double>) {
      return decodeDouble(key);
    } else if constexpr (std::same_as<T, Date>) {
      return Date(decodeDouble(key));
    } else {
      detail::CodingPathNode node{path_, key};
      return Decoder(requiredValue(key), &node, state_).template decode<T>();
    }
  }

  // The value for key, or nothing when the key is missing or null.
  template <Decodable T>
  std::optional<T> decodeIfPresent(std::string_view key) const {
    detail::JSONValueRef value;
    if (!presentValue(key, value)) return std::nullopt;
    detail::CodingPathNode node{path_, key};
    return Decoder(value, &node, state_).template decode<T>();
  }

  // True when the object has the key (with any value, null included).
  bool contains(std::string_view key) const;
  // True when the key is missing or null.
  bool decodeNil(std::string_view key) const;

  // The object or array at key, as a container (keyNotFound when missing).
  KeyedDecodingContainer nestedContainer(std::string_view key) const;
  UnkeyedDecodingContainer nestedUnkeyedContainer(std::string_view key) const;

  CodingPath codingPath() const { return detail::makeCodingPath(path_); }

 private:
  friend class Decoder;

  KeyedDecodingContainer(const detail::CodingPathNode* path, detail::DecodingState* state,
                         std::uint32_t begin, std::uint32_t end, bool hasRepeatedKeys)
      : path_(path),
        state_(state),
        begin_(begin),
        end_(end),
        next_(begin),
        hasRepeatedKeys_(hasRepeatedKeys) {}

  // The numbers and flags of keys, each in one call.
  bool decodeBool(std::string_view key) const;
  std::int64_t decodeInt(std::string_view key) const;
  double decodeDouble(std::string_view key) const;

  // The value of a key; keyNotFound if missing, dataCorrupted if given twice.
  detail::JSONValueRef requiredValue(std::string_view key) const;
  // False if missing or null; dataCorrupted if given twice.
  bool presentValue(std::string_view key, detail::JSONValueRef& value) const;
  Decoder nestedDecoder(std::string_view key) const;

  const detail::CodingPathNode* path_;
  detail::DecodingState* state_;
  std::uint32_t begin_;  // this object's members in the state's member list
  std::uint32_t end_;
  // Where the next lookup starts: just after the last key found, since
  // records are usually written in the order they are read.
  mutable std::uint32_t next_;
  bool hasRepeatedKeys_;  // some key of the object is given more than once
};

// The elements of one JSON array, read front to back.
class UnkeyedDecodingContainer {
 public:
  std::size_t count() const { return end_ - begin_; }
  bool isAtEnd() const { return current_ == end_; }
  std::size_t currentIndex() const { return current_ - begin_; }

  // The next element, decoded as a T, at the path extended by "Index N".
  // valueNotFound when the array is at its end.
  template <Decodable T>
  T decode() {
    detail::CodingPathNode node{path_, {}, static_cast<std::int64_t>(currentIndex())};
    T value = Decoder(currentElement(node), &node, state_).template decode<T>();
    ++current_;
    return value;
  }

  // True (and moves on) when the next element is null.
  bool decodeNil();

  CodingPath codingPath() const { return detail::makeCodingPath(path_); }

 private:
  friend class Decoder;

  UnkeyedDecodingContainer(const detail::CodingPathNode* path, detail::DecodingState* state,
                           std::uint32_t begin, std::uint32_t end)
      : path_(path), state_(state), begin_(begin), end_(end), current_(begin) {}

  detail::JSONValueRef currentElement(const detail::CodingPathNode& node) const;
  // The next element's text, valid during the decode, and moves on; fails
  // as decode<std::string>() does.
  std::string_view nextStringView();

  const detail::CodingPathNode* path_;
  detail::DecodingState* state_;
  std::uint32_t begin_;  // this array's elements in the state's element list
  std::uint32_t end_;
  std::uint32_t current_;
};

template <Decodable T>
T Decoder::decode() const {
  if constexpr (std::same_as<T, bool>) {
    return decodeBool();
  } else if constexpr (std::same_as<T, std::int64_t>) {
    return decodeInt();
  } else if constexpr (std::same_as<T, double>) {
    return decodeDouble();
  } else if constexpr (std::same_as<T, std::string>) {
    return decodeString();
  } else if constexpr (std::same_as<T, Date>) {
    return Date(decodeDouble());
  } else if constexpr (std::same_as<T, std::vector<std::string>>) {
    // Built in place: each text is copied once, from the parsed document.
    UnkeyedDecodingContainer elements = unkeyedContainer();
    T values;
    values.reserve(elements.count());
    while (!elements.isAtEnd()) values.emplace_back(elements.nextStringView());
    return values;
  } else if constexpr (detail::IsVector<T>::value) {
    UnkeyedDecodingContainer elements = unkeyedContainer();
    T values;
    values.reserve(elements.count());
    while (!elements.isAtEnd())
      values.push_back(elements.template decode<typename T::value_type>());
    return values;
  } else {
    Decoder copy = *this;
    return CodableTraits<T>::decode(copy);
  }
}

// Decodes values from JSON text. See the policy at the top of this file.
class JSONDecoder {
 public:
  JSONDecoder();
  ~JSONDecoder();
  JSONDecoder(JSONDecoder&&) noexcept;
  JSONDecoder& operator=(JSONDecoder&&) noexcept;

  // The T that the JSON text holds, or why it holds none. Never throws a
  // DecodingError; the input need not outlive the call.
  template <Decodable T>
  Result<T, DecodingError> decode(std::string_view json) {
    try {
      return root(json).template decode<T>();
    } catch (DecodingError& error) {
      return std::move(error);
    }
  }

 private:
  // Parses json and returns a decoder for its top-level value; throws
  // dataCorrupted when it is not valid JSON.
  Decoder root(std::string_view json);

  std::unique_ptr<detail::DecodingState> state_;
};

}  // namespace Foundation
