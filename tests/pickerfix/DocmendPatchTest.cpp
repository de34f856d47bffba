// Docmend's method replacement, with the real library loaded into the
// process: the picker's initialisers and setter, and the patching of delegate
// classes, through every way a class can come to hold or inherit a callback,
// delegates that call themselves or super, apps that swizzle over the patch,
// and delegates set from several threads at once.

#include <gmock/gmock.h>
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
  // Forgets the calls so far, then picks `count` files outside the home directory.
  void pickFiles(id picker, int count = 1) {
    calls.clear();
    std::vector<NSURL*> urls;
    for (int i = 0; i < count; ++i) urls.push_back(outsideFile(std::to_string(i) + ".txt", "x"));
    pick(picker, urls);
  }
  // The implementations that ran, in order.
  static std::vector<std::string> ran() {
    std::vector<std::string> names;
    for (const auto& call : calls) names.push_back(call.implementation);
    return names;
  }
};

TEST_F(DocmendPatch, PickerInitialisersAskForCopies) {
  const std::pair<id, NSUInteger> cases[] = {
      {newPicker(UIDocumentPickerModeOpen), UIDocumentPickerModeImport},
      {newPicker(UIDocumentPickerModeImport), UIDocumentPickerModeImport},
      {newPicker(UIDocumentPickerModeExportToService), UIDocumentPickerModeExportToService},
      {newPicker(UIDocumentPickerModeMoveToService), UIDocumentPickerModeMoveToService},
      {newPickerForOpening(false), UIDocumentPickerModeImport},
      {newPickerForOpening(true), UIDocumentPickerModeImport}};
  for (const auto& [picker, mode] : cases) {
    EXPECT_EQ(modeOf(keep(picker)), mode);
    EXPECT_EQ(asCopyOf(picker), mode != UIDocumentPickerModeMoveToService) << mode;
  }
}

TEST_F(DocmendPatch, SameClassTwicePatchesOnceAndNilStillReachesTheSetter) {
  Class cls = defineDelegate("TwiceDelegate", Nil, 0, kBoth);
  id picker = newOpenPicker(), second = newDelegate(cls);
  setDelegate(picker, newDelegate(cls));
  EXPECT_TRUE(isDocmendCode(implementation(cls, oneSelector())));
  setDelegate(picker, second);
  setDelegate(picker, second);
  pickFiles(picker);
  ASSERT_EQ(calls.size(), 1u) << "a second patch would have saved the replacement and looped";
  EXPECT_EQ(calls[0].receiver, second);
  EXPECT_EQ(calls[0].picker, picker);
  EXPECT_TRUE(isCopy(calls[0].urls.at(0), "0.txt"));

  setDelegate(picker, nil);
  EXPECT_EQ(objc_msgSendTyped<id>(picker, sel("delegate")), nil) << "nil reached the setter";
  pickFiles(picker);
  EXPECT_TRUE(calls.empty());
}

// A subclass that inherits its callback, set as delegate alone, after its
// superclass, or before it (as when an observed object's class is swapped for
// a runtime-made subclass, then back): the subclass gets the replacement only
// when its superclass has none, the superclass is patched only when it is set
// itself, and a pick through an instance of either runs the superclass's code
// once, with copies.
TEST_F(DocmendPatch, SubclassInheritingTheCallback) {
  enum Order { kSubclassOnly, kSuperclassFirst, kSubclassFirst };
  for (const Order order : {kSubclassOnly, kSuperclassFirst, kSubclassFirst}) {
    SCOPED_TRACE(order);
    const std::string base = "Base" + std::to_string(order);
    Class baseClass = defineDelegate(base.c_str(), Nil, 0, kMany);
    Class sub = defineDelegate(("Sub" + base).c_str(), baseClass, 1, kNone);
    const IMP original = implementation(baseClass, manySelector());
    id picker = newOpenPicker(), baseDelegate = newDelegate(baseClass);
    id subDelegate = newDelegate(sub);
    if (order == kSuperclassFirst) setDelegate(picker, baseDelegate);
    setDelegate(picker, subDelegate);
    EXPECT_EQ(class_getInstanceMethod(sub, manySelector()) ==
                  class_getInstanceMethod(baseClass, manySelector()),
              order == kSuperclassFirst);
    EXPECT_EQ(implementation(baseClass, manySelector()) == original, order != kSuperclassFirst);
    EXPECT_TRUE(isDocmendCode(implementation(sub, manySelector())));
    if (order == kSubclassFirst) setDelegate(picker, baseDelegate);
    std::vector<id> delegates{subDelegate};
    if (order != kSubclassOnly) delegates.push_back(baseDelegate);
    for (id delegate : delegates) {
      setDelegate(picker, delegate);
      const std::size_t before = sandbox_.relocationFolders().size();
      pickFiles(picker, 2);
      EXPECT_EQ(ran(), std::vector<std::string>{base});
      EXPECT_EQ(calls.at(0).receiver, delegate);
      ASSERT_EQ(calls[0].urls.size(), 2u);
      for (const auto& url : calls[0].urls) EXPECT_TRUE(isCopy(url)) << url;
      EXPECT_EQ(sandbox_.relocationFolders().size(), before + 2);
    }
  }
}

