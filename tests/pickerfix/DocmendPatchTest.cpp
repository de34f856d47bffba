// Docmend's method replacement, with the real library loaded into the
// process: the picker's initialisers and setter, and the patching of delegate
// classes, through every way a class can come to hold or inherit a callback.

#include <gtest/gtest.h>

#include "tests/pickerfix/PickerHarness.h"

namespace picker_harness {
namespace {

class DocmendPatch : public DocmendTest {
 protected:
  id newDelegate(Class cls) { return keep(class_createInstance(cls, 0)); }
  id newOpenPicker() { return keep(newPicker(UIDocumentPickerModeOpen)); }
  std::string tmpPrefix() const { return (sandbox_.docmendFolder() / "").string(); }
};

TEST_F(DocmendPatch, InitWithTypesTurnsOpenIntoImportOnly) {
  id open = newOpenPicker();
  EXPECT_EQ(modeOf(open), UIDocumentPickerModeImport);
  EXPECT_TRUE(asCopyOf(open));
  for (NSUInteger mode : {UIDocumentPickerModeImport, UIDocumentPickerModeExportToService,
                          UIDocumentPickerModeMoveToService}) {
    id picker = keep(newPicker(mode));
    EXPECT_EQ(modeOf(picker), mode);
  }
  EXPECT_FALSE(asCopyOf(keep(newPicker(UIDocumentPickerModeMoveToService))));
}

TEST_F(DocmendPatch, InitForOpeningAlwaysAsksForCopies) {
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
  id delegate = newDelegate(cls);
  setDelegate(picker, nil);
  EXPECT_EQ(implementation(cls, manySelector()), many);
  EXPECT_EQ(objc_msgSendTyped<id>(picker, sel("delegate")), nil);

  setDelegate(picker, delegate);
  setDelegate(picker, nil);
  EXPECT_EQ(objc_msgSendTyped<id>(picker, sel("delegate")), nil)
      << "nil reached the picker's own setter";
  pick(picker, {outsideFile("a.txt", "a")});
  EXPECT_TRUE(calls.empty());
}

TEST_F(DocmendPatch, SameClassTwicePatchesOnceAndForwardsOnce) {
  Class cls = defineDelegate("TwiceDelegate", Nil, 0, kBoth);
  IMP originalMany = implementation(cls, manySelector());
  id picker = newOpenPicker();
  id first = newDelegate(cls);
  id second = newDelegate(cls);

  setDelegate(picker, first);
  IMP patched = implementation(cls, manySelector());
  EXPECT_NE(patched, originalMany);
  EXPECT_TRUE(isDocmendCode(patched));
  EXPECT_TRUE(isDocmendCode(implementation(cls, oneSelector())));

  setDelegate(picker, second);
  setDelegate(picker, second);
  EXPECT_EQ(implementation(cls, manySelector()), patched);

  pick(picker, {outsideFile("a.txt", "a")});
  ASSERT_EQ(calls.size(), 1u) << "a second patch would have saved the replacement and looped";
  EXPECT_EQ(calls[0].implementation, "TwiceDelegate");
  EXPECT_EQ(calls[0].receiver, second);
  EXPECT_EQ(calls[0].picker, picker);
  ASSERT_EQ(calls[0].urls.size(), 1u);
  EXPECT_TRUE(calls[0].urls[0].starts_with(tmpPrefix()));
}

TEST_F(DocmendPatch, InheritedCallbackPatchesTheSubclassWhenTheSuperclassIsNot) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class derived = defineDelegate("DerivedDelegate", base, 1, kNone);
  IMP baseMany = implementation(base, manySelector());
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(derived));

  EXPECT_EQ(implementation(base, manySelector()), baseMany)
      << "the superclass's method is untouched";
  EXPECT_NE(class_getInstanceMethod(derived, manySelector()),
            class_getInstanceMethod(base, manySelector()))
      << "the replacement was added to the subclass itself";
  EXPECT_TRUE(isDocmendCode(implementation(derived, manySelector())));

  pick(picker, {outsideFile("a.txt", "a")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].implementation, "BaseDelegate") << "forwards to the inherited implementation";
  EXPECT_TRUE(calls[0].urls[0].starts_with(tmpPrefix()));

  // A base instance is not relocated: its class was never a delegate's.
  calls.clear();
  setDelegate(picker, nil);
  objc_msgSendTyped<void>(newDelegate(base), manySelector(), picker, static_cast<id>(nil));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(sandbox_.relocationFolders().size(), 1u);
}

TEST_F(DocmendPatch, UnpatchedSubclassOfPatchedClassForwardsToTheSuperclass) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class derived = defineDelegate("DerivedDelegate", base, 1, kNone);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(base));
  Method baseMethod = class_getInstanceMethod(base, manySelector());
  EXPECT_TRUE(isDocmendCode(method_getImplementation(baseMethod)));

  id derivedDelegate = newDelegate(derived);
  setDelegate(picker, derivedDelegate);
  EXPECT_EQ(class_getInstanceMethod(derived, manySelector()), baseMethod)
      << "nothing added to the subclass";

  pick(picker, {outsideFile("a.txt", "a"), outsideFile("b.txt", "b")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].implementation, "BaseDelegate");
  EXPECT_EQ(calls[0].receiver, derivedDelegate);
  EXPECT_EQ(calls[0].urls.size(), 2u);
  EXPECT_EQ(sandbox_.relocationFolders().size(), 2u);
}

