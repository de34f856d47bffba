#pragma once

// How Foundation's C++ classes become classes of the object runtime.
//
// Each Foundation type (NSURL, NSArray, ...) is a C++ class whose first and
// only base is objc_object, so an instance is an object: it has an `isa`,
// can be retained, released, autoreleased, put in arrays, given associated
// objects and passed as `id` in messages. Its runtime class is registered the
// first time it is needed (a function-local static, so loading Foundation runs
// no code) under the platform's name, as a subclass of NSObject or of the
// Foundation class it extends, with a -dealloc that removes the object's
// associations and deletes it. That -dealloc does not send -dealloc to super:
// the memory came from C++ `new`, not from class_createInstance.
//
// These classes have no virtual functions, so `isa` sits at offset 0.

#include "platform/objc/NSObject.h"
#include "platform/objc/runtime.h"

#define FOUNDATION_EXPORT __attribute__((visibility("default")))

namespace Foundation::detail {

// Registers `name` as a subclass of `superclass` with the given -dealloc.
FOUNDATION_EXPORT Class registerClass(const char* name, Class superclass, IMP dealloc);

// YES when obj's class is cls or inherits from it. NO for nil.
FOUNDATION_EXPORT bool isKindOf(id obj, Class cls);

template <typename T>
void deallocDelete(id self, SEL) {
  objc_removeAssociatedObjects(self);
  delete static_cast<T*>(self);
}

template <typename T>
IMP deallocFor() {
  return reinterpret_cast<IMP>(&deallocDelete<T>);
}

}  // namespace Foundation::detail