// A subclass whose callback sends the same callback to super, or splits the
// pick by sending the callback to itself once per URL, or does both, with its
// superclass patched before it, after it or not at all: each class's code runs
// once for each send meant for it, in order, with the copies of its own URLs,
// and every file is copied once, quietly.
TEST_F(DocmendPatch, DelegatesSendingTheCallbackToSuperOrToThemselves) {
  struct Case {
    const char* set;  // the delegates set, in order: B the superclass's, S the subclass's
    int callbacks;
    bool callsSuper, splits;
    const char* ran;                     // whose code ran, in order
    std::vector<std::vector<int>> urls;  // each call's URLs, as indices into the first call's
  };
  const Case cases[] = {{"BS", kMany, true, false, "SB", {{0, 1}, {0, 1}}},
                        {"SBS", kMany, true, false, "SB", {{0, 1}, {0, 1}}},
                        {"BS", kOne, true, false, "SB", {{0}, {0}}},
                        {"S", kMany, false, true, "SSS", {{0, 1}, {0}, {1}}},
                        {"BS", kMany, true, true, "SSBSB", {{0, 1}, {0}, {0}, {1}, {1}}}};
  StderrCapture log;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(i);
    const std::string n = std::to_string(i);
    Class base = defineDelegate(("Base" + n).c_str(), Nil, 0, c.callbacks);
    Class sub = defineDelegate(("Sub" + n).c_str(), base, 1, c.callbacks, c.callsSuper, c.splits);
    labels[0] = "B", labels[1] = "S";
    id picker = newOpenPicker(), baseDelegate = newDelegate(base), subDelegate = newDelegate(sub);
    for (const char* d = c.set; *d != '\0'; ++d) {
      setDelegate(picker, *d == 'B' ? baseDelegate : subDelegate);
    }
    const std::size_t before = sandbox_.relocationFolders().size();
    pickFiles(picker, 2);
    std::string ran;
    for (const auto& call : calls) ran += call.implementation;
    EXPECT_EQ(ran, c.ran);
    ASSERT_EQ(calls.size(), c.urls.size());
    const std::vector<std::string> copies = calls[0].urls;
    ASSERT_EQ(copies.size(), c.urls[0].size());
    for (const auto& url : copies) EXPECT_TRUE(isCopy(url)) << url;
    for (std::size_t k = 0; k < calls.size(); ++k) {
      EXPECT_EQ(calls[k].receiver, subDelegate) << k;
      std::vector<std::string> expected;
      for (int u : c.urls[k]) expected.push_back(copies[u]);
      EXPECT_EQ(calls[k].urls, expected) << k;
    }
    EXPECT_EQ(sandbox_.relocationFolders().size(), before + copies.size()) << "copied once";
  }
  EXPECT_TRUE(log.lines().empty());
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
      pickFiles(picker);
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
    pickFiles(picker);
    EXPECT_EQ(ran(), (std::vector<std::string>{"App", name}));
  }
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(sandbox_.relocationFolders().size(), 7u);
}

