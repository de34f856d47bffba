#pragma once

// An immutable text object, for the places where text must travel as an
// object (array elements, message arguments). Foundation's other C++ APIs
// take and return std::string for text.

#include <string>
#include <string_view>

#include "platform/foundation/NSObjCBridge.h"

class FOUNDATION_EXPORT NSString : public objc_object {
 public:
  // A new string holding a copy of `text`, autoreleased.
  static NSString* stringWithUTF8String(std::string_view text);

  // The text; owned by the string.
  const std::string& string() const { return text_; }
  const char* UTF8String() const { return text_.c_str(); }

  // The runtime class "NSString"; nil-safe downcast (nil when obj is not one).
  static Class classObject();
  static NSString* cast(id obj);

 private:
  explicit NSString(std::string_view text);
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);
  ~NSString() = default;

  std::string text_;
};
