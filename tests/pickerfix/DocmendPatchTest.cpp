// Docmend's method replacement, with the real library loaded into the
// process: the picker's initialisers and setter, and the patching of delegate
// classes, through every way a class can come to hold or inherit a callback,
// delegates that call themselves or super, apps that swizzle over the patch,
// and delegates set from several threads at once.

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <thread>

#include "tests/pickerfix/PickerHarness.h"

namespace picker_harness {
namespace {

class DocmendPatch : public DocmendTest {
 protected:
  id newDelegate(Class cls) { return keep(class_createInstance(cls, 0)); }
  id newOpenPicker() { return keep(newPicker(UIDocumentPickerModeOpen)); }
  bool isCopy(const std::string& path) const {
    return path.starts_with((sandbox_.docmendFolder() / "").string());
  }
  // The implementations that ran, in order.
  static std::vector<std::string> ran() {
    std::vector<std::string> names;
    for (const auto& call : calls) names.push_back(call.implementation);
    return names;
  }
};

TEST_F(DocmendPatch, PickerInitialisersAskForCopies) {
  EXPECT_EQ(modeOf(newOpenPicker()), UIDocumentPickerModeImport);
  EXPECT_TRUE(asCopyOf(newOpenPicker()));
  for (NSUInteger mode : {UIDocumentPickerModeImport, UIDocumentPickerModeExportToService,
                          UIDocumentPickerModeMoveToService}) {
    EXPECT_EQ(modeOf(keep(newPicker(mode))), mode);
  }
  for (bool asked : {false, true}) {
    id picker = keep(newPickerForOpening(asked));
    EXPECT_TRUE(asCopyOf(picker)) << "asked " << asked;
    EXPECT_EQ(modeOf(picker), UIDocumentPickerModeImport);
  }
}

TEST_F(DocmendPatch, NilDelegatePatchesNothingAndStillReachesTheSetter) {
  Class cls = defineDelegate("PlainDelegate", Nil, 0, kBoth);
  IMP many = implementation(cls, manySelector());
  id picker = newOpenPicker();
  setDelegate(picker, nil);
  EXPECT_EQ(implementation(cls, manySelector()), many);
  setDelegate(picker, newDelegate(cls));
  setDelegate(picker, nil);
  EXPECT_EQ(objc_msgSendTyped<id>(picker, sel("delegate")), nil) << "nil reached the setter";
  pick(picker, {outsideFile("a.txt", "a")});
  EXPECT_TRUE(calls.empty());
}

TEST_F(DocmendPatch, SameClassTwicePatchesOnceAndForwardsOnce) {
  Class cls = defineDelegate("TwiceDelegate", Nil, 0, kBoth);
  id picker = newOpenPicker();
  id second = newDelegate(cls);
  setDelegate(picker, newDelegate(cls));
  IMP patched = implementation(cls, manySelector());
  EXPECT_TRUE(isDocmendCode(patched));
  EXPECT_TRUE(isDocmendCode(implementation(cls, oneSelector())));
  setDelegate(picker, second);
  setDelegate(picker, second);
  EXPECT_EQ(implementation(cls, manySelector()), patched);

  pick(picker, {outsideFile("a.txt", "a")});
  ASSERT_EQ(calls.size(), 1u) << "a second patch would have saved the replacement and looped";
  EXPECT_EQ(calls[0].receiver, second);
  EXPECT_EQ(calls[0].picker, picker);
  ASSERT_EQ(calls[0].urls.size(), 1u);
  EXPECT_TRUE(isCopy(calls[0].urls[0]));
}

TEST_F(DocmendPatch, InheritedCallbackPatchesTheSubclassWhenTheSuperclassIsNot) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class derived = defineDelegate("DerivedDelegate", base, 1, kNone);
  IMP baseMany = implementation(base, manySelector());
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(derived));
  EXPECT_EQ(implementation(base, manySelector()), baseMany) << "the superclass is untouched";
  EXPECT_TRUE(isDocmendCode(implementation(derived, manySelector())));

