#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/foundation/CodingError.h"
#include "platform/foundation/Date.h"

// What makes a type codable by the keyed coders (JSONDecoder.h, JSONEncoder.h).
//
// A record names its own keys and their order; the coders know nothing about
// any record. A decodable record declares
//
//     static Record decode(Foundation::Decoder& decoder);
//
// and an encodable one
//
//     void encode(Foundation::Encoder& encoder) const;
//
// A type that cannot declare members (an enumeration) specialises
// Foundation::CodableTraits<T> with the same two functions as statics
// (decode(Decoder&), encode(const T&, Encoder&)).
//
// Built in: bool, std::int64_t ("Int"), double ("Double"), std::string
// ("String"), Foundation::Date (a number, seconds since 2001-01-01 UTC), and
// std::vector<T> of any codable T (a JSON array). Optionals are coded with
// decodeIfPresent / encodeIfPresent.
namespace Foundation {

class Decoder;
class Encoder;

template <class T>
struct CodableTraits {
  static T decode(Decoder& decoder) requires requires(Decoder& d) {
    { T::decode(d) } -> std::same_as<T>;
  }
  { return T::decode(decoder); }
  static void encode(const T& value, Encoder& encoder) requires requires(const T& v, Encoder& e) {
    v.encode(e);
  }
  { value.encode(encoder); }
};

// The values that the coders read and write themselves.
template <class T>
inline constexpr bool isCodingPrimitive =
    std::same_as<T, bool> || std::same_as<T, std::int64_t> || std::same_as<T, double> ||
    std::same_as<T, std::string> || std::same_as<T, Date>;

template <class T>
inline constexpr bool isDecodable = isCodingPrimitive<T> || requires(Decoder& d) {
  { CodableTraits<T>::decode(d) } -> std::same_as<T>;
};
template <class T>
inline constexpr bool isDecodable<std::vector<T>> = isDecodable<T>;

template <class T>
inline constexpr bool isEncodable = isCodingPrimitive<T> || requires(const T& v, Encoder& e) {
  CodableTraits<T>::encode(v, e);
};
template <class T>
inline constexpr bool isEncodable<std::vector<T>> = isEncodable<T>;

template <class T>
concept Decodable = isDecodable<T>;
template <class T>
concept Encodable = isEncodable<T>;

namespace detail {

// One step of the path while coding: a key, or (key empty) an array index.
// Nodes live on the stack of the coder's recursion or in the coder's state,
// and are turned into a CodingPath only when an error is raised.
struct CodingPathNode {
  const CodingPathNode* parent = nullptr;
  std::string_view key;
  std::int64_t index = -1;  // >= 0 for an array element
};

CodingPath makeCodingPath(const CodingPathNode* node);

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

}  // namespace detail

}  // namespace Foundation
