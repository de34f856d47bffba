// The delegate callback replacements and the relocation of picked files.

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "pickerfix/CopyFolder.h"
#include "pickerfix/Docmend.h"
#include "pickerfix/LogText.h"
#include "platform/foundation/NSArray.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/foundation/NSUUID.h"

namespace {

// Which saved implementation a callback forwards to.
//
// A call that no saved implementation of this receiver and callback is
// running under is a pick (or any fresh send): it forwards to the nearest
// saved implementation from the receiver's class up, and relocates its URLs.
//
// While a saved implementation runs, the replacement can be entered again
// with the same receiver in four ways, which its arguments alone cannot tell
// apart:
// - the delegate sends the callback to itself, for instance once per URL: a
//   fresh send, which must reach the delegate's own code again;
// - the delegate's code sends the callback to super, and the superclass is
//   patched too: it must reach the superclass's saved implementation, not the
//   running one again (the two would call each other without end);
// - the app's own implementation, wrapped around the replacement before
//   Docmend saw the class, calls the implementation it replaced: a fresh send
//   as well, once per message;
// - the app's implementation, which replaced or wrapped the replacement after
//   Docmend patched the class and was saved when the class was patched again,
//   calls the implementation it replaced: it must reach what was saved before
//   it on that class.
// A re-entered call goes on, without relocating anything, in two cases. When
// the running implementation replaced one saved on its class before, the call
// goes on to that one, whatever it hands on. Otherwise, when it hands on the
// very URLs that the running implementation received (equal as URLs; a send
// to super passes them on, possibly as new objects), it goes up, continuing
// the walk above the class whose saved implementation is running. Any other
// call is a fresh send, which relocates what is not relocated yet (copies
// already in the copy folder pass on as they are).
struct TDMRunningCallback {
  id receiver;
  const void* key;
  Class owner;         // the class whose association held the running implementation
  IMP implementation;  // the running implementation
  id handedOn;         // the URLs (an array) or the URL it received
  TDMRunningCallback* outer;
};

// Per thread: a re-entered call runs on the thread of the call it re-enters.
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
  TDMRunningScope(id receiver, const void* key, Class owner, IMP implementation, id handedOn)
      : call_{receiver, key, owner, implementation, handedOn, TDMRunningCallbacks} {
    TDMRunningCallbacks = &call_;
  }
  ~TDMRunningScope() { TDMRunningCallbacks = call_.outer; }
  TDMRunningScope(const TDMRunningScope&) = delete;
  TDMRunningScope& operator=(const TDMRunningScope&) = delete;

 private:
  TDMRunningCallback call_;
};

bool TDMSameURL(id a, id b) {
  if (a == b) return true;
  auto* url = NSURL::cast(a);
  return url != nullptr && url->isEqual(b);
}

// YES when two callback arguments (arrays of URLs, or URLs) hold the same
// URLs in the same order.
bool TDMSamePick(id a, id b) {
  auto* first = NSArray::cast(a);
  auto* second = NSArray::cast(b);
  if (first == nullptr || second == nullptr) return TDMSameURL(a, b);
  if (first->count() != second->count()) return false;
  for (std::size_t i = 0; i < first->count(); ++i) {
    if (!TDMSameURL(first->objectAtIndex(i), second->objectAtIndex(i))) return false;
  }
  return true;
}

struct TDMForward {
  IMP original = nullptr;
  Class owner = Nil;
  bool up = false;  // goes on from a running implementation: the URLs pass on as they are
};

// Where a call that re-enters `running` goes on to (see above), or nothing
// for a fresh send.
TDMForward TDMGoOn(const TDMRunningCallback& running, const void* key, id handedOn) {
  Class owner = running.owner;
  IMP from = running.implementation;
  const bool samePick = TDMSamePick(handedOn, running.handedOn);
  for (bool first = true;; first = false) {
    if (IMP before = TDMSavedBefore(owner, key, from)) return TDMForward{before, owner, true};
    if (first && !samePick) return {};
    Class above = Nil;
    IMP next = TDMOriginalFrom(class_getSuperclass(owner), key, &above);
    if (next == nullptr) return {};
    if (next != from) return TDMForward{next, above, true};
    // The running implementation, inherited by a subclass and saved on it,
    // is saved on the class above too: go on from there.
    owner = above;
  }
}

// Finds what the call forwards to (see above); logs a dropped pick.
TDMForward TDMFindForward(id self, SEL _cmd, const void* key, id handedOn) {
  if (auto* running = TDMFindRunning(self, key); running != nullptr) {
    if (TDMForward forward = TDMGoOn(*running, key, handedOn); forward.original != nullptr) {
      return forward;
    }
  }
  TDMForward forward;
  forward.original = TDMOriginalFrom(object_getClass(self), key, &forward.owner);
  if (forward.original == nullptr) {
    NSLog("[Docmend] no saved implementation of %@ for %@; pick dropped",
          TDMEscapedForLog(sel_getName(_cmd)), TDMEscapedForLog(object_getClassName(self)));
  }
  return forward;
}

}  // namespace

