#include "platform/foundation/NSValue.h"

NSValue::NSValue(const void* pointer) : pointer_(pointer) {
  isa = classObject();
}

NSValue* NSValue::valueWithPointer(const void* pointer) {
  auto* value = new NSValue(pointer);
  objc_autorelease(value);
  return value;
}

Class NSValue::classObject() {
  static Class cls = Foundation::detail::registerClass("NSValue", objc_getClass("NSObject"),
                                                       Foundation::detail::deallocFor<NSValue>());
  return cls;
}

NSValue* NSValue::cast(id obj) {
  return Foundation::detail::isKindOf(obj, classObject()) ? static_cast<NSValue*>(obj) : nullptr;
}
