// The document picker's class, registered with the runtime when the UIKit
// image loads (as the platform's runtime registers an image's classes when it
// maps the image, before any initialiser of a library that depends on it).

#include "platform/uikit/UIDocumentPickerViewController.h"

#include "platform/foundation/NSArray.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/message.h"
#include "platform/objc/runtime.h"

namespace {

// A picker's storage after its isa, made zero-filled by +alloc.
struct PickerIvars {
  NSUInteger mode;
  BOOL asCopy;
  id delegate;  // not retained
  id types;     // retained
};

PickerIvars* ivars(id self) {
  return static_cast<PickerIvars*>(object_getIndexedIvars(self));
}

Class pickerClass = Nil;  // written once, while the image loads

SEL sel(const char* name) {
  return sel_registerName(name);
}

id pickerAlloc(id self, SEL) {
  return class_createInstance(reinterpret_cast<Class>(self), sizeof(PickerIvars));
}

void keepTypes(id self, id types) {
  objc_retain(types);
  objc_release(ivars(self)->types);
  ivars(self)->types = types;
}

id initWithDocumentTypes(id self, SEL, id types, NSUInteger mode) {
  keepTypes(self, types);
  ivars(self)->mode = mode;
  ivars(self)->asCopy =
      mode == UIDocumentPickerModeImport || mode == UIDocumentPickerModeExportToService;
  return self;
}

id initForOpeningContentTypes(id self, SEL, id types, BOOL asCopy) {
  keepTypes(self, types);
  ivars(self)->mode = asCopy ? UIDocumentPickerModeImport : UIDocumentPickerModeOpen;
  ivars(self)->asCopy = asCopy;
  return self;
}

void setDelegate(id self, SEL, id delegate) {
  ivars(self)->delegate = delegate;
}

id delegate(id self, SEL) {
  return ivars(self)->delegate;
}

NSUInteger documentPickerMode(id self, SEL) {
  return ivars(self)->mode;
}

BOOL asCopy(id self, SEL) {
  return ivars(self)->asCopy;
}

void pickDocumentsAtURLs(id self, SEL, id urls) {
  AutoreleasePool pool;
  id target = ivars(self)->delegate;
  if (target == nil) return;
  Class cls = object_getClass(target);
  static SEL many = sel("documentPicker:didPickDocumentsAtURLs:");
  static SEL one = sel("documentPicker:didPickDocumentAtURL:");
  if (class_respondsToSelector(cls, many)) {
    objc_msgSendTyped<void>(target, many, self, urls);
    return;
  }
  auto* array = NSArray::cast(urls);
  if (class_respondsToSelector(cls, one) && array != nullptr && array->count() > 0) {
    objc_msgSendTyped<void>(target, one, self, array->firstObject());
  }
}

void pickerDealloc(id self, SEL op) {
  objc_release(ivars(self)->types);
  ivars(self)->types = nil;
  objc_super super{self, class_getSuperclass(pickerClass)};
  objc_msgSendSuperTyped<void>(&super, op);
}

template <typename F>
IMP imp(F* function) {
  return reinterpret_cast<IMP>(function);
}

__attribute__((constructor)) void UIKitRegisterClasses() {
  Class viewController = objc_allocateClassPair(objc_getClass("NSObject"), "UIViewController", 0);
  if (viewController == Nil) return;  // already registered
  objc_registerClassPair(viewController);

  pickerClass = objc_allocateClassPair(viewController, "UIDocumentPickerViewController", 0);
  class_addMethod(object_getClass(reinterpret_cast<id>(pickerClass)), sel("alloc"),
                  imp(pickerAlloc), "@16@0:8");
  class_addMethod(pickerClass, sel("initWithDocumentTypes:inMode:"), imp(initWithDocumentTypes),
                  "@32@0:8@16Q24");
  class_addMethod(pickerClass, sel("initForOpeningContentTypes:asCopy:"),
                  imp(initForOpeningContentTypes), "@28@0:8@16B24");
  class_addMethod(pickerClass, sel("setDelegate:"), imp(setDelegate), "v24@0:8@16");
  class_addMethod(pickerClass, sel("delegate"), imp(delegate), "@16@0:8");
  class_addMethod(pickerClass, sel("documentPickerMode"), imp(documentPickerMode), "Q16@0:8");
  class_addMethod(pickerClass, sel("asCopy"), imp(asCopy), "B16@0:8");
  class_addMethod(pickerClass, sel("pickDocumentsAtURLs:"), imp(pickDocumentsAtURLs), "v24@0:8@16");
  class_addMethod(pickerClass, sel("dealloc"), imp(pickerDealloc), "v16@0:8");
  objc_registerClassPair(pickerClass);
}

}  // namespace
