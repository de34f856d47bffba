// The runtime's documented contracts: selectors, classes, method lookup and
// replacement, class swaps, messages, associated objects and reference
// counting. Each test runs in its own process, so classes made here never
// meet another test's.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/objc/NSObject.h"
#include "platform/objc/message.h"
#include "platform/objc/runtime.h"

namespace {

SEL sel(const char* name) {
  return sel_registerName(name);
}

template <typename F>
IMP imp(F* function) {
  return reinterpret_cast<IMP>(function);
}

int answerA(id, SEL) {
  return 1;
}
int answerB(id, SEL) {
  return 2;
}
int answerC(id, SEL) {
  return 3;
}

Class makeClass(const char* name, Class superclass) {
  Class cls = objc_allocateClassPair(superclass, name, 0);
  EXPECT_NE(cls, Nil);
  objc_registerClassPair(cls);
  return cls;
}

Class rootObject() {
  return objc_getClass("NSObject");
}

int send(id obj) {
  return objc_msgSendTyped<int>(obj, sel("answer"));
}

std::vector<std::string> deallocated;

void recordingDealloc(id self, SEL op) {
  deallocated.push_back(object_getClassName(self));
  objc_super super{self, rootObject()};
  objc_msgSendSuperTyped<void>(&super, op);
}

// A class whose instances note their deallocation in `deallocated`.
Class trackedClass(const char* name) {
  Class cls = objc_allocateClassPair(rootObject(), name, 0);
  class_addMethod(cls, sel("dealloc"), imp(recordingDealloc), "v16@0:8");
  objc_registerClassPair(cls);
  return cls;
}

TEST(ObjcSelectors, AreInternedByName) {
  std::string name = "documentPicker:didPickDocumentsAtURLs:";
  SEL first = sel_registerName(name.c_str());
  SEL second = sel_registerName(std::string(name).c_str());
  EXPECT_EQ(first, second);
  EXPECT_NE(first, sel_registerName("documentPicker:didPickDocumentAtURL:"));
  EXPECT_STREQ(sel_getName(first), "documentPicker:didPickDocumentsAtURLs:");
  EXPECT_EQ(sel_registerName(nullptr), nullptr);
}

TEST(ObjcClasses, RegistrationAndNames) {
  Class cls = objc_allocateClassPair(rootObject(), "Widget", 0);
  ASSERT_NE(cls, Nil);
  EXPECT_EQ(objc_getClass("Widget"), Nil) << "not visible before registration";
  EXPECT_EQ(objc_allocateClassPair(rootObject(), "Widget", 0), Nil) << "name taken while allocated";
  objc_registerClassPair(cls);
  EXPECT_EQ(objc_getClass("Widget"), cls);
  EXPECT_STREQ(class_getName(cls), "Widget");
  EXPECT_EQ(class_getSuperclass(cls), rootObject());
  EXPECT_EQ(class_getSuperclass(rootObject()), Nil);
  EXPECT_EQ(objc_allocateClassPair(rootObject(), "Widget", 0), Nil);
  EXPECT_TRUE(class_isMetaClass(object_getClass(reinterpret_cast<id>(cls))));
  EXPECT_FALSE(class_isMetaClass(cls));
  EXPECT_EQ(objc_getClass("NoSuchClass"), Nil);
}

TEST(ObjcMethods, AddLooksUpOwnAndInherited) {
  Class base = makeClass("Base", rootObject());
  Class derived = makeClass("Derived", base);
  EXPECT_EQ(class_getInstanceMethod(derived, sel("answer")), nullptr);
  EXPECT_TRUE(class_addMethod(base, sel("answer"), imp(answerA), "i16@0:8"));
  EXPECT_FALSE(class_addMethod(base, sel("answer"), imp(answerB), "i16@0:8")) << "already defined";

  Method own = class_getInstanceMethod(base, sel("answer"));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(class_getInstanceMethod(derived, sel("answer")), own)
      << "inherited: the superclass's Method";
  EXPECT_EQ(method_getImplementation(own), imp(answerA));
  EXPECT_STREQ(method_getTypeEncoding(own), "i16@0:8");
  EXPECT_EQ(method_getName(own), sel("answer"));

  EXPECT_TRUE(class_addMethod(derived, sel("answer"), imp(answerB), "i16@0:8")) << "override";
  EXPECT_NE(class_getInstanceMethod(derived, sel("answer")), own);
  EXPECT_TRUE(class_respondsToSelector(derived, sel("answer")));
  EXPECT_FALSE(class_respondsToSelector(derived, sel("question")));
  EXPECT_EQ(class_getInstanceMethod(Nil, sel("answer")), nullptr);
}

TEST(ObjcMethods, ReplaceOnOwnMethodReturnsPrevious) {
  Class base = makeClass("Base", rootObject());
  Class derived = makeClass("Derived", base);
  class_addMethod(derived, sel("answer"), imp(answerA), "i16@0:8");
  class_addMethod(base, sel("answer"), imp(answerC), "i16@0:8");
  EXPECT_EQ(class_replaceMethod(derived, sel("answer"), imp(answerB), "ignored"), imp(answerA));
  Method method = class_getInstanceMethod(derived, sel("answer"));
  EXPECT_EQ(method_getImplementation(method), imp(answerB));
  EXPECT_STREQ(method_getTypeEncoding(method), "i16@0:8") << "types ignored when replacing";
  EXPECT_EQ(class_getMethodImplementation(base, sel("answer")), imp(answerC))
      << "superclass untouched";
}

TEST(ObjcMethods, ReplaceOnInheritedMethodAddsAndReturnsNull) {
  Class base = makeClass("Base", rootObject());
  Class derived = makeClass("Derived", base);
  class_addMethod(base, sel("answer"), imp(answerA), "i16@0:8");
  id obj = class_createInstance(derived, 0);
  EXPECT_EQ(send(obj), 1);  // looked up once before the change

  EXPECT_EQ(class_replaceMethod(derived, sel("answer"), imp(answerB), "i16@0:8"), nullptr);
  EXPECT_EQ(send(obj), 2);
  EXPECT_EQ(class_getMethodImplementation(base, sel("answer")), imp(answerA));
  EXPECT_NE(class_getInstanceMethod(derived, sel("answer")),
            class_getInstanceMethod(base, sel("answer")));
  EXPECT_STREQ(method_getTypeEncoding(class_getInstanceMethod(derived, sel("answer"))), "i16@0:8");
  EXPECT_EQ(class_replaceMethod(derived, sel("answer"), nullptr, "i16@0:8"), nullptr);
  objc_release(obj);
}

TEST(ObjcMethods, SetImplementationReachesInheritingSubclasses) {
  Class base = makeClass("Base", rootObject());
  Class derived = makeClass("Derived", base);
  class_addMethod(base, sel("answer"), imp(answerA), "i16@0:8");
  id obj = class_createInstance(derived, 0);
  EXPECT_EQ(send(obj), 1);
  EXPECT_EQ(method_setImplementation(class_getInstanceMethod(base, sel("answer")), imp(answerC)),
            imp(answerA));
  EXPECT_EQ(send(obj), 3);
  EXPECT_EQ(method_setImplementation(nullptr, imp(answerC)), nullptr);
  objc_release(obj);
}

TEST(ObjcObjects, SetClassSwapsDispatch) {
  Class base = makeClass("Observed", rootObject());
  class_addMethod(base, sel("answer"), imp(answerA), "i16@0:8");
  Class swapped = makeClass("Observed_Swapped", base);
  class_addMethod(swapped, sel("answer"), imp(answerB), "i16@0:8");
  id obj = class_createInstance(base, 0);
  EXPECT_EQ(send(obj), 1);
  EXPECT_EQ(object_setClass(obj, swapped), base);
  EXPECT_EQ(object_getClass(obj), swapped);
  EXPECT_EQ(send(obj), 2);
  EXPECT_EQ(object_setClass(obj, base), swapped);
  EXPECT_EQ(send(obj), 1);
  EXPECT_EQ(object_setClass(nil, base), Nil);
  EXPECT_EQ(object_getClass(nil), Nil);
  objc_release(obj);
}

int superAnswer(id self, SEL op) {
  objc_super super{self, objc_getClass("Base")};
  return 10 + objc_msgSendSuperTyped<int>(&super, op);
}

TEST(ObjcMessages, NilSuperAndRootMethods) {
  EXPECT_EQ(objc_msgSendTyped<int>(static_cast<id>(nil), sel("anything")), 0);
  EXPECT_EQ(objc_msgSendTyped<id>(static_cast<id>(nil), sel("anything")), nil);

  Class base = makeClass("Base", rootObject());
  Class derived = makeClass("Derived", base);
  class_addMethod(base, sel("answer"), imp(answerA), "i16@0:8");
  class_addMethod(derived, sel("answer"), imp(superAnswer), "i16@0:8");
  id obj = objc_msgSendTyped<id>(derived, sel("new"));
  ASSERT_NE(obj, nil);
  EXPECT_EQ(object_getClass(obj), derived);
  EXPECT_EQ(send(obj), 11);
  EXPECT_TRUE(objc_msgSendTyped<BOOL>(obj, sel("respondsToSelector:"), sel("answer")));
  EXPECT_FALSE(objc_msgSendTyped<BOOL>(obj, sel("respondsToSelector:"), sel("question")));
  objc_release(obj);
}

TEST(ObjcMessagesDeathTest, UnrecognizedSelectorEndsTheProcess) {
  Class cls = makeClass("Mute", rootObject());
  id obj = class_createInstance(cls, 0);
  EXPECT_DEATH(objc_msgSendTyped<void>(obj, sel("speak")),
               "-\\[Mute speak\\]: unrecognized selector");
  objc_release(obj);
}

TEST(ObjcObjects, IndexedIvarsFollowTheObject) {
  Class cls = makeClass("Holder", rootObject());
  id obj = class_createInstance(cls, sizeof(int));
  ASSERT_NE(object_getIndexedIvars(obj), nullptr);
  EXPECT_EQ(*static_cast<int*>(object_getIndexedIvars(obj)), 0) << "zero-filled";
  *static_cast<int*>(object_getIndexedIvars(obj)) = 7;
  EXPECT_EQ(*static_cast<int*>(object_getIndexedIvars(obj)), 7);
  objc_release(obj);
}

TEST(ObjcReferenceCounting, ReleaseAtZeroDeallocates) {
  Class cls = trackedClass("Tracked");
  id obj = class_createInstance(cls, 0);
  EXPECT_EQ(objc_retain(obj), obj);
  objc_release(obj);
  EXPECT_TRUE(deallocated.empty());
  objc_release(obj);
  EXPECT_EQ(deallocated, std::vector<std::string>{"Tracked"});
  // Classes are never counted or freed.
  EXPECT_EQ(objc_retain(reinterpret_cast<id>(cls)), reinterpret_cast<id>(cls));
  objc_release(reinterpret_cast<id>(cls));
  objc_release(reinterpret_cast<id>(cls));
  EXPECT_EQ(objc_getClass("Tracked"), cls);
}

TEST(ObjcReferenceCounting, AutoreleasePoolsReleaseOnPop) {
  Class cls = trackedClass("Tracked");
  {
    AutoreleasePool outer;
    objc_autorelease(class_createInstance(cls, 0));
    {
      AutoreleasePool inner;
      objc_autorelease(class_createInstance(cls, 0));
      EXPECT_EQ(objc_autoreleasePoolCount(), 2u);
    }
    EXPECT_EQ(deallocated.size(), 1u) << "inner pool released its object only";
  }
  EXPECT_EQ(deallocated.size(), 2u);
  EXPECT_EQ(objc_autoreleasePoolCount(), 0u);
}

TEST(ObjcAssociations, RetainPolicyKeepsValueUntilReplacedOrOwnerDies) {
  Class cls = trackedClass("Tracked");
  static char key;
  id owner = class_createInstance(cls, 0);
  id first = class_createInstance(cls, 0);
  id second = class_createInstance(cls, 0);

  objc_setAssociatedObject(owner, &key, first, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
  objc_release(first);
  EXPECT_TRUE(deallocated.empty()) << "the association retains";
  EXPECT_EQ(objc_getAssociatedObject(owner, &key), first);

  objc_setAssociatedObject(owner, &key, second, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
  objc_release(second);
  EXPECT_EQ(deallocated.size(), 1u) << "the replaced value is released";
  EXPECT_EQ(objc_getAssociatedObject(owner, &key), second);

  objc_release(owner);
  EXPECT_EQ(deallocated.size(), 3u) << "owner, then its associated value";
}

TEST(ObjcAssociations, AssignNilRemovalAndClassObjects) {
  Class cls = trackedClass("Tracked");
  static char key;
  static char other;
  id value = class_createInstance(cls, 0);
  id classObject = reinterpret_cast<id>(cls);

  objc_setAssociatedObject(classObject, &key, value, OBJC_ASSOCIATION_ASSIGN);
  EXPECT_EQ(objc_getAssociatedObject(classObject, &key), value);
  EXPECT_EQ(objc_getAssociatedObject(classObject, &other), nil);
  objc_setAssociatedObject(classObject, &key, nil, OBJC_ASSOCIATION_ASSIGN);
  EXPECT_EQ(objc_getAssociatedObject(classObject, &key), nil);

  objc_setAssociatedObject(classObject, &key, value, OBJC_ASSOCIATION_RETAIN);
  objc_release(value);
  EXPECT_TRUE(deallocated.empty());
  objc_setAssociatedObject(classObject, &key, nil, OBJC_ASSOCIATION_RETAIN);
  EXPECT_EQ(deallocated.size(), 1u) << "removal releases a retained value";
  EXPECT_EQ(objc_getAssociatedObject(nil, &key), nil);
}

}  // namespace
