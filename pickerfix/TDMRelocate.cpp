// The delegate callback replacements and the relocation of picked files.

#include <string>

#include "pickerfix/Docmend.h"
#include "platform/foundation/NSArray.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/foundation/NSUUID.h"

namespace {

// A saved callback implementation that is running for a receiver. A patched
// subclass's own callback that forwards to its superclass's callback enters
// the replacement again with the same receiver; the walk from the receiver's
// class would find the subclass's implementation once more and the two would
// call each other for ever. The running calls, innermost first, let the
// re-entered replacement continue the walk above the class whose saved
// implementation is already running instead.
struct TDMRunningCallback {
  id receiver;
  const void* key;
  Class owner;  // the class whose association held the running implementation
  TDMRunningCallback* outer;
};

// Per thread, though pickers call their delegates on the main thread only.
// A plain pointer: constant-initialised, so no initialiser of its own.
thread_local TDMRunningCallback* TDMRunningCallbacks = nullptr;

TDMRunningCallback* TDMFindRunning(id receiver, const void* key) {
  for (auto* call = TDMRunningCallbacks; call != nullptr; call = call->outer) {
    if (call->receiver == receiver && call->key == key) return call;
  }
  return nullptr;
}

// Pushes a running call for the life of the scope.
class TDMRunningScope {
 public:
  TDMRunningScope(id receiver, const void* key, Class owner)
      : call_{receiver, key, owner, TDMRunningCallbacks} {
    TDMRunningCallbacks = &call_;
  }
  ~TDMRunningScope() { TDMRunningCallbacks = call_.outer; }
  TDMRunningScope(const TDMRunningScope&) = delete;
  TDMRunningScope& operator=(const TDMRunningScope&) = delete;

 private:
  TDMRunningCallback call_;
};

// The implementation a callback forwards to, and whether this call re-entered
// one already running for the receiver (then its URLs were relocated by the
// outer call and are passed on as they are). Logs a dropped pick.
struct TDMForward {
  IMP original = nullptr;
  Class owner = Nil;
  bool reentered = false;
};

TDMForward TDMFindForward(id self, SEL _cmd, const void* key) {
  TDMForward forward;
  if (auto* running = TDMFindRunning(self, key)) {
    forward.reentered = true;
    forward.original = TDMOriginalFrom(class_getSuperclass(running->owner), key, &forward.owner);
  } else {
    forward.original = TDMOriginalFrom(object_getClass(self), key, &forward.owner);
  }
  if (forward.original == nullptr) {
    NSLog("[Docmend] no saved implementation of %@ for %@; pick dropped", sel_getName(_cmd),
          object_getClassName(self));
  }
  return forward;
}

}  // namespace

void TDMPickedURLs(id self, SEL _cmd, id picker, id urls) {
  TDMForward forward = TDMFindForward(self, _cmd, kOriginalPickURLs);
  if (forward.original == nullptr) return;
  auto original = reinterpret_cast<void (*)(id, SEL, id, id)>(forward.original);
  TDMRunningScope running(self, kOriginalPickURLs, forward.owner);
  if (forward.reentered) {
    original(self, _cmd, picker, urls);
    return;
  }
  auto* picked = NSArray::cast(urls);
  std::size_t count = picked != nullptr ? picked->count() : 0;
  NSMutableArray* relocated = NSMutableArray::newWithCapacity(count);
  for (std::size_t i = 0; i < count; ++i) {
    NSURL* url = TDMRelocate(NSURL::cast(picked->objectAtIndex(i)));
    relocated->addObject(url != nullptr ? static_cast<id>(url) : picked->objectAtIndex(i));
  }
  original(self, _cmd, picker, relocated);
  objc_release(relocated);
}

void TDMPickedURL(id self, SEL _cmd, id picker, id url) {
  TDMForward forward = TDMFindForward(self, _cmd, kOriginalPickURL);
  if (forward.original == nullptr) return;
  auto original = reinterpret_cast<void (*)(id, SEL, id, id)>(forward.original);
  TDMRunningScope running(self, kOriginalPickURL, forward.owner);
  id handedOn = url;
  if (!forward.reentered) {
    if (NSURL* relocated = TDMRelocate(NSURL::cast(url))) handedOn = relocated;
  }
  original(self, _cmd, picker, handedOn);
}

bool TDMIsInsideHome(const std::string& path, const std::string& home) {
  if (!path.starts_with(home)) return false;
  return path.size() == home.size() || home.ends_with('/') || path[home.size()] == '/';
}

NSURL* TDMRelocate(NSURL* url) {
  if (url == nullptr) return nullptr;
  if (!url->isFileURL()) return url;
  if (TDMIsInsideHome(url->path(), NSHomeDirectory())) return url;

  bool accessing = url->startAccessingSecurityScopedResource();
  std::string folder = NSStringByAppendingPathComponent(
      NSTemporaryDirectory(),
      NSStringByAppendingPathComponent("Docmend", NSUUID::UUID()->UUIDString()));
  NSURL* destination =
      NSURL::fileURLWithPath(NSStringByAppendingPathComponent(folder, url->lastPathComponent()));

  NSFileManager* manager = NSFileManager::defaultManager();
  NSError* error = nullptr;
  bool copied = manager->createDirectoryAtPath(folder, true, nil, &error) &&
                manager->copyItemAtURL(url, destination, &error);
  if (accessing) url->stopAccessingSecurityScopedResource();
  if (!copied) {
    NSLog("[Docmend] could not copy %@: %@", url->lastPathComponent(),
          error != nullptr ? error->localizedDescription() : std::string("unknown error"));
    return url;
  }
  return destination;
}
