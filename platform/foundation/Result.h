#pragma once

#include <cassert>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

// How anything in this tree that can fail says so: it returns a Result, the
// value it made or the error that prevented it. Nothing throws across a
// module's public entry points, and no other shape (an optional error, an
// optional payload, a bool with an out-parameter) carries a failure. The
// one exception is the object classes (NS*), whose methods take NSError**
// as the platform's own do.
//
//   Foundation::Result<Configuration, std::string> configuration(std::string_view json);
//
//   auto configuration = DownloadQueue::configuration(text);
//   if (!configuration) return configuration.error();  // passes the error on
//   start(std::move(*configuration));
//
// An operation that gives nothing back on success returns Result<void, E>:
// `return {};` (or Result<void, E>::success()) for success, an E for a
// failure.
//
//   Foundation::Result<void, OutputError> writeFile(const std::string& path, ...);
//
//   if (auto written = writeFile(path, bytes, size); !written) report(written.error());
//
// A Result converts from a T and from an E, so a function returns either
// directly; T and E must therefore be different types. Reading value() of
// a failure or error() of a success is a bug, caught by an assertion.
namespace Foundation {

template <class T, class E>
class [[nodiscard]] Result {
  static_assert(!std::is_same_v<std::remove_cv_t<T>, std::remove_cv_t<E>>,
                "a Result's value and error types must differ");

 public:
  Result(T value)
      : storage_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  Result(E error)
      : storage_(std::in_place_index<1>, std::move(error)) {}  // NOLINT: implicit by design

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
  T&& operator*() && { return std::move(*this).value(); }

  // The error; only when !ok().
  const E& error() const& {
    assert(!ok());
    return *std::get_if<1>(&storage_);
  }
  E&& error() && {
    assert(!ok());
    return std::move(*std::get_if<1>(&storage_));
  }

 private:
  std::variant<T, E> storage_;
};

// Success with nothing to give back, or the error.
template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;                            // success
  Result(E error) : error_(std::move(error)) {}  // NOLINT: implicit by design
  static Result success() { return {}; }

  bool ok() const { return !error_.has_value(); }
  explicit operator bool() const { return ok(); }

  // The error; only when !ok().
  const E& error() const& {
    assert(!ok());
    return *error_;
  }
  E&& error() && {
    assert(!ok());
    return std::move(*error_);
  }

 private:
  std::optional<E> error_;
};

}  // namespace Foundation
