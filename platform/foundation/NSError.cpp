#include "platform/foundation/NSError.h"

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