// The app's outright replacement: its own code, which records and does not
// call the implementation it replaced.
void appOwn(id self, SEL op, id picker, id urls) {
  Call call{"Own", sel_getName(op), self, picker, {}};
  for (id url : NSArray::cast(urls)->objects()) call.urls.push_back(describe(url));
  calls.push_back(call);
}

// The app replaces the patched callback outright: picks bypass relocation
// until a delegate of the class is set again, then arrive as copies at the
// app's code, once. The app then wraps that, and a delegate of an inheriting
// subclass is set before the class is set again; at last the app puts back
// the delegate's code and wraps it anew: the wrapper and the code it wraps
// each run once, through either class, and every file is copied once.
TEST_F(DocmendPatch, AppReplacingThePatchedCallbackOutright) {
  Class cls = defineDelegate("ReplacedDelegate", Nil, 0, kMany);
  Class sub = defineDelegate("ReplacedSubclass", cls, 1, kNone);
  const IMP original = implementation(cls, manySelector());
  id delegate = newDelegate(cls), subDelegate = newDelegate(sub);
  id picker = newOpenPicker(), subPicker = newOpenPicker();
  StderrCapture log;
  const auto expectPick = [&](id through, const std::vector<std::string>& expected, bool copied) {
    pickFiles(through);
    EXPECT_EQ(ran(), expected);
    EXPECT_EQ(isCopy(calls.back().urls.at(0), "0.txt"), copied) << calls.back().urls[0];
  };
  setDelegate(picker, delegate);
  class_replaceMethod(cls, manySelector(), reinterpret_cast<IMP>(appOwn), "v32@0:8@16@24");
  expectPick(picker, {"Own"}, false);
  setDelegate(newOpenPicker(), delegate);
  EXPECT_TRUE(isDocmendCode(implementation(cls, manySelector())));
  expectPick(picker, {"Own"}, true);

  appSwizzle(cls);
  setDelegate(subPicker, subDelegate);
  expectPick(subPicker, {"App", "Own"}, true);
  setDelegate(newOpenPicker(), delegate);
  expectPick(picker, {"App", "Own"}, true);
  expectPick(subPicker, {"App", "Own"}, true);

  // The app puts back the delegate's own code, then wraps it again.
  class_replaceMethod(cls, manySelector(), original, "v32@0:8@16@24");
  setDelegate(newOpenPicker(), delegate);
  expectPick(picker, {"ReplacedDelegate"}, true);
  appSwizzle(cls);
  setDelegate(newOpenPicker(), delegate);
  expectPick(picker, {"App", "ReplacedDelegate"}, true);
  EXPECT_EQ(sandbox_.relocationFolders().size(), 6u) << "each pick copied once";
  EXPECT_TRUE(log.lines().empty());
}

// The app replaces the patched callback outright, then puts back the
// delegate's own code, which splits the pick by sending the callback to
// itself: each send reaches that code again, never the app's replaced one
// (the put-back code must not be recorded as replacing it).
TEST_F(DocmendPatch, PutBackCodeSendingToItselfReachesItself) {
  Class cls = defineDelegate("PutBackDelegate", Nil, 0, kMany, false, true);
  const IMP original = implementation(cls, manySelector());
  id delegate = newDelegate(cls), picker = newOpenPicker();
  setDelegate(picker, delegate);
  for (IMP app : {reinterpret_cast<IMP>(appOwn), original}) {
    class_replaceMethod(cls, manySelector(), app, "v32@0:8@16@24");
    setDelegate(picker, delegate);
  }
  pickFiles(picker, 2);
  EXPECT_EQ(ran(), std::vector<std::string>(3, "PutBackDelegate"));
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
  pickFiles(picker);
  EXPECT_TRUE(calls.empty());
  EXPECT_THAT(log.lines(), testing::ElementsAre(testing::EndsWith(
                               "[Docmend] no saved implementation of documentPicker:"
                               "didPickDocumentsAtURLs: for StrangerDelegate; pick dropped")));
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
        if (ran() != expected[kind]) ++wrong;
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
