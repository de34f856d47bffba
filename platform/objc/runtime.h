#pragma once

// Classes, methods and associated objects: the part of the object runtime that
// looks methods up, replaces them at run time and attaches values to objects.
//
// Locking: one runtime lock (a reader/writer lock) guards the class table,
// every class's method list, its superclass link and its registered flag.
// Lookups take it shared; anything that adds a class or a method takes it
// exclusive. A method's implementation pointer is atomic, so
// method_setImplementation and a concurrent lookup never tear; a sender that
// already fetched the old implementation may still run it once.
// Associated objects have their own lock (see objc_setAssociatedObject).
// No entry point calls out to object code while holding either lock.
//
// There is no method cache: a lookup walks the class and its superclasses,
// one hash probe a class, so replacing a method takes effect for the next
// message at once.

#include <cstdint>

#include "platform/objc/objc.h"

struct objc_method;
using Method = objc_method*;

// ---- Classes -------------------------------------------------------------

// The registered class named `name`, or Nil when there is none (also for a
// class pair that is allocated but not yet registered). Shared lock.
OBJC_EXPORT Class objc_getClass(const char* name);

// Creates a new class and its metaclass, to be filled with class_addMethod and
// made visible with objc_registerClassPair. `superclass` Nil makes a new root
// class. `extraBytes` is kept for the class object's own indexed storage and
// is not used by this runtime.
// Returns Nil when a class of that name already exists (registered or only
// allocated) or when the name is null. The class lives for the life of the
// process; there is no objc_disposeClassPair. Exclusive lock.
OBJC_EXPORT Class objc_allocateClassPair(Class superclass, const char* name,
                                         std::size_t extraBytes);

// Makes an allocated class visible to objc_getClass. Registering a class twice
// or one that objc_allocateClassPair did not make is a caller bug (ignored).
// Exclusive lock.
OBJC_EXPORT void objc_registerClassPair(Class cls);

// The class's name, owned by the runtime; "nil" for Nil.
OBJC_EXPORT const char* class_getName(Class cls);

// The superclass, or Nil for a root class and for Nil. Shared lock.
OBJC_EXPORT Class class_getSuperclass(Class cls);

// YES when cls is a metaclass (the class of a class object). NO for Nil.
OBJC_EXPORT BOOL class_isMetaClass(Class cls);

// Bytes an instance of the class occupies (at least the `isa` pointer);
// 0 for Nil.
OBJC_EXPORT std::size_t class_getInstanceSize(Class cls);

// ---- Methods -------------------------------------------------------------

// Adds a method to the class itself.
// - The class already defines a method for `name` itself: nothing changes and
//   the result is NO (use method_setImplementation or class_replaceMethod).
// - Otherwise the method is added, overriding any inherited one, and the
//   result is YES. `types` is copied.
// NO also for Nil class, null selector or null implementation.
// Exclusive lock. Cost: one hash insert.
OBJC_EXPORT BOOL class_addMethod(Class cls, SEL name, IMP imp, const char* types);

// The method that instances of cls run for `name`: the class's own method, or
// else the nearest superclass's. Null when no class in the chain has one, and
// for Nil or a null selector. The Method belongs to the class that defines it
// and lives for the life of the process. For class methods, pass the
// metaclass (object_getClass(cls)). Shared lock; cost one probe a class.
OBJC_EXPORT Method class_getInstanceMethod(Class cls, SEL name);

// The implementation a message `name` to an instance of cls would run, or null
// when there is none. Shared lock.
OBJC_EXPORT IMP class_getMethodImplementation(Class cls, SEL name);

// YES when instances of cls respond to `name` (own or inherited method).
OBJC_EXPORT BOOL class_respondsToSelector(Class cls, SEL name);

