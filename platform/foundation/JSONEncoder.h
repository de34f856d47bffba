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
#include "platform/foundation/JSONWriter.h"
#include "platform/foundation/Result.h"

// The keyed JSON encoder, in the style of the platform's encoder.
//
//     void Point::encode(Foundation::Encoder& encoder) const {
//       auto c = encoder.container();
//       c.encode("x", x);
//       c.encodeIfPresent("label", label);
//     }
//     auto json = Foundation::JSONEncoder().encode(point);  // {"x":2}
//
// Policy:
//
// - Keys are written in the order they are encoded; the record's encode
//   decides the order. encodeIfPresent writes nothing for an absent value
//   (never null).
// - Doubles and dates are written in the shortest form that reads back
//   exactly, without a trailing ".0" (0.42, 1, 1e+20); whole numbers below
//   2^53 in full (818000000, not 8.18e+08). A NaN or an infinity
//   ends the encoding with an EncodingError (invalidValue) at the path of its
//   key: "Unable to encode Double.nan directly in JSON."
// - Strings: `"`, `\` and control characters are escaped (\b \f \n \r \t,
//   otherwise \u00xx), `/` is written `\/` unless withoutEscapingSlashes is
//   set; all other text is copied as raw UTF-8, unchecked.
// - Output is compact unless prettyPrinted (two-space indentation).
// - All or nothing: an error discards everything written so far.
//
// Writing is streaming: a container writes as it is given values, and a value
// whose encode writes nothing is written as {}. A record's encode uses one
// container at a time: once it encodes the next key of an outer container,
// the nested containers opened before are closed and must not be used again.
namespace Foundation {

class Encoder;
class KeyedEncodingContainer;
class UnkeyedEncodingContainer;
class SingleValueEncodingContainer;

namespace detail {

// The output of one encode, and the containers that are open in it.
struct EncodingState {
  explicit EncodingState(JSONWriter::Options options) : writer(options) {}

  JSONWriter writer;
  std::vector<bool> open;  // true for an object, false for an array; innermost last
  // Paths of nested containers; allocated only when one is opened.
  std::vector<std::unique_ptr<std::pair<std::string, CodingPathNode>>> nodes;

  // Closes the containers opened above `depth`.
  void closeTo(std::size_t depth) {
    while (open.size() > depth) {
      if (open.back()) {
        writer.endObject();
      } else {
        writer.endArray();
      }
      open.pop_back();
    }
  }
  const CodingPathNode* keep(const CodingPathNode* parent, std::string_view key,
                             std::int64_t index) {
    auto& owned = *nodes.emplace_back(
        std::make_unique<std::pair<std::string, CodingPathNode>>(key, CodingPathNode{}));
    owned.second = CodingPathNode{parent, owned.first, index};
    return &owned.second;
  }
};

}  // namespace detail

// Writes one value: as a keyed container (an object), an unkeyed container
// (an array) or a single value. Use exactly one of them, once.
class Encoder {
 public:
  KeyedEncodingContainer container();
  UnkeyedEncodingContainer unkeyedContainer();
  SingleValueEncodingContainer singleValueContainer();

  // Writes the value as a T.
  template <Encodable T>
  void encode(const T& value);
  void encodeNil();

  CodingPath codingPath() const { return detail::makeCodingPath(path_); }

 private:
  friend class JSONEncoder;
  friend class KeyedEncodingContainer;
  friend class UnkeyedEncodingContainer;

  Encoder(detail::EncodingState* state, const detail::CodingPathNode* path)
      : state_(state), path_(path) {}

  // Writes value as the value at path (after its key, in an array, or at the
  // top), and closes whatever containers its encode left open.
  template <Encodable T>
  static void encodeChild(detail::EncodingState* state, const detail::CodingPathNode* path,
                          const T& value) {
    std::size_t depth = state->open.size();
    std::size_t written = state->writer.text().size();
    Encoder(state, path).encode(value);
    state->closeTo(depth);
    if (state->writer.text().size() == written) {
      state->writer.beginObject();
      state->writer.endObject();
    }
  }

  void encodeDouble(double value);

  detail::EncodingState* state_;
  const detail::CodingPathNode* path_;
};

// The value of an Encoder, written as one value.
class SingleValueEncodingContainer {
 public:
  explicit SingleValueEncodingContainer(const Encoder& encoder) : encoder_(encoder) {}

