#include "platform/foundation/NSString.h"

NSString::NSString(std::string_view text) : text_(text) {
  isa = classObject();
}

NSString* NSString::stringWithUTF8String(std::string_view text) {
  auto* string = new NSString(text);
  objc_autorelease(string);
  return string;
}

Class NSString::classObject() {
  static Class cls = Foundation::detail::registerClass("NSString", objc_getClass("NSObject"),
                                                       Foundation::detail::deallocFor<NSString>());
  return cls;
}

NSString* NSString::cast(id obj) {
  return Foundation::detail::isKindOf(obj, classObject()) ? static_cast<NSString*>(obj) : nullptr;
}
