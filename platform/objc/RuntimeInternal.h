#pragma once

// The runtime's own data structures. Not part of the public headers: code
// outside platform/objc sees Class and Method as opaque pointers.

#include <atomic>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/objc/runtime.h"

struct objc_method {
  SEL name;
  std::atomic<IMP> imp;
  std::string types;
};

// A class object. It is itself an object: `isa` is its metaclass. Every field
// but `isa` is guarded by Runtime::lock; `isa` is only written at creation.
struct objc_class : objc_object {
  Class superclass = Nil;
  std::string name;
  std::size_t instanceSize = sizeof(objc_object);
  bool isMeta = false;
  bool registered = false;
  std::unordered_map<SEL, objc_method*> methods;  // methods this class defines itself
};

namespace objc_internal {

struct Runtime {
  // Guards the class table and every class's fields but isa and the methods'
  // atomic implementations.
  std::shared_mutex lock;
  std::unordered_map<std::string, Class> classes;  // allocated classes, by name

  // Guards the selector table. Its strings are the selectors: node-based
  // storage keeps each name at one address for the life of the process.
  std::mutex selectorLock;
  std::unordered_set<std::string> selectors;

  Runtime();
};

// The process's runtime, made on first use (never destroyed, so that objects
// released during exit still find their classes).
Runtime& runtime();

// Allocates a class pair with the runtime lock already held exclusively.
Class allocateClassPairLocked(Runtime& rt, Class superclass, const char* name);

// Adds or replaces a method with the runtime lock already held exclusively.
IMP addMethodLocked(Class cls, SEL name, IMP imp, const char* types, bool replace, bool* added);

// Installs NSObject; called once, from the Runtime constructor, lock held.
void installRootClass(Runtime& rt);

// Selector registration without going through runtime() (for construction).
SEL registerSelector(Runtime& rt, const char* name);

}  // namespace objc_internal
