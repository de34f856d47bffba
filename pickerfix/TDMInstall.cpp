// Installation, the picker replacements, and the patching of delegate classes.

#include "pickerfix/Docmend.h"
#include "platform/foundation/NSValue.h"
#include "platform/objc/NSObject.h"

IMP TDMOriginalInitWithTypes = nullptr;
IMP TDMOriginalInitForOpening = nullptr;
IMP TDMOriginalSetDelegate = nullptr;

void* kOriginalPickURLs = &kOriginalPickURLs;
void* kOriginalPickURL = &kOriginalPickURL;

namespace {

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
  constexpr NSUInteger open = 1;
  constexpr NSUInteger import = 0;
  if (mode == open) mode = import;
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
  Method method = class_getInstanceMethod(cls, selector);
  if (method == nullptr) return;
  IMP found = method_getImplementation(method);
  if (found == replacement) return;
  // On the class itself: replaces its own method, or adds one over the
  // inherited method (then nothing was replaced and the inherited
  // implementation is the one to forward to).
  IMP previous = class_replaceMethod(cls, selector, replacement, method_getTypeEncoding(method));
  if (previous == nullptr) previous = found;
  AutoreleasePool pool;  // the NSValue is autoreleased; the association keeps it
  objc_setAssociatedObject(reinterpret_cast<id>(cls), key,
                           NSValue::valueWithPointer(reinterpret_cast<const void*>(previous)),
                           OBJC_ASSOCIATION_RETAIN_NONATOMIC);
}

IMP TDMOriginalFrom(Class start, const void* key, Class* owner) {
  for (Class cls = start; cls != Nil; cls = class_getSuperclass(cls)) {
    if (auto* saved = NSValue::cast(objc_getAssociatedObject(reinterpret_cast<id>(cls), key))) {
      if (owner != nullptr) *owner = cls;
      return reinterpret_cast<IMP>(saved->pointerValue());
    }
  }
  return nullptr;
}

IMP TDMOriginal(id object, const void* key) {
  return TDMOriginalFrom(object_getClass(object), key, nullptr);
}
