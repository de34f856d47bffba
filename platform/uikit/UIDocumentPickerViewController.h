#pragma once

// The system document picker, a class of the object runtime registered when
// UIKit loads ("UIDocumentPickerViewController", a subclass of
// UIViewController, itself a subclass of NSObject). Apps use it through
// messages, so that methods replaced at run time take effect:
//
//   Class cls = objc_getClass("UIDocumentPickerViewController");
//   id picker = objc_msgSendTyped<id>(objc_msgSendTyped<id>(cls, sel_registerName("alloc")),
//                                     sel_registerName("initWithDocumentTypes:inMode:"),
//                                     types, UIDocumentPickerModeOpen);
//   objc_msgSendTyped<void>(picker, sel_registerName("setDelegate:"), delegate);
//
// Instance methods (selector, argument and result types, as IMP signatures):
//
//   initWithDocumentTypes:inMode:       id (id self, SEL, NSArray *types, NSUInteger mode)
//     Keeps the types (retained) and the mode. asCopy becomes YES for import
//     and export-to-service (those hand over copies), NO for open and
//     move-to-service. Returns self (+1 from alloc, as init does).
//   initForOpeningContentTypes:asCopy:  id (id self, SEL, NSArray *types, BOOL asCopy)
//     Keeps the types; the mode becomes import when asCopy is YES and open
//     when it is NO (an as-copy picker hands over copies, like import).
//   setDelegate:                        void (id self, SEL, id delegate)
//     The delegate is not retained (a weak reference on the platform): the
//     app keeps it alive while the picker may call it. nil clears it.
//   delegate                            id (id self, SEL)
//   documentPickerMode                  NSUInteger (id self, SEL)
//   asCopy                              BOOL (id self, SEL)
//   pickDocumentsAtURLs:                void (id self, SEL, NSArray *urls)
//     The user's action: the user picked these URLs. The picker calls its
//     delegate inside an autorelease pool of its own:
//     - the delegate responds to documentPicker:didPickDocumentsAtURLs: :
//       that callback, with the picker and the array as given;
//     - else, when it responds to documentPicker:didPickDocumentAtURL: and
//       the array is not empty: that callback with the first URL only;
//     - else (no delegate, neither callback, or an empty pick for a delegate
//       with only the single-URL callback): nothing.
//
// Delegate callbacks, as the delegate defines them:
//   documentPicker:didPickDocumentsAtURLs:  void (id self, SEL, id picker, NSArray *urls)
//   documentPicker:didPickDocumentAtURL:    void (id self, SEL, id picker, NSURL *url)
//
// View controllers belong to the main thread: every message to a picker is
// sent there, and the picker calls its delegate there, synchronously. The
// picker takes no locks. It releases its types on -dealloc.

#include "platform/foundation/NSObjCRuntime.h"

enum UIDocumentPickerMode : NSUInteger {
  UIDocumentPickerModeImport = 0,
  UIDocumentPickerModeOpen = 1,
  UIDocumentPickerModeExportToService = 2,
  UIDocumentPickerModeMoveToService = 3,
};
