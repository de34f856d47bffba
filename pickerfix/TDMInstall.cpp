// Installation, the picker replacements, and the patching of delegate classes.

#include <mutex>

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

// The class that defines `method`, which instances of cls run for `selector`:
// cls itself, or the superclass it inherits the method from.
Class definingClass(Class cls, SEL selector, Method method) {
  Class owner = cls;
  for (Class up = class_getSuperclass(owner);
       up != Nil && class_getInstanceMethod(up, selector) == method; up = class_getSuperclass(up)) {
    owner = up;
  }
  return owner;
}

id savedValue(Class cls, const void* key) {
  return objc_getAssociatedObject(reinterpret_cast<id>(cls), key);
}

void save(Class cls, const void* key, IMP previous) {
  AutoreleasePool pool;  // the NSValue is autoreleased; the association keeps it
  objc_setAssociatedObject(reinterpret_cast<id>(cls), key,
                           NSValue::valueWithPointer(reinterpret_cast<const void*>(previous)),
                           OBJC_ASSOCIATION_RETAIN_NONATOMIC);
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
  // A class patched before keeps its association. Its method may since run
  // the app's own implementation wrapped around the replacement; patching it
  // again would save that wrapper, and through it the replacement, as the
  // original.
  if (savedValue(definingClass(cls, selector, method), key) != nil) return;

  // Saved first: from the moment the replacement is visible, a pick on any
  // thread finds what it forwards to. When cls only inherits the method, the
  // replacement is added to it and the inherited implementation is the one
  // to forward to.
  save(cls, key, found);
  IMP previous = class_replaceMethod(cls, selector, replacement, method_getTypeEncoding(method));
  if (previous != nullptr && previous != found) {
    // Set by code that does not take this lock between the lookup and the
    // replacement: forward to what was really replaced. A pick may still be
    // reading the first value, so it stays alive.
    objc_retain(savedValue(cls, key));
    save(cls, key, previous);
  }
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
