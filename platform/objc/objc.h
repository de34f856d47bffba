#pragma once

// The object runtime's basic types: objects, classes, selectors and method
// implementations, with the names and meanings they have on the platform.
//
//   id     a pointer to any object; every object begins with its class pointer.
//   Class  a class object (itself an object, whose class is its metaclass).
//   SEL    a selector: a method name, interned, so two selectors with the same
//          name are the same pointer and compare with ==.
//   IMP    a method implementation: a C function whose first two arguments
//          are the receiver (id) and the selector (SEL), then the method's
//          own arguments. It is stored untyped; a caller casts it back to the
//          exact function type the method was defined with before calling.
//
// Every runtime entry point is exported from the shared library `objc`; the
// rest of the process shares one set of classes, selectors and methods.

#include <cstddef>

#define OBJC_EXPORT extern "C" __attribute__((visibility("default")))

struct objc_class;
struct objc_selector;

// The layout every object starts with. Instance variables follow `isa`.
struct objc_object {
  objc_class* isa;
};

using id = objc_object*;
using Class = objc_class*;
using SEL = const objc_selector*;
using IMP = void (*)();
using BOOL = bool;

#define YES true
#define NO false
#define nil nullptr
#define Nil nullptr

// Returns the selector named `name`, registering it on first use. The name is
// copied; the selector lives for the life of the process. Never null for a
// non-null name; null for a null name.
// Locks: the selector table's lock, held only for the lookup/insert.
// Cost: one hash of the name.
OBJC_EXPORT SEL sel_registerName(const char* name);

// The name a selector was registered with; owned by the runtime, valid for
// the life of the process. "<null selector>" for null.
OBJC_EXPORT const char* sel_getName(SEL sel);

// The class name of an object's class, or "nil" for nil. Owned by the runtime.
OBJC_EXPORT const char* object_getClassName(id obj);
