#pragma once

// The root class NSObject and reference counting.
//
// NSObject is registered by the runtime itself (objc_getClass("NSObject")
// always finds it). It defines:
//   +alloc    a new zero-filled instance of the receiving class, retain count 1
//   +new      +alloc then -init
//   -init     returns self
//   -dealloc  object_dispose(self): releases associations, frees the memory
//   -class    object_getClass(self)
//   -respondsToSelector:  class_respondsToSelector(object_getClass(self), sel)
// Subclasses that hold references release them in their own -dealloc and
// then send -dealloc to super.
//
// Ownership follows the platform's rules: alloc/new/copy results and retains
// are owned by the caller and ended with one release each; anything else
// returned to a caller is autoreleased: it stays valid until the innermost
// autorelease pool of the thread is popped.
//
// Retain counts live in a side table keyed by object address, guarded by the
// reference-count lock; an object absent from the table has a count of 1.
// Class objects are never counted or freed: retain and release on a class
// return at once.

#include "platform/objc/objc.h"

// Adds one to obj's retain count and returns obj; nil for nil. Class objects
// are returned unchanged. Lock: the reference-count lock.
OBJC_EXPORT id objc_retain(id obj);

// Drops one from obj's retain count. When it was 1, obj is sent -dealloc
// (outside the lock, on the calling thread). Nothing for nil or a class.
OBJC_EXPORT void objc_release(id obj);

// Puts obj in the innermost autorelease pool of the calling thread, to be
// released when that pool is popped, and returns obj. With no pool in place the
// object is leaked and one line says so on stderr, as on the platform.
OBJC_EXPORT id objc_autorelease(id obj);

// Opens an autorelease pool on the calling thread and returns its token.
OBJC_EXPORT void* objc_autoreleasePoolPush();

// Releases, newest first, every object autoreleased on this thread since the
// push that returned `token`, closing that pool and any pool opened after it.
// Objects autoreleased by those releases (from -dealloc) are released too.
OBJC_EXPORT void objc_autoreleasePoolPop(void* token);

// The number of objects waiting in this thread's autorelease pools (for
// tests and diagnostics).
OBJC_EXPORT std::size_t objc_autoreleasePoolCount();

// A scoped autorelease pool, the C++ form of a pool block.
class AutoreleasePool {
 public:
  AutoreleasePool() : token_(objc_autoreleasePoolPush()) {}
  ~AutoreleasePool() { objc_autoreleasePoolPop(token_); }
  AutoreleasePool(const AutoreleasePool&) = delete;
  AutoreleasePool& operator=(const AutoreleasePool&) = delete;

 private:
  void* token_;
};