// Replaces the implementation of a method on the class itself.
// - The class defines a method for `name` itself: its implementation becomes
//   `imp` (as method_setImplementation would) and the previous implementation
//   is returned; `types` is ignored.
// - The class does not define it (it inherits it, or nothing has it): the
//   method is added to the class as class_addMethod would, with `types`, and
//   the result is null. The superclass's method is not touched.
// Null for Nil class, null selector or null implementation. Exclusive lock.
OBJC_EXPORT IMP class_replaceMethod(Class cls, SEL name, IMP imp, const char* types);

// The method's selector, implementation and type encoding (owned by the
// runtime, valid for the life of the process). Null for a null method.
OBJC_EXPORT SEL method_getName(Method m);
OBJC_EXPORT IMP method_getImplementation(Method m);
OBJC_EXPORT const char* method_getTypeEncoding(Method m);

// Sets a method's implementation and returns the previous one (an atomic
// exchange). Every class that finds this Method by lookup, the defining class
// and every subclass that inherits it, runs `imp` from the next message on.
// Null, and nothing changes, for a null method or implementation. No lock.
OBJC_EXPORT IMP method_setImplementation(Method m, IMP imp);

// ---- Objects -------------------------------------------------------------

// The object's class (for a class object, its metaclass); Nil for nil.
// Reads `isa` atomically, so it pairs with object_setClass.
OBJC_EXPORT Class object_getClass(id obj);

// Changes the object's class and returns the previous one; Nil, and nothing
// changes, for nil. The caller must make sure the new class's instances have
// the same layout (typically a subclass that adds no storage, made at run
// time). Atomic store; no lock.
OBJC_EXPORT Class object_setClass(id obj, Class cls);

// YES when obj is a class object (its class is a metaclass). NO for nil.
OBJC_EXPORT BOOL object_isClass(id obj);

// A new zero-filled instance of cls with `extraBytes` of indexed storage after
// its instance variables, with a retain count of 1: the caller owns it and
// ends it with objc_release. Nil for Nil. Cost: one calloc.
OBJC_EXPORT id class_createInstance(Class cls, std::size_t extraBytes);

// The indexed storage class_createInstance reserved after obj's instance
// variables; null for nil. The storage belongs to the object.
OBJC_EXPORT void* object_getIndexedIvars(id obj);

// Frees an instance that class_createInstance made, after removing its
// associated objects; returns nil. Only the root class's -dealloc should call
// it; anything else releases the object instead.
OBJC_EXPORT id object_dispose(id obj);

// ---- Associated objects --------------------------------------------------

enum objc_AssociationPolicy : std::uintptr_t {
  OBJC_ASSOCIATION_ASSIGN = 0,            // weak reference, not retained
  OBJC_ASSOCIATION_RETAIN_NONATOMIC = 1,  // retained
  OBJC_ASSOCIATION_COPY_NONATOMIC = 3,    // sent -copy, the copy kept
  OBJC_ASSOCIATION_RETAIN = 01401,        // retained
  OBJC_ASSOCIATION_COPY = 01403,          // sent -copy, the copy kept
};

// Attaches `value` to `object` under `key` (compared by address).
// - value not nil: the association is set, replacing any earlier one under
//   that key; a retaining policy retains value, a copying one keeps the result
//   of sending it -copy, ASSIGN keeps the pointer only.
// - value nil: the association under key is removed.
// The replaced value, if its association retained it, is released after the
// lock is dropped. The object keeps its associations until it is deallocated
// (class objects: for the life of the process); deallocation releases them.
// Nothing happens for a nil object or null key.
// Locks: the associations lock guards every object's association table; it is
// never held while a value is retained, copied or released.
// The atomic and nonatomic policies behave alike here: the lock makes every
// set and get atomic.
OBJC_EXPORT void objc_setAssociatedObject(id object, const void* key, id value,
                                          objc_AssociationPolicy policy);

// The value attached to object under key, or nil when there is none. Not
// retained for the caller (a retaining association keeps it alive while it
// stays set). Locks: the associations lock.
OBJC_EXPORT id objc_getAssociatedObject(id object, const void* key);

// Removes every association of object, releasing the retained ones.
OBJC_EXPORT void objc_removeAssociatedObjects(id object);
