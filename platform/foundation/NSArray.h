#pragma once

// Ordered collections of objects. An array retains each object it holds and
// releases them when it is deallocated. Elements are never nil.
// Not thread-safe: one thread at a time may use a mutable array.

#include <cstddef>
#include <vector>

#include "platform/foundation/NSObjCBridge.h"

class FOUNDATION_EXPORT NSArray : public objc_object {
 public:
  // Number of elements. O(1).
  std::size_t count() const { return objects_.size(); }

  // The element at `index`, not retained for the caller. An index at or past
  // count() is a caller bug: the process ends with a range message, as the
  // platform's range exception would.
  id objectAtIndex(std::size_t index) const;

  // The first element, or nil when empty.
  id firstObject() const { return objects_.empty() ? nil : objects_.front(); }

  // The elements, for iteration.
  const std::vector<id>& objects() const { return objects_; }

  static Class classObject();
  static NSArray* cast(id obj);

 protected:
  NSArray() = default;
  ~NSArray();
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);

  std::vector<id> objects_;
};

class FOUNDATION_EXPORT NSMutableArray : public NSArray {
 public:
  // A new empty array with room for `capacity` elements before it grows.
  // arrayWithCapacity: autoreleased. newWithCapacity: owned by the caller
  // (+1, as alloc/initWithCapacity: would give), ended with objc_release.
  static NSMutableArray* arrayWithCapacity(std::size_t capacity);
  static NSMutableArray* newWithCapacity(std::size_t capacity);

  // Appends obj, retaining it. Adding nil is a caller bug and ends the
  // process, as the platform's invalid-argument exception would.
  void addObject(id obj);

  // Room reserved for elements (at least count()).
  std::size_t capacity() const { return objects_.capacity(); }

  static Class classObject();
  static NSMutableArray* cast(id obj);

 private:
  explicit NSMutableArray(std::size_t capacity);
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);
  ~NSMutableArray() = default;
};
