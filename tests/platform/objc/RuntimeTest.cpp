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

TEST(ObjcClasses, AClassIsVisibleOnceRegisteredAndItsNameStaysTaken) {
  Class cls = objc_allocateClassPair(rootObject(), "Widget", 0);
  ASSERT_NE(cls, Nil);
  EXPECT_EQ(objc_getClass("Widget"), Nil) << "not visible before registration";
  EXPECT_EQ(objc_allocateClassPair(rootObject(), "Widget", 0), Nil) << "name taken while allocated";
  objc_registerClassPair(cls);
  EXPECT_EQ(objc_getClass("Widget"), cls);
  EXPECT_EQ(objc_allocateClassPair(rootObject(), "Widget", 0), Nil);
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

TEST(ObjcMessagesDeathTest, UnrecognizedSelectorEndsTheProcess) {
  Class cls = makeClass("Mute", rootObject());
  id obj = class_createInstance(cls, 0);
  EXPECT_DEATH(objc_msgSendTyped<void>(obj, sel("speak")),
               "-\\[Mute speak\\]: unrecognized selector");
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
