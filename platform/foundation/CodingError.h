#pragma once

#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
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

// Either a value or the error that prevented it. The coders return this;
// no exception leaves their public entry points.
template <class T, class E>
class Result {
 public:
  Result(T value) : storage_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  Result(E error) : storage_(std::in_place_index<1>, std::move(error)) {}   // NOLINT: implicit by design

  bool ok() const { return storage_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  T& value() & {
    assert(ok());
    return *std::get_if<0>(&storage_);
  }
  const T& value() const& {
    assert(ok());
    return *std::get_if<0>(&storage_);
  }
  T&& value() && {
    assert(ok());
    return std::move(*std::get_if<0>(&storage_));
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  // The error; only when !ok().
  const E& error() const {
    assert(!ok());
    return *std::get_if<1>(&storage_);
  }

 private:
  std::variant<T, E> storage_;
};

}  // namespace Foundation
