#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/foundation/LocalizedFormat.h"

namespace SwiftUI {

// The key of a localizable text: a format (the lookup key) and the values
// for its placeholders. With no translations the text shows as the format
// rendered with its arguments, its default form.
//
//   LocalizedStringKey("Done")                          key "Done"
//   LocalizedStringKey::interpolated({"", percent, "%"}) key "%lld%%", args {percent}
//   LocalizedStringKey::interpolated({"", a, " / ", b, ""}) key "%@ / %@", args {a, b}
//
// interpolated() builds the key the way the platform builds one from an
// interpolated literal: literal pieces are copied with each "%" doubled,
// an integer argument adds "%lld" and a text argument "%@".
class LocalizedStringKey {
 public:
  // One piece of an interpolation. A C string is a literal piece; a
  // std::string or an integer is an argument.
  class Piece {
   public:
    Piece(const char* literal) : literal_(literal), isLiteral_(true) {}  // NOLINT
    Piece(std::string text) : argument_(std::move(text)) {}              // NOLINT
    Piece(std::int64_t integer) : argument_(integer) {}                  // NOLINT

   private:
    friend class LocalizedStringKey;
    const char* literal_ = nullptr;
    Foundation::FormatArgument argument_;
    bool isLiteral_ = false;
  };

  // A key used as it is, with no arguments.
  explicit LocalizedStringKey(std::string key) : key_(std::move(key)) {}
  // A format and its arguments, in placeholder order.
  LocalizedStringKey(std::string format, std::vector<Foundation::FormatArgument> arguments)
      : key_(std::move(format)), arguments_(std::move(arguments)) {}

  static LocalizedStringKey interpolated(std::initializer_list<Piece> pieces) {
    LocalizedStringKey result{std::string()};
    for (const Piece& piece : pieces) {
      if (piece.isLiteral_) {
        for (const char* c = piece.literal_; *c != '\0'; ++c) {
          result.key_.push_back(*c);
          if (*c == '%') result.key_.push_back('%');
        }
      } else {
        result.key_.append(std::holds_alternative<std::int64_t>(piece.argument_) ? "%lld" : "%@");
        result.arguments_.push_back(piece.argument_);
      }
    }
    return result;
  }

  const std::string& key() const { return key_; }
  const std::vector<Foundation::FormatArgument>& arguments() const { return arguments_; }

  // The text as shown: the key's translation (none exist, so the key itself)
  // rendered with the arguments.
  std::string resolved() const {
    return Foundation::renderFormat(Foundation::localizedFormat(key_), arguments_);
  }

  friend bool operator==(const LocalizedStringKey&, const LocalizedStringKey&) = default;

 private:
  std::string key_;
  std::vector<Foundation::FormatArgument> arguments_;
};

}  // namespace SwiftUI