  template <Encodable T>
  void encode(const T& value) {
    encoder_.encode(value);
  }
  void encodeNil() { encoder_.encodeNil(); }

 private:
  Encoder encoder_;
};

// The members of one JSON object, written in the order they are encoded.
class KeyedEncodingContainer {
 public:
  template <Encodable T>
  void encode(std::string_view key, const T& value) {
    detail::CodingPathNode node{path_, key};
    writeKey(key);
    Encoder::encodeChild(state_, &node, value);
  }
  // Writes the value when present; nothing (no key) when absent.
  template <Encodable T>
  void encodeIfPresent(std::string_view key, const std::optional<T>& value) {
    if (value) encode(key, *value);
  }
  void encodeNil(std::string_view key);

  // An object or array under key, to be filled before the next key of this
  // container is encoded.
  KeyedEncodingContainer nestedContainer(std::string_view key);
  UnkeyedEncodingContainer nestedUnkeyedContainer(std::string_view key);

  CodingPath codingPath() const { return detail::makeCodingPath(path_); }

 private:
  friend class Encoder;

  KeyedEncodingContainer(detail::EncodingState* state, const detail::CodingPathNode* path,
                         std::size_t depth)
      : state_(state), path_(path), depth_(depth) {}

  void writeKey(std::string_view key);

  detail::EncodingState* state_;
  const detail::CodingPathNode* path_;
  std::size_t depth_;  // count of open containers, this one included
};

// The elements of one JSON array, written in order.
class UnkeyedEncodingContainer {
 public:
  template <Encodable T>
  void encode(const T& value) {
    detail::CodingPathNode node{path_, {}, static_cast<std::int64_t>(count_)};
    state_->closeTo(depth_);
    Encoder::encodeChild(state_, &node, value);
    ++count_;
  }
  void encodeNil();

  std::size_t count() const { return count_; }
  CodingPath codingPath() const { return detail::makeCodingPath(path_); }

 private:
  friend class Encoder;
  friend class KeyedEncodingContainer;

  UnkeyedEncodingContainer(detail::EncodingState* state, const detail::CodingPathNode* path,
                           std::size_t depth)
      : state_(state), path_(path), depth_(depth) {}

  detail::EncodingState* state_;
  const detail::CodingPathNode* path_;
  std::size_t depth_;
  std::size_t count_ = 0;
};

template <Encodable T>
void Encoder::encode(const T& value) {
  if constexpr (std::same_as<T, bool>) {
    state_->writer.boolean(value);
  } else if constexpr (std::same_as<T, std::int64_t>) {
    state_->writer.integer(value);
  } else if constexpr (std::same_as<T, double>) {
    encodeDouble(value);
  } else if constexpr (std::same_as<T, std::string>) {
    state_->writer.string(value);
  } else if constexpr (std::same_as<T, Date>) {
    encodeDouble(value.timeIntervalSinceReferenceDate);
  } else if constexpr (detail::IsVector<T>::value) {
    UnkeyedEncodingContainer elements = unkeyedContainer();
    for (const auto& element : value) elements.encode(element);
  } else {
    Encoder copy = *this;
    CodableTraits<T>::encode(value, copy);
  }
}

// Encodes values as JSON text. See the policy at the top of this file.
class JSONEncoder {
 public:
  struct OutputFormatting {
    bool prettyPrinted = false;
    bool withoutEscapingSlashes = false;
  };

  JSONEncoder() = default;
  explicit JSONEncoder(OutputFormatting formatting) : formatting_(formatting) {}

  // The JSON text of value, or the error that stopped it. Never throws an
  // EncodingError.
  template <Encodable T>
  Result<std::string, EncodingError> encode(const T& value) const {
    detail::EncodingState state({.prettyPrinted = formatting_.prettyPrinted,
                                 .escapeSlashes = !formatting_.withoutEscapingSlashes});
    try {
      Encoder::encodeChild(&state, nullptr, value);
    } catch (EncodingError& error) {
      return std::move(error);
    }
    return state.writer.take();
  }

 private:
  OutputFormatting formatting_;
};

}  // namespace Foundation
