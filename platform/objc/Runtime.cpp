// Classes, selectors and methods.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/objc/NSObject.h"
#include "platform/objc/RuntimeInternal.h"
#include "platform/objc/message.h"

namespace objc_internal {

Runtime::Runtime() {
  std::unique_lock guard(lock);
  installRootClass(*this);
}

Runtime& runtime() {
  static Runtime* rt = new Runtime();
  return *rt;
}

SEL registerSelector(Runtime& rt, const char* name) {
  std::lock_guard guard(rt.selectorLock);
  return reinterpret_cast<SEL>(rt.selectors.emplace(name).first->c_str());
}

Class allocateClassPairLocked(Runtime& rt, Class superclass, const char* name) {
  if (name == nullptr || rt.classes.contains(name)) return Nil;
  auto* cls = new objc_class;
  auto* meta = new objc_class;
  meta->name = name;
  meta->isMeta = true;
  cls->name = name;
  cls->isa = meta;
  cls->superclass = superclass;
  if (superclass != Nil) {
    cls->instanceSize = superclass->instanceSize;
    Class superMeta = superclass->isa;
    meta->superclass = superMeta;
    meta->isa = superMeta->isa;  // the root metaclass
  } else {
    meta->superclass = cls;  // class messages fall back to the root's instance methods
    meta->isa = meta;
  }
  rt.classes.emplace(name, cls);
  return cls;
}

IMP addMethodLocked(Class cls, SEL name, IMP imp, const char* types, bool replace, bool* added) {
  *added = false;
  auto found = cls->methods.find(name);
  if (found != cls->methods.end()) {
    return replace ? found->second->imp.exchange(imp) : nullptr;
  }
  auto* method = new objc_method{name, {imp}, types != nullptr ? types : ""};
  cls->methods.emplace(name, method);
  *added = true;
  return nullptr;
}

}  // namespace objc_internal

using objc_internal::runtime;

namespace {

// The nearest method for `name` from cls upwards; the runtime lock is held.
Method lookUpLocked(Class cls, SEL name) {
  for (Class c = cls; c != Nil; c = c->superclass) {
    auto found = c->methods.find(name);
    if (found != c->methods.end()) return found->second;
  }
  return nullptr;
}

[[noreturn]] void unrecognizedSelector(id self, Class cls, SEL op) {
  std::fprintf(stderr, "objc: -[%s %s]: unrecognized selector sent to instance %p\n",
               class_getName(cls), sel_getName(op), static_cast<void*>(self));
  std::abort();
}

}  // namespace

SEL sel_registerName(const char* name) {
  if (name == nullptr) return nullptr;
  return objc_internal::registerSelector(runtime(), name);
}

const char* sel_getName(SEL sel) {
  return sel != nullptr ? reinterpret_cast<const char*>(sel) : "<null selector>";
}

const char* object_getClassName(id obj) {
  return class_getName(object_getClass(obj));
}

Class objc_getClass(const char* name) {
  if (name == nullptr) return Nil;
  auto& rt = runtime();
  std::shared_lock guard(rt.lock);
  auto found = rt.classes.find(name);
  return found != rt.classes.end() && found->second->registered ? found->second : Nil;
}

Class objc_allocateClassPair(Class superclass, const char* name, std::size_t) {
  auto& rt = runtime();
  std::unique_lock guard(rt.lock);
  return objc_internal::allocateClassPairLocked(rt, superclass, name);
}

void objc_registerClassPair(Class cls) {
  if (cls == Nil) return;
  auto& rt = runtime();
  std::unique_lock guard(rt.lock);
  cls->registered = true;
  static_cast<Class>(cls->isa)->registered = true;
}

const char* class_getName(Class cls) {
  return cls != Nil ? cls->name.c_str() : "nil";
}

Class class_getSuperclass(Class cls) {
  if (cls == Nil) return Nil;
  std::shared_lock guard(runtime().lock);
  return cls->superclass;
}

BOOL class_isMetaClass(Class cls) {
  return cls != Nil && cls->isMeta;
}

std::size_t class_getInstanceSize(Class cls) {
  return cls != Nil ? cls->instanceSize : 0;
}

BOOL class_addMethod(Class cls, SEL name, IMP imp, const char* types) {
  if (cls == Nil || name == nullptr || imp == nullptr) return NO;
  std::unique_lock guard(runtime().lock);
  bool added = false;
  objc_internal::addMethodLocked(cls, name, imp, types, false, &added);
  return added;
}

Method class_getInstanceMethod(Class cls, SEL name) {
  if (cls == Nil || name == nullptr) return nullptr;
  std::shared_lock guard(runtime().lock);
  return lookUpLocked(cls, name);
}

IMP class_getMethodImplementation(Class cls, SEL name) {
  return method_getImplementation(class_getInstanceMethod(cls, name));
}

BOOL class_respondsToSelector(Class cls, SEL name) {
  return class_getInstanceMethod(cls, name) != nullptr;
}

IMP class_replaceMethod(Class cls, SEL name, IMP imp, const char* types) {
  if (cls == Nil || name == nullptr || imp == nullptr) return nullptr;
  std::unique_lock guard(runtime().lock);
  bool added = false;
  return objc_internal::addMethodLocked(cls, name, imp, types, true, &added);
}

SEL method_getName(Method m) {
  return m != nullptr ? m->name : nullptr;
}

IMP method_getImplementation(Method m) {
  return m != nullptr ? m->imp.load() : nullptr;
}

const char* method_getTypeEncoding(Method m) {
  return m != nullptr ? m->types.c_str() : nullptr;
}

IMP method_setImplementation(Method m, IMP imp) {
  if (m == nullptr || imp == nullptr) return nullptr;
  return m->imp.exchange(imp);
}

Class object_getClass(id obj) {
  if (obj == nil) return Nil;
  return std::atomic_ref<Class>(obj->isa).load(std::memory_order_acquire);
}

Class object_setClass(id obj, Class cls) {
  if (obj == nil) return Nil;
  return std::atomic_ref<Class>(obj->isa).exchange(cls, std::memory_order_acq_rel);
}

BOOL object_isClass(id obj) {
  return class_isMetaClass(object_getClass(obj));
}

id class_createInstance(Class cls, std::size_t extraBytes) {
  if (cls == Nil) return nil;
  void* memory = std::calloc(1, cls->instanceSize + extraBytes);
  if (memory == nullptr) {
    std::fprintf(stderr, "objc: out of memory allocating an instance of %s\n", cls->name.c_str());
    std::abort();
  }
  auto obj = static_cast<id>(memory);
  obj->isa = cls;
  return obj;
}

void* object_getIndexedIvars(id obj) {
  if (obj == nil) return nullptr;
  return reinterpret_cast<char*>(obj) + object_getClass(obj)->instanceSize;
}

id object_dispose(id obj) {
  if (obj == nil) return nil;
  objc_removeAssociatedObjects(obj);
  std::free(obj);
  return nil;
}

IMP objc_msgLookup(id self, SEL op) {
  Class cls = object_getClass(self);
  IMP imp = class_getMethodImplementation(cls, op);
  if (imp == nullptr) unrecognizedSelector(self, cls, op);
  return imp;
}

IMP objc_msgLookupSuper(const objc_super* super, SEL op) {
  IMP imp = class_getMethodImplementation(super->super_class, op);
  if (imp == nullptr) unrecognizedSelector(super->receiver, super->super_class, op);
  return imp;
}
