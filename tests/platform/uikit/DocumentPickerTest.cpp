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

TEST_F(DocumentPicker, InitialisersKeepTheModeAndCopyForImportAndExport) {
  struct Case {
    id picker;
    NSUInteger mode;
    bool asCopy;
  };
  for (Case c : {Case{newPicker(UIDocumentPickerModeImport), UIDocumentPickerModeImport, true},
                 Case{newPicker(UIDocumentPickerModeOpen), UIDocumentPickerModeOpen, false},
                 Case{newPicker(UIDocumentPickerModeExportToService),
                      UIDocumentPickerModeExportToService, true},
                 Case{newPicker(UIDocumentPickerModeMoveToService),
                      UIDocumentPickerModeMoveToService, false},
                 Case{newPickerForOpening(false), UIDocumentPickerModeOpen, false},
                 Case{newPickerForOpening(true), UIDocumentPickerModeImport, true}}) {
    keep(c.picker);
    EXPECT_EQ(modeOf(c.picker), c.mode);
    EXPECT_EQ(asCopyOf(c.picker), c.asCopy) << c.mode;
  }
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
  pick(pickerWith(Nil), {NSURL::fileURLWithPath("/data/a.txt")});
  pick(pickerWith(defineDelegate("Silent", Nil, 1, kNone)), {NSURL::fileURLWithPath("/a.txt")});
  EXPECT_TRUE(calls.empty()) << "no first URL, no delegate, or no callback: nothing is called";
}

}  // namespace
}  // namespace picker_harness
