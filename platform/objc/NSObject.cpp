// The root class, retain counts and autorelease pools.

#include "platform/objc/NSObject.h"

#include <cstdio>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/objc/RuntimeInternal.h"
#include "platform/objc/message.h"

namespace {

struct RefCounts {
  std::mutex lock;  // guards `extra`
  // Retains beyond the first, by object. Absent means a count of 1.
  std::unordered_map<id, std::size_t> extra;
};

RefCounts& refCounts() {
  static auto* counts = new RefCounts();
  return *counts;
}

// The calling thread's autorelease pools: one stack of objects, and the
// stack heights at which the open pools began.
struct ThreadPools {
  std::vector<id> objects;
  std::vector<std::size_t> marks;
};

thread_local ThreadPools threadPools;

id rootAlloc(id self, SEL) {
  return class_createInstance(reinterpret_cast<Class>(self), 0);
}

id rootNew(id self, SEL) {
  id obj = rootAlloc(self, nullptr);
  return objc_msgSendTyped<id>(obj, sel_registerName("init"));
}

id rootInit(id self, SEL) {
  return self;
}

void rootDealloc(id self, SEL) {
  object_dispose(self);
}

Class rootClass(id self, SEL) {
  return object_getClass(self);
}

BOOL rootRespondsToSelector(id self, SEL, SEL query) {
  return class_respondsToSelector(object_getClass(self), query);
}

template <typename F>
IMP imp(F* function) {
  return reinterpret_cast<IMP>(function);
}

}  // namespace

namespace objc_internal {

void installRootClass(Runtime& rt) {
  Class root = allocateClassPairLocked(rt, Nil, "NSObject");
  Class meta = root->isa;
  bool added = false;
  addMethodLocked(meta, registerSelector(rt, "alloc"), imp(rootAlloc), "@16@0:8", false, &added);
  addMethodLocked(meta, registerSelector(rt, "new"), imp(rootNew), "@16@0:8", false, &added);
  addMethodLocked(root, registerSelector(rt, "init"), imp(rootInit), "@16@0:8", false, &added);
  addMethodLocked(root, registerSelector(rt, "dealloc"), imp(rootDealloc), "v16@0:8", false,
                  &added);
  addMethodLocked(root, registerSelector(rt, "class"), imp(rootClass), "#16@0:8", false, &added);
  addMethodLocked(root, registerSelector(rt, "respondsToSelector:"), imp(rootRespondsToSelector),
                  "B24@0:8:16", false, &added);
  root->registered = true;
  meta->registered = true;
}

}  // namespace objc_internal

id objc_retain(id obj) {
  if (obj == nil || object_isClass(obj)) return obj;
  auto& counts = refCounts();
  std::lock_guard guard(counts.lock);
  ++counts.extra[obj];
  return obj;
}

void objc_release(id obj) {
  if (obj == nil || object_isClass(obj)) return;
  {
    auto& counts = refCounts();
    std::lock_guard guard(counts.lock);
    auto found = counts.extra.find(obj);
    if (found != counts.extra.end()) {
      if (--found->second == 0) counts.extra.erase(found);
      return;
    }
  }
  static SEL dealloc = sel_registerName("dealloc");
  objc_msgSendTyped<void>(obj, dealloc);
}

id objc_autorelease(id obj) {
  if (obj == nil || object_isClass(obj)) return obj;
  auto& pools = threadPools;
  if (pools.marks.empty()) {
    std::fprintf(stderr,
                 "objc: object %p of class %s autoreleased with no pool in place - just leaking\n",
                 static_cast<void*>(obj), object_getClassName(obj));
    return obj;
  }
  pools.objects.push_back(obj);
  return obj;
}

void* objc_autoreleasePoolPush() {
  auto& pools = threadPools;
  pools.marks.push_back(pools.objects.size());
  return reinterpret_cast<void*>(pools.marks.size());
}

void objc_autoreleasePoolPop(void* token) {
  auto& pools = threadPools;
  auto depth = reinterpret_cast<std::size_t>(token);
  if (depth == 0 || depth > pools.marks.size()) return;
  std::size_t mark = pools.marks[depth - 1];
  // Releases may autorelease more objects; those land above the mark and are
  // released by the same loop, while the pool is still open.
  while (pools.objects.size() > mark) {
    id obj = pools.objects.back();
    pools.objects.pop_back();
    objc_release(obj);
  }
  pools.marks.resize(depth - 1);
}

std::size_t objc_autoreleasePoolCount() {
  return threadPools.objects.size();
}