void TDMPickedURLs(id self, SEL _cmd, id picker, id urls) {
  TDMForward forward = TDMFindForward(self, _cmd, kOriginalPickURLs, urls);
  if (forward.original == nullptr) return;
  auto original = reinterpret_cast<void (*)(id, SEL, id, id)>(forward.original);
  if (forward.up) {
    TDMRunningScope running(self, kOriginalPickURLs, forward.owner, forward.original, urls);
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
  {
    TDMRunningScope running(self, kOriginalPickURLs, forward.owner, forward.original, relocated);
    original(self, _cmd, picker, relocated);
  }
  objc_release(relocated);
}

void TDMPickedURL(id self, SEL _cmd, id picker, id url) {
  TDMForward forward = TDMFindForward(self, _cmd, kOriginalPickURL, url);
  if (forward.original == nullptr) return;
  auto original = reinterpret_cast<void (*)(id, SEL, id, id)>(forward.original);
  id handedOn = url;
  if (!forward.up) {
    if (NSURL* relocated = TDMRelocate(NSURL::cast(url))) handedOn = relocated;
  }
  TDMRunningScope running(self, kOriginalPickURL, forward.owner, forward.original, handedOn);
  original(self, _cmd, picker, handedOn);
}

bool TDMIsInside(const std::string& path, const std::string& folder) {
  if (!path.starts_with(folder)) return false;
  return path.size() == folder.size() || folder.ends_with('/') || path[folder.size()] == '/';
}

namespace {

// The copy folder, NSTemporaryDirectory()/Docmend, is used only when it is a
// folder of the effective user's own, not a link: whatever the temporary
// directory is (a shared one given as $TMPDIR too), nothing is written into
// another user's folder or through a link planted there. A missing one is
// made with mode 0700. NO, with *error set, when the folder cannot be made or
// is not the user's own.
bool TDMOwnCopyFolder(const std::string& copies, NSError** error) {
  struct stat st {};
  bool made = false;
  if (lstat(copies.c_str(), &st) != 0) {
    made = NSFileManager::defaultManager()->createDirectoryAtPath(copies, false, nil, error);
    // Made meanwhile by someone else: examined below like any other.
    if (!made && (*error)->code() != NSFileWriteFileExistsError) return false;
    if (lstat(copies.c_str(), &st) != 0) st = {};
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) {
    *error = NSError::errorWithDomain(
        NSCocoaErrorDomain, NSFileWriteNoPermissionError,
        std::string("The folder \u201C") + kTDMCopyFolder +
            "\u201D in the temporary directory isn\u2019t a folder of this user\u2019s own.");
    return false;
  }
  if (made) chmod(copies.c_str(), S_IRWXU);
  return true;
}

// Copies the picked item. A picked symbolic link stands for what it points
// to: the copy holds that file's data or that folder's contents (links inside
// a folder stay links, as the file manager copies them). A link that cannot
// be followed fails as a missing file does: dangling, a loop, or one whose
// target went away between the check and the resolution. So does one whose
// target's real path is too long to resolve. Neither is ever copied as the
// link itself.
bool TDMCopyItem(NSURL* url, NSURL* destination, NSError** error) {
  if (!url->checkResourceIsReachableAndReturnError(error)) return false;
  NSURL* source = url->URLByResolvingSymlinksInPath();
  if (source == url) {  // the URL itself comes back when its path cannot be resolved
    if (url->checkResourceIsReachableAndReturnError(error)) {
      *error = NSError::errorWithDomain(
          NSCocoaErrorDomain, NSFileReadUnknownError,
          "The file \u201C" + url->lastPathComponent() +
              "\u201D couldn\u2019t be opened because its real path couldn\u2019t be resolved.");
    }
    return false;
  }
  return NSFileManager::defaultManager()->copyItemAtURL(source, destination, error);
}

}  // namespace

NSURL* TDMRelocate(NSURL* url) {
  if (url == nullptr) return nullptr;
  if (!url->isFileURL()) return url;
  if (TDMIsInside(url->path(), NSHomeDirectory())) return url;
  std::string copies = NSStringByAppendingPathComponent(NSTemporaryDirectory(), kTDMCopyFolder);
  if (TDMIsInside(url->path(), copies)) return url;  // a copy made before

  bool accessing = url->startAccessingSecurityScopedResource();
  std::string folder = NSStringByAppendingPathComponent(copies, NSUUID::UUID()->UUIDString());
  NSURL* destination =
      NSURL::fileURLWithPath(NSStringByAppendingPathComponent(folder, url->lastPathComponent()));

  NSError* error = nullptr;
  bool copied =
      TDMOwnCopyFolder(copies, &error) &&
      NSFileManager::defaultManager()->createDirectoryAtPath(folder, false, nil, &error) &&
      TDMCopyItem(url, destination, &error);
  if (accessing) url->stopAccessingSecurityScopedResource();
  if (!copied) {
    NSLog("[Docmend] could not copy %@: %@", TDMEscapedForLog(url->lastPathComponent()),
          TDMEscapedForLog(error != nullptr ? error->localizedDescription() : "unknown error"));
    return url;
  }
  return destination;
}
