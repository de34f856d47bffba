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

int answerA(id, SEL) {
  return 1;
}
int answerB(id, SEL) {
  return 2;
}

std::vector<std::string> deallocated;

void recordingDealloc(id self, SEL op) {
  deallocated.push_back(object_getClassName(self));
  objc_super super{self, objc_getClass("NSObject")};
  objc_msgSendSuperTyped<void>(&super, op);
}

// A registered class; with `tracked`, its instances note their deallocation
// in `deallocated`.
Class makeClass(const char* name, Class superclass = Nil, bool tracked = false) {
  Class cls =
      objc_allocateClassPair(superclass != Nil ? superclass : objc_getClass("NSObject"), name, 0);
  EXPECT_NE(cls, Nil);
  if (tracked)
    class_addMethod(cls, sel("dealloc"), reinterpret_cast<IMP>(recordingDealloc), "v16@0:8");
  objc_registerClassPair(cls);
  return cls;
}

TEST(ObjcMethods, ReplaceOnInheritedMethodAddsAndReturnsNull) {
  Class base = makeClass("Base");
  Class derived = makeClass("Derived", base);
  class_addMethod(base, sel("answer"), reinterpret_cast<IMP>(answerA), "i16@0:8");
  id obj = class_createInstance(derived, 0);
  EXPECT_EQ(objc_msgSendTyped<int>(obj, sel("answer")), 1);  // looked up once before the change

  EXPECT_EQ(class_replaceMethod(derived, sel("answer"), reinterpret_cast<IMP>(answerB), "i16@0:8"),
            nullptr);
  EXPECT_EQ(objc_msgSendTyped<int>(obj, sel("answer")), 2);
  EXPECT_EQ(class_getMethodImplementation(base, sel("answer")), reinterpret_cast<IMP>(answerA));
  objc_release(obj);
}

TEST(ObjcMessagesDeathTest, UnrecognizedSelectorEndsTheProcess) {
  id obj = class_createInstance(makeClass("Mute"), 0);
  EXPECT_DEATH(objc_msgSendTyped<void>(obj, sel("speak")),
               "-\\[Mute speak\\]: unrecognized selector");
  objc_release(obj);
}

TEST(ObjcReferenceCounting, ReleaseAtZeroAndPoolsReleaseOnPop) {
  Class cls = makeClass("Tracked", Nil, true);
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

  {
    AutoreleasePool outer;
    objc_autorelease(class_createInstance(cls, 0));
    {
      AutoreleasePool inner;
      objc_autorelease(class_createInstance(cls, 0));
      EXPECT_EQ(objc_autoreleasePoolCount(), 2u);
    }
    EXPECT_EQ(deallocated.size(), 2u) << "inner pool released its object only";
  }
  EXPECT_EQ(deallocated.size(), 3u);
  EXPECT_EQ(objc_autoreleasePoolCount(), 0u);
}

TEST(ObjcAssociations, RetainPolicyKeepsValueUntilReplacedOrOwnerDies) {
  Class cls = makeClass("Tracked", Nil, true);
  static char key;
  id owner = class_createInstance(cls, 0);
  for (int i = 0; i < 2; ++i) {
    id value = class_createInstance(cls, 0);
    objc_setAssociatedObject(owner, &key, value, OBJC_ASSOCIATION_RETAIN_NONATOMIC);
    objc_release(value);
    EXPECT_EQ(deallocated.size(), static_cast<std::size_t>(i)) << "retained; the replaced released";
    EXPECT_EQ(objc_getAssociatedObject(owner, &key), value);
  }
  objc_release(owner);
  EXPECT_EQ(deallocated.size(), 3u) << "owner, then its associated value";
}

}  // namespace
