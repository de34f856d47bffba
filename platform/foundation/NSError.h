#pragma once

// An error object: a domain, a code within it, the POSIX error that caused it
// (0 when none) and a sentence for people. File operations report errors in
// the Cocoa domain with the platform's codes and wordings (below).

#include <string>
#include <string_view>

#include "platform/foundation/NSObjCBridge.h"

inline constexpr const char* NSCocoaErrorDomain = "NSCocoaErrorDomain";

// Cocoa error codes used by the file manager.
enum : long {
  NSFileNoSuchFileError = 4,
  NSFileReadUnknownError = 256,
  NSFileReadNoPermissionError = 257,
  NSFileReadNoSuchFileError = 260,
  NSFileReadUnsupportedSchemeError = 262,
  NSFileWriteUnknownError = 512,
  NSFileWriteNoPermissionError = 513,
  NSFileWriteFileExistsError = 516,
  NSFileWriteOutOfSpaceError = 640,
  NSFileWriteVolumeReadOnlyError = 642,
};

class FOUNDATION_EXPORT NSError : public objc_object {
 public:
  // A new error, autoreleased (the platform hands errors out autoreleased
  // through NSError** parameters).
  static NSError* errorWithDomain(std::string_view domain, long code, std::string_view description,
                                  int posixCode = 0);

  const std::string& domain() const { return domain_; }
  long code() const { return code_; }
  // The errno value underneath, or 0.
  int underlyingPOSIXCode() const { return posix_; }
  const std::string& localizedDescription() const { return description_; }

  static Class classObject();

 private:
  NSError(std::string_view domain, long code, std::string_view description, int posixCode);
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);
  ~NSError() = default;

  std::string domain_;
  long code_;
  std::string description_;
  int posix_;
};

namespace Foundation::detail {

// The file manager's error for a failed read of the item named `name`
// (errno `posix`): 260 no such file (also a dangling link or a loop), 257 no
// permission, 256 otherwise. Autoreleased.
FOUNDATION_EXPORT NSError* readError(int posix, std::string_view name);

// 262: the item named `name` is behind a URL that is not a file URL.
FOUNDATION_EXPORT NSError* unsupportedSchemeError(std::string_view name);

}  // namespace Foundation::detail
