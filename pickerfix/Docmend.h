#pragma once

// Docmend's own declarations, shared by its two source files. Nothing here is
// exported: the library's only way in is its initialiser, TDMInstall, which
// the loader runs when the image loads.
//
// Threading: TDMInstall runs once on the loading thread before anything else
// of the library. Pickers and their delegates belong to the main thread, but
// an app may create and configure pickers elsewhere, so the patching of
// delegate classes is serialised by one lock (see TDMPatchDelegate). The
// callbacks take no lock: what they read is written before it becomes
// reachable.
//
// Ownership: objects follow the runtime's counting rules; every function
// releases what it retains. The process-wide state below is written at load
// (the saved picker implementations) or when a class is patched (its
// associations) and is never freed.

#include <string>

#include "platform/foundation/NSURL.h"
#include "platform/objc/runtime.h"
#include "platform/uikit/UIDocumentPickerViewController.h"

extern "C" {

// The picker's implementations from before installation; null when the
// picker had no such method (then its replacement is never reached).
extern IMP TDMOriginalInitWithTypes;
extern IMP TDMOriginalInitForOpening;
extern IMP TDMOriginalSetDelegate;

// Association keys: each is a pointer-sized variable holding its own
// address, so the key is unique to this library. A patched delegate class
// keeps under each key an NSValue with its previous implementation of that
// callback.
extern void* kOriginalPickURLs;  // documentPicker:didPickDocumentsAtURLs:
extern void* kOriginalPickURL;   // documentPicker:didPickDocumentAtURL:

// The library's initialiser: replaces the picker's initWithDocumentTypes:inMode:,
// initForOpeningContentTypes:asCopy: and setDelegate: (each only when found).
void TDMInstall();

// The picker replacements. Same arguments and result as the methods they
// replace; each calls the saved implementation with the receiver and
// selector it was given.
id TDMInitWithTypes(id self, SEL _cmd, id documentTypes, NSUInteger mode);  // open becomes import
id TDMInitForOpening(id self, SEL _cmd, id contentTypes, BOOL asCopy);      // as-copy becomes YES
void TDMSetDelegate(id self, SEL _cmd, id delegate);  // patches the delegate's class

// Installs `replacement` for `selector` on `cls` itself and keeps the
// previous implementation in an association under `key`. Does nothing when
// instances of cls do not respond to the selector or already run the
// replacement. On a class patched before, whose method the app has since
// replaced or wrapped, the association moves on to the app's implementation
// and the one saved before it stays reachable through TDMSavedBefore. Holds
// the patching lock throughout, and saves the previous implementation before
// the replacement becomes visible.
void TDMPatchDelegate(Class cls, SEL selector, IMP replacement, const void* key);

// What `saved` replaced on `cls` under `key`: the implementation saved there
// before a later patch saved `saved` in its place; null when `saved` replaced
// nothing of Docmend's (it is the first saved there, or was never saved).
// Lock-free: readable while another thread patches.
IMP TDMSavedBefore(Class cls, const void* key, IMP saved);

// The saved implementation for `object`: the nearest association under `key`
// from the object's class upwards, or null when no class in the chain has one.
IMP TDMOriginal(id object, const void* key);

// The same walk started at `start` (Nil gives null); *owner receives the class
// whose association was found.
IMP TDMOriginalFrom(Class start, const void* key, Class* owner);

// The delegate callback replacements (the callbacks' own signatures).
void TDMPickedURLs(id self, SEL _cmd, id picker, id urls);
void TDMPickedURL(id self, SEL _cmd, id picker, id url);

// The URL to hand on for a picked URL: a copy in the copy folder for a file
// URL outside the home directory and the copy folder, else the URL itself
// (also when the copy fails, after one log line). Autoreleased; nil for nil.
NSURL* TDMRelocate(NSURL* url);

}  // extern "C"

// YES when `path` is `folder` or lies under it: equal to it, or continuing
// with "/" after it. Textual: no link is followed.
bool TDMIsInside(const std::string& path, const std::string& folder);
