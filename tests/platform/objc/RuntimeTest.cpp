// The runtime's contracts that Docmend's own tests do not pin down on their
// way: method replacement with no lookup cache, the end of the process on an
// unrecognized selector, reference counting and pools, and what associations
// retain and release. Each test runs in its own process.

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
  objc_retain(obj);
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

}  // namespace
