#pragma once

// A value object that holds one pointer, for storing non-object data (such as
// a method implementation) where an object is needed (an associated object,
// an array element). The pointer is not owned: the value never frees it.

#include "platform/foundation/NSObjCBridge.h"

class FOUNDATION_EXPORT NSValue : public objc_object {
 public:
  // A new value holding `pointer` (which may be null), autoreleased.
  static NSValue* valueWithPointer(const void* pointer);

  // The pointer it was made with.
  void* pointerValue() const { return const_cast<void*>(pointer_); }

  static Class classObject();
  static NSValue* cast(id obj);

 private:
  explicit NSValue(const void* pointer);
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);
  ~NSValue() = default;

  const void* pointer_;
};
