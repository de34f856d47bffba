#include "platform/foundation/NSObjCBridge.h"

namespace Foundation::detail {

Class registerClass(const char* name, Class superclass, IMP dealloc) {
  Class cls = objc_allocateClassPair(superclass, name, 0);
  if (cls == Nil) return objc_getClass(name);  // already registered by another path
  class_addMethod(cls, sel_registerName("dealloc"), dealloc, "v16@0:8");
  objc_registerClassPair(cls);
  return cls;
}

bool isKindOf(id obj, Class cls) {
  for (Class c = object_getClass(obj); c != Nil; c = class_getSuperclass(c)) {
    if (c == cls) return true;
  }
  return false;
}

}  // namespace Foundation::detail