TEST_F(DocmendPatch, DelegateWithOnlyTheSingleURLCallback) {
  Class cls = defineDelegate("SingleDelegate", Nil, 0, kOne);
  id picker = newOpenPicker();
  setDelegate(picker, newDelegate(cls));
  EXPECT_EQ(class_getInstanceMethod(cls, manySelector()), nullptr)
      << "nothing added for a missing callback";
  EXPECT_TRUE(isDocmendCode(implementation(cls, oneSelector())));

  pick(picker, {outsideFile("first.txt", "1"), outsideFile("second.txt", "2")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].selector, "documentPicker:didPickDocumentAtURL:");
  ASSERT_EQ(calls[0].urls.size(), 1u);
  EXPECT_TRUE(calls[0].urls[0].starts_with(tmpPrefix()));
  EXPECT_TRUE(calls[0].urls[0].ends_with("/first.txt"));
  EXPECT_EQ(readFile(calls[0].urls[0]), "1");
  EXPECT_EQ(sandbox_.relocationFolders().size(), 1u) << "only the URL handed on is copied";
}

TEST_F(DocmendPatch, ClassSwappedToARuntimeSubclassAfterBecomingDelegate) {
  Class observed = defineDelegate("ObservedDelegate", Nil, 0, kMany);
  id delegate = newDelegate(observed);
  id picker = newOpenPicker();
  setDelegate(picker, delegate);

  Class swapped = objc_allocateClassPair(observed, "NSKVONotifying_ObservedDelegate", 0);
  objc_registerClassPair(swapped);
  EXPECT_EQ(object_setClass(delegate, swapped), observed);

  pick(picker, {outsideFile("a.txt", "a")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].implementation, "ObservedDelegate");
  EXPECT_TRUE(calls[0].urls[0].starts_with(tmpPrefix()));
  EXPECT_EQ(sandbox_.relocationFolders().size(), 1u);
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
  EXPECT_TRUE(isDocmendCode(implementation(swapped, manySelector())));
  EXPECT_EQ(implementation(observed, manySelector()), observedMany);

  pick(picker, {outsideFile("a.txt", "a")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].implementation, "ObservedDelegate");
  EXPECT_TRUE(calls[0].urls[0].starts_with(tmpPrefix()));

  // Swapped back and set again: now the observed class is patched as well,
  // and a pick is still relocated once and delivered once.
  object_setClass(delegate, observed);
  setDelegate(picker, delegate);
  calls.clear();
  pick(picker, {outsideFile("b.txt", "b")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0].urls[0].starts_with(tmpPrefix()));
  EXPECT_EQ(sandbox_.relocationFolders().size(), 2u);
}

// A superclass and a subclass both patched, the subclass's callback sending
// the same callback to super: each class's own code runs once, in order, and
// both see the same copies, made once.
void expectEachOriginalOnceAndEachFileCopiedOnce(bool superclassFirst, int callbacks,
                                                 Sandbox& sandbox, id picker, id baseDelegate,
                                                 id subDelegate,
                                                 const std::vector<NSURL*>& picked) {
  if (superclassFirst) setDelegate(picker, baseDelegate);
  setDelegate(picker, subDelegate);
  if (!superclassFirst) setDelegate(picker, baseDelegate);
  setDelegate(picker, subDelegate);
  pick(picker, picked);

  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].implementation, "SubDelegate");
  EXPECT_EQ(calls[1].implementation, "BaseDelegate");
  EXPECT_EQ(calls[0].receiver, subDelegate);
  EXPECT_EQ(calls[1].receiver, subDelegate);
  EXPECT_EQ(calls[0].urls, calls[1].urls) << "the re-entered call passes the copies on unchanged";
  std::size_t expected = callbacks == kOne ? 1 : picked.size();
  ASSERT_EQ(calls[0].urls.size(), expected);
  for (const auto& url : calls[0].urls) {
    EXPECT_TRUE(url.starts_with((sandbox.docmendFolder() / "").string())) << url;
  }
  EXPECT_EQ(sandbox.relocationFolders().size(), expected) << "each file copied once";
}

TEST_F(DocmendPatch, SuperclassPatchedFirstThenSubclassCallingSuper) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class sub = defineDelegate("SubDelegate", base, 1, kMany, true);
  expectEachOriginalOnceAndEachFileCopiedOnce(
      true, kMany, sandbox_, newOpenPicker(), newDelegate(base), newDelegate(sub),
      {outsideFile("a.txt", "a"), outsideFile("b.txt", "b")});
}

TEST_F(DocmendPatch, SubclassPatchedFirstThenSuperclassWithSubclassCallingSuper) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kMany);
  Class sub = defineDelegate("SubDelegate", base, 1, kMany, true);
  expectEachOriginalOnceAndEachFileCopiedOnce(
      false, kMany, sandbox_, newOpenPicker(), newDelegate(base), newDelegate(sub),
      {outsideFile("a.txt", "a"), outsideFile("b.txt", "b")});
}

TEST_F(DocmendPatch, SingleURLCallbacksOfSuperclassAndSubclassCallingSuper) {
  Class base = defineDelegate("BaseDelegate", Nil, 0, kOne);
  Class sub = defineDelegate("SubDelegate", base, 1, kOne, true);
  expectEachOriginalOnceAndEachFileCopiedOnce(true, kOne, sandbox_, newOpenPicker(),
                                              newDelegate(base), newDelegate(sub),
                                              {outsideFile("a.txt", "a")});
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

TEST_F(DocmendPatch, TheLibraryExportsNothing) {
  for (const char* name : {"TDMInstall", "TDMRelocate", "TDMPickedURLs", "TDMOriginal",
                           "kOriginalPickURLs", "TDMOriginalSetDelegate"}) {
    EXPECT_EQ(dlsym(docmend_, name), nullptr) << name;
  }
}

}  // namespace
}  // namespace picker_harness
