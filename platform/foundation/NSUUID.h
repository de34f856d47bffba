#pragma once

// A universally unique identifier: 128 random bits (version 4, from libuuid's
// random generator), written as 36 upper-case hexadecimal characters and
// hyphens ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), as the platform writes it.

#include <string>

#include "platform/foundation/NSObjCBridge.h"

class FOUNDATION_EXPORT NSUUID : public objc_object {
 public:
  // A new random UUID, autoreleased.
  static NSUUID* UUID();

  // The 36-character upper-case form.
  const std::string& UUIDString() const { return string_; }

  static Class classObject();

 private:
  NSUUID();
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);
  ~NSUUID() = default;

  std::string string_;
};
