#pragma once

// Test harness for the picker and for Docmend: delegate classes defined
// through the runtime that record every callback, pickers driven by
// messages, a private home and temporary directory for each test, and a
// capture of the log on file descriptor 2.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pickerfix/CopyFolder.h"
#include "platform/foundation/NSArray.h"
#include "platform/foundation/NSURL.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/message.h"
#include "platform/objc/runtime.h"
#include "platform/uikit/UIDocumentPickerViewController.h"

namespace picker_harness {

namespace fs = std::filesystem;

inline SEL sel(const char* name) {
  return sel_registerName(name);
}
inline SEL manySelector() {
  return sel("documentPicker:didPickDocumentsAtURLs:");
}
inline SEL oneSelector() {
  return sel("documentPicker:didPickDocumentAtURL:");
}

// What one callback implementation saw. `implementation` names the delegate
// code that ran (the label its class was defined with); URLs are written as
// the path of a file URL, else the whole URL.
struct Call {
  std::string implementation;
  std::string selector;
  id receiver;
  id picker;
  std::vector<std::string> urls;
};

// Per thread: a pick runs on the thread that makes it.
inline thread_local std::vector<Call> calls;

inline std::string describe(id url) {
  auto* u = NSURL::cast(url);
  if (u == nullptr) return "<not a URL>";
  return u->isFileURL() ? u->path() : u->absoluteString();
}

constexpr int kLabels = 6;
inline std::string labels[kLabels];
// When set for a label, its callback forwards to its superclass's callback
// (a send to super from this class) after recording.
inline Class forwardsToSuperFrom[kLabels];
// When set for a label, its multiple-URL callback given more than one URL
// sends the callback to itself once per URL, with a one-element array,
// instead of forwarding.
inline bool splitsToSelf[kLabels];

// The callback code of label N, for either callback: records the call, then
// splits the pick or sends it to super as its label says.
template <int N>
void picked(id self, SEL op, id picker, id urls) {
  Call call{labels[N], sel_getName(op), self, picker, {}};
  auto* array = NSArray::cast(urls);
  if (op == oneSelector()) {
    call.urls.push_back(describe(urls));
  } else if (array != nullptr) {
    for (id url : array->objects()) call.urls.push_back(describe(url));
  }
  calls.push_back(call);
  if (splitsToSelf[N] && array != nullptr && array->count() > 1) {
    for (id url : array->objects()) {
      AutoreleasePool pool;
      NSMutableArray* one = NSMutableArray::arrayWithCapacity(1);
      one->addObject(url);
      objc_msgSendTyped<void>(self, op, picker, static_cast<id>(one));
    }
  } else if (forwardsToSuperFrom[N] != Nil) {
    objc_super super{self, class_getSuperclass(forwardsToSuperFrom[N])};
    objc_msgSendSuperTyped<void>(&super, op, picker, urls);
  }
}

template <int... N>
IMP callbackImp(int label, std::integer_sequence<int, N...>) {
  IMP table[] = {reinterpret_cast<IMP>(&picked<N>)...};
  return table[label];
}

enum Callbacks { kMany = 1, kOne = 2, kBoth = 3, kNone = 0 };

// Defines and registers a delegate class. `label` (0..5) names its own
// callback code in the recorded calls.
inline Class defineDelegate(const char* name, Class superclass, int label, int callbacks,
                            bool forwardsToSuper = false, bool splits = false) {
  Class cls =
      objc_allocateClassPair(superclass != Nil ? superclass : objc_getClass("NSObject"), name, 0);
  EXPECT_NE(cls, Nil) << name;
  labels[label] = name;
  IMP code = callbackImp(label, std::make_integer_sequence<int, kLabels>());
  if (callbacks & kMany) class_addMethod(cls, manySelector(), code, "v32@0:8@16@24");
  if (callbacks & kOne) class_addMethod(cls, oneSelector(), code, "v32@0:8@16@24");
  forwardsToSuperFrom[label] = forwardsToSuper ? cls : Nil;
  splitsToSelf[label] = splits;
  objc_registerClassPair(cls);
  return cls;
}

// New pickers, owned by the caller (+1).
inline id allocPicker() {
  return objc_msgSendTyped<id>(objc_getClass("UIDocumentPickerViewController"), sel("alloc"));
}
inline id newPicker(NSUInteger mode) {
  return objc_msgSendTyped<id>(allocPicker(), sel("initWithDocumentTypes:inMode:"),
                               static_cast<id>(nil), mode);
}
inline id newPickerForOpening(bool asCopy) {
  return objc_msgSendTyped<id>(allocPicker(), sel("initForOpeningContentTypes:asCopy:"),
                               static_cast<id>(nil), static_cast<BOOL>(asCopy));
}

inline NSUInteger modeOf(id picker) {
  return objc_msgSendTyped<NSUInteger>(picker, sel("documentPickerMode"));
}
inline bool asCopyOf(id picker) {
  return objc_msgSendTyped<BOOL>(picker, sel("asCopy"));
}

inline void setDelegate(id picker, id delegate) {
  objc_msgSendTyped<void>(picker, sel("setDelegate:"), delegate);
}

// The user picks `urls` in `picker`.
inline void pick(id picker, const std::vector<NSURL*>& urls) {
  AutoreleasePool pool;
  NSMutableArray* array = NSMutableArray::arrayWithCapacity(urls.size());
  for (NSURL* url : urls) array->addObject(url);
  objc_msgSendTyped<void>(picker, sel("pickDocumentsAtURLs:"), static_cast<id>(array));
}

// YES when `imp` is code of the Docmend image (one of its replacements).
bool isDocmendCode(IMP imp);

// The implementation instances of cls run for `op`.
inline IMP implementation(Class cls, SEL op) {
  return class_getMethodImplementation(cls, op);
}

// Everything written to file descriptor 2 while it lives.
class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture() { lines(); }
  // Stops capturing (once) and returns the lines written.
  std::vector<std::string> lines();

 private:
  int saved_ = -1;
  std::string path_;
  std::vector<std::string> lines_;
};

// A private directory tree for one test: home/ is $HOME, tmp/ is $TMPDIR and
// outside/ holds files outside the home directory. Removed afterwards.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  const fs::path& root() const { return root_; }
  fs::path home() const { return root_ / "home" / "app"; }
  fs::path tmp() const { return root_ / "tmp"; }
  fs::path outside() const { return root_ / "outside"; }
  fs::path docmendFolder() const { return tmp() / kTDMCopyFolder; }
  // The per-file folders Docmend has made so far.
  std::vector<fs::path> relocationFolders() const;

 private:
  fs::path root_;
};

void writeFile(const fs::path& path, const std::string& content);
std::string readFile(const fs::path& path);

// A test that has Docmend loaded into the process (its initialiser has run),
// a sandbox, an autorelease pool, and a guard that ends a blocked test.
class DocmendTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Objects released at the end of the test.
  id keep(id obj) {
    owned_.push_back(obj);
    return obj;
  }
  NSURL* outsideFile(const std::string& name, const std::string& content);
  // YES when `path` is a copy made by Docmend: an item (named `name`, when
  // given) in a fresh UUID folder in the copy folder of $TMPDIR.
  bool isCopy(const std::string& path, const std::string& name = {}) const;

  Sandbox sandbox_;

 private:
  std::vector<id> owned_;
  void* pool_ = nullptr;
};

}  // namespace picker_harness
