#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Foundation {

// A streaming JSON text writer, the low layer under the keyed encoder and the
// view-tree description. It places commas and (when pretty-printing) line
// breaks itself; the caller says what comes next. Writing a value where none
// is allowed (a value in an object without a key) is a caller bug and
// asserts in debug builds.
//
// Numbers: doubles in the shortest form that reads back exactly, without a
// trailing ".0" (0.42, 1, 1e+20). Non-finite doubles cannot be written; the
// caller must check first (number() asserts).
// Strings: `"`, `\` and control characters are escaped (\b \f \n \r \t, else
// \u00xx), `/` as `\/` when escapeSlashes is set (the platform encoder's
// default); all other text is copied as raw UTF-8.
class JSONWriter {
 public:
  struct Options {
    bool prettyPrinted = false;  // two-space indentation, "key": value
    bool escapeSlashes = true;
  };

  JSONWriter() = default;
  explicit JSONWriter(Options options) : options_(options) {}

  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  void key(std::string_view name);

  void string(std::string_view text);
  void number(double value);
  void integer(std::int64_t value);
  void boolean(bool value);
  void null();

  // The text written so far. Complete once every container is closed.
  const std::string& text() const { return out_; }
  std::string take() { return std::move(out_); }
  bool complete() const { return stack_.empty() && !out_.empty(); }

  // Appends the escaped form of text (without quotes) to out.
  static void appendEscaped(std::string& out, std::string_view text, bool escapeSlashes);
  // Appends the shortest exact form of a finite double to out.
  static void appendNumber(std::string& out, double value);

 private:
  struct Level {
    bool isObject;
    bool empty = true;
  };
  void beforeValue();
  void newline();

  Options options_;
  std::string out_;
  std::vector<Level> stack_;
  bool afterKey_ = false;
};

}  // namespace Foundation
