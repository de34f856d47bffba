#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Foundation {

// Where in a value coding stopped: the keys of the objects passed through,
// and array elements written "Index N", outermost first. Empty at the top.
using CodingPath = std::vector<std::string>;

// The path as one line: ["appNames", "Index 2"], or [] at the top level.
std::string describeCodingPath(const CodingPath& path);

// Why decoding failed. The four kinds of the platform's decoder:
//
// - keyNotFound: a required key is missing. The path is that of the object
//   that lacks it; the description names the key:
//   No value associated with key "phase".
// - valueNotFound: null where a value is required. The path ends at the key
//   or element: Expected Int value but found null instead.
// - typeMismatch: a value of another JSON type. The path ends at the key or
//   element: Expected to decode Int but found a string instead.
// - dataCorrupted: input that is not valid JSON (path [], "The given data was
//   not valid JSON."), or a value of the right type that the field cannot
//   hold (a fractional or too large integer, a key given twice, a string
//   that names no enumeration case); the path ends at the offending value.
struct DecodingError {
  enum class Kind : std::uint8_t { keyNotFound, valueNotFound, typeMismatch, dataCorrupted };

  Kind kind = Kind::dataCorrupted;
  CodingPath codingPath;
  std::string debugDescription;

  // "keyNotFound", "valueNotFound", "typeMismatch" or "dataCorrupted".
  static std::string_view name(Kind kind);
  std::string_view kindName() const { return name(kind); }
};

// Why encoding failed. The encoder has one kind, invalidValue: a value that
// JSON cannot hold (NaN or an infinity), at the path of its key.
struct EncodingError {
  CodingPath codingPath;
  std::string debugDescription;

  static constexpr std::string_view kindName() { return "invalidValue"; }
};

}  // namespace Foundation