  pick(picker, {outsideFile("a.txt", "a")});
  EXPECT_EQ(ran(), std::vector<std::string>{"BaseDelegate"});
  EXPECT_TRUE(isCopy(calls[0].urls.at(0)));
}

TEST_F(DocmendPatch, UnpatchedSubclassOfPatchedClassForwardsToTheSuperclass) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class derived = defineDelegate("DerivedDelegate", base, 1, kNone);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(base));
  Method baseMethod = class_getInstanceMethod(base, manySelector());
  id derivedDelegate = newDelegate(derived);
  setDelegate(picker, derivedDelegate);
  EXPECT_EQ(class_getInstanceMethod(derived, manySelector()), baseMethod)
      << "nothing added to the subclass";

  pick(picker, {outsideFile("a.txt", "a"), outsideFile("b.txt", "b")});
  EXPECT_EQ(ran(), std::vector<std::string>{"BaseDelegate"});
  EXPECT_EQ(calls[0].receiver, derivedDelegate);
  EXPECT_EQ(sandbox_.relocationFolders().size(), 2u);
}

TEST_F(DocmendPatch, DelegateWithOnlyTheSingleURLCallback) {
  Class cls = defineDelegate("SingleDelegate", Nil, 0, kOne);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(cls));
  EXPECT_EQ(class_getInstanceMethod(cls, manySelector()), nullptr) << "nothing added";

  pick(picker, {outsideFile("first.txt", "1"), outsideFile("second.txt", "2")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].selector, "documentPicker:didPickDocumentAtURL:");
  ASSERT_EQ(calls[0].urls.size(), 1u);
  EXPECT_TRUE(isCopy(calls[0].urls[0]));
  EXPECT_EQ(readFile(calls[0].urls[0]), "1");
  EXPECT_EQ(sandbox_.relocationFolders().size(), 1u) << "only the URL handed on is copied";
}

TEST_F(DocmendPatch, ClassSwappedToARuntimeSubclassBeforeBecomingDelegate) {
  Class observed = defineDelegate("ObservedDelegate", Nil, 0, kMany);
  IMP observedMany = implementation(observed, manySelector());
  id delegate = newDelegate(observed);
  Class swapped = objc_allocateClassPair(observed, "NSKVONotifying_ObservedDelegate", 0);
  objc_registerClassPair(swapped);
  object_setClass(delegate, swapped);

  id picker = newOpenPicker();
  setDelegate(picker, delegate);
  EXPECT_EQ(implementation(observed, manySelector()), observedMany);
  pick(picker, {outsideFile("a.txt", "a")});
  EXPECT_EQ(ran(), std::vector<std::string>{"ObservedDelegate"});

  // Swapped back and set again: the observed class is patched as well, and a
  // pick through either class is still relocated once and delivered once.
  object_setClass(delegate, observed);
  setDelegate(picker, delegate);
  for (Class cls : {observed, swapped}) {
    object_setClass(delegate, cls);
    calls.clear();
    pick(picker, {outsideFile("b.txt", "b")});
    EXPECT_EQ(ran(), std::vector<std::string>{"ObservedDelegate"});
    EXPECT_TRUE(isCopy(calls[0].urls.at(0)));
  }
  EXPECT_EQ(sandbox_.relocationFolders().size(), 3u);
}

