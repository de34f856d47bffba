#include "platform/foundation/NSArray.h"

#include <cstdio>
#include <cstdlib>

NSArray::~NSArray() {
  for (id obj : objects_) objc_release(obj);
}

id NSArray::objectAtIndex(std::size_t index) const {
  if (index >= objects_.size()) {
    std::fprintf(stderr, "NSArray: index %zu beyond bounds [0 .. %zu)\n", index, objects_.size());
    std::abort();
  }
  return objects_[index];
}

Class NSArray::classObject() {
  static Class cls = Foundation::detail::registerClass("NSArray", objc_getClass("NSObject"),
                                                       Foundation::detail::deallocFor<NSArray>());
  return cls;
}

NSArray* NSArray::cast(id obj) {
  return Foundation::detail::isKindOf(obj, classObject()) ? static_cast<NSArray*>(obj) : nullptr;
}

NSMutableArray::NSMutableArray(std::size_t capacity) {
  isa = classObject();
  objects_.reserve(capacity);
}

NSMutableArray* NSMutableArray::newWithCapacity(std::size_t capacity) {
  return new NSMutableArray(capacity);
}

NSMutableArray* NSMutableArray::arrayWithCapacity(std::size_t capacity) {
  auto* array = newWithCapacity(capacity);
  objc_autorelease(array);
  return array;
}

void NSMutableArray::addObject(id obj) {
  if (obj == nil) {
    std::fprintf(stderr, "NSMutableArray: attempt to insert nil object\n");
    std::abort();
  }
  objects_.push_back(objc_retain(obj));
}

Class NSMutableArray::classObject() {
  static Class cls = Foundation::detail::registerClass(
      "NSMutableArray", NSArray::classObject(), Foundation::detail::deallocFor<NSMutableArray>());
  return cls;
}

NSMutableArray* NSMutableArray::cast(id obj) {
  return Foundation::detail::isKindOf(obj, classObject()) ? static_cast<NSMutableArray*>(obj)
                                                          : nullptr;
}
