// The document picker as the platform has it, with no library replacing its
// methods: its initialisers, its delegate, and how a pick reaches the
// delegate's callbacks.

#include <gtest/gtest.h>

#include "tests/pickerfix/PickerHarness.h"

namespace picker_harness {
namespace {

class DocumentPicker : public ::testing::Test {
 protected:
  void TearDown() override {
    for (id obj : owned_) objc_release(obj);
  }
  id keep(id obj) {
    owned_.push_back(obj);
    return obj;
  }
  id pickerWith(Class delegateClass) {
    id picker = keep(newPicker(UIDocumentPickerModeOpen));
    if (delegateClass != Nil) setDelegate(picker, keep(class_createInstance(delegateClass, 0)));
    return picker;
  }
  AutoreleasePool pool_;
  std::vector<id> owned_;
};

TEST_F(DocumentPicker, InitWithTypesKeepsTheModeAndCopiesForImportAndExport) {
  struct Case {
    NSUInteger mode;
    bool asCopy;
  };
  for (Case c : {Case{UIDocumentPickerModeImport, true}, Case{UIDocumentPickerModeOpen, false},
                 Case{UIDocumentPickerModeExportToService, true},
                 Case{UIDocumentPickerModeMoveToService, false}}) {
    id picker = keep(newPicker(c.mode));
    EXPECT_EQ(object_getClass(picker), pickerClass());
    EXPECT_EQ(modeOf(picker), c.mode);
    EXPECT_EQ(asCopyOf(picker), c.asCopy) << c.mode;
  }
}

TEST_F(DocumentPicker, InitForOpeningIsOpenOrImportByAsCopy) {
  EXPECT_EQ(modeOf(keep(newPickerForOpening(false))), UIDocumentPickerModeOpen);
  EXPECT_FALSE(asCopyOf(keep(newPickerForOpening(false))));
  EXPECT_EQ(modeOf(keep(newPickerForOpening(true))), UIDocumentPickerModeImport);
  EXPECT_TRUE(asCopyOf(keep(newPickerForOpening(true))));
}

TEST_F(DocumentPicker, MultipleURLCallbackIsPreferredAndGetsEveryURL) {
  id picker = pickerWith(defineDelegate("BothCallbacks", Nil, 0, kBoth));
  pick(picker,
       {NSURL::fileURLWithPath("/data/a.txt"), NSURL::URLWithString("https://example.com/b")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].selector, "documentPicker:didPickDocumentsAtURLs:");
  EXPECT_EQ(calls[0].picker, picker);
  EXPECT_EQ(calls[0].urls, (std::vector<std::string>{"/data/a.txt", "https://example.com/b"}));
}

TEST_F(DocumentPicker, SingleURLCallbackGetsTheFirstURLOnly) {
  id picker = pickerWith(defineDelegate("SingleCallback", Nil, 0, kOne));
  pick(picker, {NSURL::fileURLWithPath("/data/a.txt"), NSURL::fileURLWithPath("/data/b.txt")});
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].selector, "documentPicker:didPickDocumentAtURL:");
  EXPECT_EQ(calls[0].urls, std::vector<std::string>{"/data/a.txt"});

  calls.clear();
  pick(picker, {});
  EXPECT_TRUE(calls.empty()) << "no first URL to hand over";
}

TEST_F(DocumentPicker, NoDelegateOrNoCallbackMeansNothingIsCalled) {
  pick(pickerWith(Nil), {NSURL::fileURLWithPath("/data/a.txt")});
  pick(pickerWith(defineDelegate("Silent", Nil, 0, kNone)),
       {NSURL::fileURLWithPath("/data/a.txt")});
  EXPECT_TRUE(calls.empty());
}

TEST_F(DocumentPicker, DelegateIsKeptUntilReplacedOrCleared) {
  Class cls = defineDelegate("Kept", Nil, 0, kMany);
  id picker = keep(newPicker(UIDocumentPickerModeImport));
  id delegate = keep(class_createInstance(cls, 0));
  setDelegate(picker, delegate);
  EXPECT_EQ(objc_msgSendTyped<id>(picker, sel("delegate")), delegate);
  setDelegate(picker, nil);
  EXPECT_EQ(objc_msgSendTyped<id>(picker, sel("delegate")), nil);
}

}  // namespace
}  // namespace picker_harness
