// Installation, the picker replacements, and the patching of delegate classes.

#include <atomic>
#include <mutex>
#include <vector>

#include "pickerfix/Docmend.h"
#include "platform/foundation/NSValue.h"
#include "platform/objc/NSObject.h"

IMP TDMOriginalInitWithTypes = nullptr;
IMP TDMOriginalInitForOpening = nullptr;
IMP TDMOriginalSetDelegate = nullptr;

void* kOriginalPickURLs = &kOriginalPickURLs;
void* kOriginalPickURL = &kOriginalPickURL;

namespace {

// Held while a delegate class is examined, patched and its previous
// implementation saved. Constant-initialised: the library has no initialiser
// but TDMInstall.
constinit std::mutex TDMPatchLock;

template <typename F>
IMP asIMP(F* function) {
  return reinterpret_cast<IMP>(function);
}

// Replaces the implementation of the method that instances of cls run for
// `name` and returns the previous one; null (nothing replaced) when there is
// no such method.
IMP replacePickerMethod(Class cls, const char* name, IMP replacement) {
  Method method = class_getInstanceMethod(cls, sel_registerName(name));
  return method != nullptr ? method_setImplementation(method, replacement) : nullptr;
}

id savedValue(Class cls, const void* key) {
  return objc_getAssociatedObject(reinterpret_cast<id>(cls), key);
}

// Values that a later save replaced on their class: a pick on another thread
// may still be reading one, so they stay alive, held here. Written under the
// patching lock only.
constinit std::vector<id>* TDMSupersededValues = nullptr;

void save(Class cls, const void* key, IMP previous) {
  AutoreleasePool pool;  // the NSValue is autoreleased; the association keeps it
  if (id earlier = savedValue(cls, key); earlier != nil) {
    if (TDMSupersededValues == nullptr) TDMSupersededValues = new std::vector<id>();
    TDMSupersededValues->push_back(objc_retain(earlier));
  }
  objc_setAssociatedObject(reinterpret_cast<id>(cls), key,
                           NSValue::valueWithPointer(reinterpret_cast<const void*>(previous)),
                           OBJC_ASSOCIATION_RETAIN_NONATOMIC);
}

// What an implementation saved on a class replaced there, when the class was
// patched again over it: a list that only grows, written under the patching
// lock and read without it (each entry is complete before it is published).
struct TDMReplacedEntry {
  Class cls;
  const void* key;
  IMP saved;
  IMP before;
  const TDMReplacedEntry* next;
};
constinit std::atomic<const TDMReplacedEntry*> TDMReplaced{nullptr};

IMP savedOn(Class cls, const void* key) {
  auto* saved = NSValue::cast(savedValue(cls, key));
  return saved != nullptr ? reinterpret_cast<IMP>(saved->pointerValue()) : nullptr;
}

// YES when `imp` is saved on cls itself under key, or was saved there before
// what is saved now.
bool inChain(Class cls, const void* key, IMP imp) {
  for (IMP saved = savedOn(cls, key); saved != nullptr; saved = TDMSavedBefore(cls, key, saved)) {
    if (saved == imp) return true;
  }
  return false;
}

// Keeps what `saved` replaced on cls (`before`, saved there until now). An
// implementation already in the chain (the app put back one it had replaced)
// keeps what it replaced the first time, so the chain never loops.
void remember(Class cls, const void* key, IMP saved, IMP before) {
  if (before == nullptr || inChain(cls, key, saved)) return;
  auto* entry = new TDMReplacedEntry{cls, key, saved, before, TDMReplaced.load()};
  TDMReplaced.store(entry, std::memory_order_release);
}

}  // namespace

__attribute__((constructor)) void TDMInstall() {
  Class picker = objc_getClass("UIDocumentPickerViewController");
  TDMOriginalInitWithTypes =
      replacePickerMethod(picker, "initWithDocumentTypes:inMode:", asIMP(TDMInitWithTypes));
  TDMOriginalInitForOpening =
      replacePickerMethod(picker, "initForOpeningContentTypes:asCopy:", asIMP(TDMInitForOpening));
  TDMOriginalSetDelegate = replacePickerMethod(picker, "setDelegate:", asIMP(TDMSetDelegate));
}

id TDMInitWithTypes(id self, SEL _cmd, id documentTypes, NSUInteger mode) {
  if (mode == UIDocumentPickerModeOpen) mode = UIDocumentPickerModeImport;
  auto original = reinterpret_cast<id (*)(id, SEL, id, NSUInteger)>(TDMOriginalInitWithTypes);
  return original(self, _cmd, documentTypes, mode);
}

id TDMInitForOpening(id self, SEL _cmd, id contentTypes, BOOL) {
  auto original = reinterpret_cast<id (*)(id, SEL, id, BOOL)>(TDMOriginalInitForOpening);
  return original(self, _cmd, contentTypes, YES);
}

void TDMSetDelegate(id self, SEL _cmd, id delegate) {
  if (delegate != nil) {
    Class cls = object_getClass(delegate);
    TDMPatchDelegate(cls, sel_registerName("documentPicker:didPickDocumentsAtURLs:"),
                     asIMP(TDMPickedURLs), kOriginalPickURLs);
    TDMPatchDelegate(cls, sel_registerName("documentPicker:didPickDocumentAtURL:"),
                     asIMP(TDMPickedURL), kOriginalPickURL);
  }
  auto original = reinterpret_cast<void (*)(id, SEL, id)>(TDMOriginalSetDelegate);
  original(self, _cmd, delegate);
}

void TDMPatchDelegate(Class cls, SEL selector, IMP replacement, const void* key) {
  std::lock_guard hold(TDMPatchLock);
  Method method = class_getInstanceMethod(cls, selector);
  if (method == nullptr) return;
  IMP found = method_getImplementation(method);
  if (found == replacement) return;
  // Anything else is patched, also a class patched before whose method the
  // app has since replaced outright or wrapped. What was saved there stays
  // reachable: a wrapper that calls through to the replacement goes on to
  // what it replaced (see TDMSavedBefore).
  //
  // Saved first: from the moment the replacement is visible, a pick on any
  // thread finds what it forwards to. When cls only inherits the method, the
  // replacement is added to it and the inherited implementation is the one
  // to forward to.
  const IMP before = savedOn(cls, key);
  remember(cls, key, found, before);
  save(cls, key, found);
  IMP previous = class_replaceMethod(cls, selector, replacement, method_getTypeEncoding(method));
  if (previous != nullptr && previous != found) {
    // Set by code that does not take this lock between the lookup and the
    // replacement: forward to what was really replaced.
    remember(cls, key, previous, before);
    save(cls, key, previous);
  }
}

IMP TDMSavedBefore(Class cls, const void* key, IMP saved) {
  for (auto* entry = TDMReplaced.load(std::memory_order_acquire); entry != nullptr;
       entry = entry->next) {
    if (entry->cls == cls && entry->key == key && entry->saved == saved) return entry->before;
  }
  return nullptr;
}

IMP TDMOriginalFrom(Class start, const void* key, Class* owner) {
  for (Class cls = start; cls != Nil; cls = class_getSuperclass(cls)) {
    if (auto* saved = NSValue::cast(savedValue(cls, key))) {
      if (owner != nullptr) *owner = cls;
      return reinterpret_cast<IMP>(saved->pointerValue());
    }
  }
  return nullptr;
}

IMP TDMOriginal(id object, const void* key) {
  return TDMOriginalFrom(object_getClass(object), key, nullptr);
}