// A superclass and a subclass both patched (either first), the subclass's
// callback sending the same callback to super: each class's own code runs
// once, in order, and both see the same copies, made once.
TEST_F(DocmendPatch, SuperclassAndSubclassCallingSuperEachRunOnce) {
  struct Case {
    bool superclassFirst;
    int callbacks;
  };
  for (const Case c : {Case{true, kMany}, Case{false, kMany}, Case{true, kOne}}) {
    SCOPED_TRACE(std::to_string(c.superclassFirst) + " " + std::to_string(c.callbacks));
    const std::string n = std::to_string(c.superclassFirst) + std::to_string(c.callbacks);
    Class base = defineDelegate(("BaseDelegate" + n).c_str(), Nil, 0, c.callbacks);
    Class sub = defineDelegate(("SubDelegate" + n).c_str(), base, 1, c.callbacks, true);
    id picker = newOpenPicker(), baseDelegate = newDelegate(base), subDelegate = newDelegate(sub);
    if (c.superclassFirst) setDelegate(picker, baseDelegate);
    setDelegate(picker, subDelegate);
    if (!c.superclassFirst) setDelegate(picker, baseDelegate);
    setDelegate(picker, subDelegate);
    const std::size_t before = sandbox_.relocationFolders().size();
    calls.clear();
    pick(picker, {outsideFile("a.txt", "a"), outsideFile("b.txt", "b")});

    EXPECT_EQ(ran(), (std::vector<std::string>{"SubDelegate" + n, "BaseDelegate" + n}));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].receiver, subDelegate);
    EXPECT_EQ(calls[0].urls, calls[1].urls) << "the call to super passes the copies on unchanged";
    const std::size_t expected = c.callbacks == kOne ? 1 : 2;
    ASSERT_EQ(calls[0].urls.size(), expected);
    for (const auto& url : calls[0].urls) EXPECT_TRUE(isCopy(url)) << url;
    EXPECT_EQ(sandbox_.relocationFolders().size(), before + expected) << "each file copied once";
  }
}

TEST_F(DocmendPatch, DelegateSplittingAPickBySendingTheCallbackToItself) {
  Class cls = defineDelegate("SplittingDelegate", Nil, 0, kMany, false, true);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(cls));
  StderrCapture log;
  pick(picker, {outsideFile("a.txt", "a"), outsideFile("b.txt", "b"), outsideFile("c.txt", "c")});
  EXPECT_TRUE(log.lines().empty());
  ASSERT_EQ(calls.size(), 4u) << "its own code, then once for each URL it sent itself";
  ASSERT_EQ(calls[0].urls.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(isCopy(calls[0].urls[i]));
    EXPECT_EQ(calls[i + 1].urls, std::vector<std::string>{calls[0].urls[i]})
        << "copies pass on as they are";
  }
  EXPECT_EQ(sandbox_.relocationFolders().size(), 3u);
}

TEST_F(DocmendPatch, SplittingSubclassOfAPatchedClassCallingSuperForEachURL) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class sub = defineDelegate("SubDelegate", base, 1, kMany, true, true);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(base));
  setDelegate(picker, newDelegate(sub));
  pick(picker, {outsideFile("a.txt", "a"), outsideFile("b.txt", "b")});
  EXPECT_EQ(ran(), (std::vector<std::string>{"SubDelegate", "SubDelegate", "BaseDelegate",
                                             "SubDelegate", "BaseDelegate"}));
  EXPECT_EQ(calls[2].urls, calls[1].urls);
  EXPECT_EQ(sandbox_.relocationFolders().size(), 2u);
}

// The app's usual swizzle: its own implementation, which records and then
// calls the implementation it replaced.
IMP appReplaced = nullptr;
void appPicked(id self, SEL op, id picker, id urls) {
  calls.push_back(Call{"App", sel_getName(op), self, picker, {}});
  reinterpret_cast<void (*)(id, SEL, id, id)>(appReplaced)(self, op, picker, urls);
}
void appSwizzle(Class cls) {
  appReplaced = method_setImplementation(class_getInstanceMethod(cls, manySelector()),
                                         reinterpret_cast<IMP>(appPicked));
}

