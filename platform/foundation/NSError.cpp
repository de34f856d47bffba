#include "platform/foundation/NSError.h"

#include <cerrno>

NSError::NSError(std::string_view domain, long code, std::string_view description, int posixCode)
    : domain_(domain), code_(code), description_(description), posix_(posixCode) {
  isa = classObject();
}

NSError* NSError::errorWithDomain(std::string_view domain, long code, std::string_view description,
                                  int posixCode) {
  auto* error = new NSError(domain, code, description, posixCode);
  objc_autorelease(error);
  return error;
}

Class NSError::classObject() {
  static Class cls = Foundation::detail::registerClass("NSError", objc_getClass("NSObject"),
                                                       Foundation::detail::deallocFor<NSError>());
  return cls;
}

namespace Foundation::detail {

NSError* readError(int posix, std::string_view name) {
  const std::string s = "\u201C" + std::string(name) + "\u201D";
  if (posix == ENOENT || posix == ENOTDIR || posix == ELOOP) {
    return NSError::errorWithDomain(
        NSCocoaErrorDomain, NSFileReadNoSuchFileError,
        "The file " + s + " couldn\u2019t be opened because there is no such file.", posix);
  }
  if (posix == EACCES || posix == EPERM) {
    return NSError::errorWithDomain(
        NSCocoaErrorDomain, NSFileReadNoPermissionError,
        "The file " + s +
            " couldn\u2019t be opened because you don\u2019t have permission to view it.",
        posix);
  }
  return NSError::errorWithDomain(NSCocoaErrorDomain, NSFileReadUnknownError,
                                  "The file " + s + " couldn\u2019t be opened.", posix);
}

NSError* unsupportedSchemeError(std::string_view name) {
  return NSError::errorWithDomain(
      NSCocoaErrorDomain, NSFileReadUnsupportedSchemeError,
      "The file \u201C" + std::string(name) +
          "\u201D couldn\u2019t be opened because the specified URL type isn\u2019t supported.");
}

}  // namespace Foundation::detail