// The app swizzles over the patch, or before the delegate is first set: each
// pick runs the app's code, then the delegate's, with copies.
TEST_F(DocmendPatch, AppSwizzleAfterOrBeforeThePatch) {
  StderrCapture log;
  for (const bool swizzleFirst : {false, true}) {
    const char* name = swizzleFirst ? "SwizzledFirst" : "SwizzledDelegate";
    Class cls = defineDelegate(name, Nil, swizzleFirst ? 2 : 0, kMany);
    id delegate = newDelegate(cls);
    if (swizzleFirst) appSwizzle(cls);
    setDelegate(newOpenPicker(), delegate);
    if (!swizzleFirst) appSwizzle(cls);
    for (int round = 0; round < 3; ++round) {
      id picker = newOpenPicker();
      setDelegate(picker, delegate);
      calls.clear();
      pick(picker, {outsideFile("a.txt", "a")});
      EXPECT_EQ(ran(), (std::vector<std::string>{"App", name})) << name << round;
      EXPECT_TRUE(isCopy(calls.at(1).urls.at(0)));
    }
    if (swizzleFirst) continue;
    // A subclass inherits the wrapped replacement: its class is already patched.
    Class sub = defineDelegate("SwizzledSubclass", cls, 1, kNone);
    id picker = newOpenPicker();
    setDelegate(picker, newDelegate(sub));
    EXPECT_EQ(class_getInstanceMethod(sub, manySelector()),
              class_getInstanceMethod(cls, manySelector()));
    calls.clear();
    pick(picker, {outsideFile("b.txt", "b")});
    EXPECT_EQ(ran(), (std::vector<std::string>{"App", name}));
  }
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(sandbox_.relocationFolders().size(), 7u);
}

TEST_F(DocmendPatch, ReplacementWithNoSavedImplementationDropsThePickWithOneLogLine) {
  Class patched = defineDelegate("PatchedDelegate", Nil, 0, kMany);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(patched));
  // A class that got the replacement by other means has no saved
  // implementation anywhere in its chain.
  Class stranger = defineDelegate("StrangerDelegate", Nil, 1, kNone);
  class_addMethod(stranger, manySelector(), implementation(patched, manySelector()),
                  "v32@0:8@16@24");
  setDelegate(picker, newDelegate(stranger));

  StderrCapture log;
  pick(picker, {outsideFile("a.txt", "a")});
  auto lines = log.lines();
  EXPECT_TRUE(calls.empty());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("[Docmend] "), std::string::npos);
  EXPECT_NE(lines[0].find("StrangerDelegate"), std::string::npos);
  EXPECT_TRUE(sandbox_.relocationFolders().empty()) << "a dropped pick copies nothing";
}

// Eight threads at once set fresh delegate classes of one family (a class,
// a subclass that inherits its callback, and one that overrides it and calls
// super) on pickers of their own, then pick, while others keep sending the
// callback to an instance of another inheriting subclass: every pick and
// every send reaches each original once, and none is dropped.
TEST_F(DocmendPatch, ThreadsSettingFreshClassesAtOnce) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 60;
  constexpr int kSends = 100;
  const std::vector<std::string> expected[] = {
      {"Base"}, {"Base"}, {"Override", "Base"}, std::vector<std::string>(kSends, "Base")};
  StderrCapture log;
  std::atomic<int> wrong{0};
  for (int round = 0; round < kRounds; ++round) {
    std::string suffix = std::to_string(round);
    Class base = defineDelegate(("Base" + suffix).c_str(), Nil, 0, kMany);
    Class family[] = {base, defineDelegate(("Inherit" + suffix).c_str(), base, 1, kNone),
                      defineDelegate(("Override" + suffix).c_str(), base, 2, kMany, true),
                      defineDelegate(("Bystander" + suffix).c_str(), base, 3, kNone)};
    labels[0] = "Base";
    labels[2] = "Override";
    std::barrier start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, kind = t % 4] {
        AutoreleasePool pool;
        id picker = newPicker(UIDocumentPickerModeOpen);
        id delegate = class_createInstance(family[kind], 0);
        NSURL* url = NSURL::URLWithString("https://example.com/" + suffix);
        start.arrive_and_wait();
        if (kind == 3) {
          for (int i = 0; i < kSends; ++i) {
            objc_msgSendTyped<void>(delegate, manySelector(), picker, static_cast<id>(nil));
          }
        } else {
          setDelegate(picker, delegate);
          pick(picker, {url});
        }
        std::vector<std::string> names;
        for (const auto& call : calls) names.push_back(call.implementation);
        if (names != expected[kind]) ++wrong;
        calls.clear();
        objc_release(picker);
        objc_release(delegate);
      });
    }
    for (auto& thread : threads) thread.join();
  }
  EXPECT_EQ(wrong.load(), 0);
  auto lines = log.lines();
  EXPECT_TRUE(lines.empty()) << lines.front();
}

}  // namespace
}  // namespace picker_harness
